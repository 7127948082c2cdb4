// Opening a level file: only a file that holds data can be one.
#pragma once

#include <stdio.h>

enum LevelOpening {
    LEVEL_OPENED,  // *ppLevel reads it
    LEVEL_ABSENT,  // no such file, or no disk file (a folder, FIFO, device,
                   // socket): the series ends here
    LEVEL_FAILED   // it is there but cannot be opened or examined
};

// Opens the level file for reading in text mode.
// Opening never waits on a file that is no disk file. When it is not
// opened, errno tells why: for LEVEL_ABSENT ENOENT, ENOTDIR or ENAMETOOLONG
// for a name that names nothing, EISDIR for a folder, 0 for another kind of
// file; for LEVEL_FAILED the system's reason (permission denied, an I/O
// error, too many open files, ...).
LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel);
