// Opening a level file: only a file that holds data can be one.
#pragma once

#include <stdio.h>

#include "file_identity.h"

// Opens the level file for reading in text mode. A directory, a FIFO, a
// device or a socket (on Windows any handle that is no disk file, such as
// COM1 or NUL) is a file that cannot be opened: NULL, as for a missing one.
// Opening never waits on such a file. On NULL errno tells why, 0 for a file
// of the wrong kind. Where that is cheap (kCheapStreamIdentity)
// *pId receives the file's identity.
FILE* OpenLevelFile(const char* pszName, FileIdentity* pId);
