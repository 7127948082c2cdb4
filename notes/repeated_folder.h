// A format that names again the folder it is read in ("samples" and
// "samples/screen.%d"), for a user whose level file 1 is missing.
#pragma once

#include "gather.h"

struct RepeatedFolder {
    char szNames[FORMAT_CAPACITY];  // the folder names the format repeats, as name text
    NameFormat format;              // the format without them
};

// Where the format's leading folder names are the last names of the run's
// folder, and the format without them names a level file 1 that is there:
// true, with what it repeats and the format that gathers. False otherwise.
bool FindRepeatedFolder(const GatherRun* pRun, RepeatedFolder* pRepeated);
