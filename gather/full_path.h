// One spelling for a path, so that two spellings of one file compare equal.
#pragma once

#include <stddef.h>

// Makes pszPath absolute and removes "." and ".." and doubled separators. On
// Windows this is the system's own full-path rule (which also drops trailing
// dots and spaces); elsewhere the longest leading part that exists is also
// resolved through its symbolic links. The path need not exist. False when
// the result does not fit in cbOut bytes.
bool FullPath(const char* pszPath, char* pszOut, size_t cbOut);

