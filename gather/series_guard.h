// Keeping the output away from the level files it is gathered from.
#pragma once

#include "name_format.h"

// True when writing pszOutput cannot touch a file of the series: it neither
// names a file the format gives for any number from 1 up (whether that file
// exists yet or not, beyond gaps too, by any spelling of the path or any
// folder the system resolves to the series' folder), nor is an existing
// level file under another name (a hard link, a link, a short name). Also
// false when the format's number is lost in the path, e.g. behind a "..", so
// that every number would name the same file, and when the output cannot be
// judged cheaply: a number in a folder name with the output named like the
// level files.
bool OutputOutsideSeries(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                         const char* pszOutput);
