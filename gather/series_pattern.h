// The series as the system looks for its files: the path of every level file
// with a mark where the number goes, split into the folder that holds the
// numbered name, that name, and the path below it.
#pragma once

#include <stddef.h>

#include "name_format.h"
#include "numbered_name.h"

// Stands for the number while the pattern is brought to its full path; a
// control character cannot be part of a name a user can type.
const char kNumberMark = '\x01';

// The level file path, pszFolder, a separator and pszFormat with "%%" as
// '%', with the mark where the number goes. False when it does not fit or a
// text holds the mark itself.
bool BuildMarkedPattern(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt, char* pszOut,
                        size_t cbOut);

enum SeriesSplit {
    SPLIT_DONE,
    SPLIT_NUMBER_LOST,  // a ".." after the number, or no folder before it
    SPLIT_FAILED        // a part does not fit or is no valid text
};

// Splits a marked pattern: the folder part into pszFolder, the name holding
// the number into *pName, and *ppszRest points into pszPattern at what
// follows that name (empty, or starting with a separator).
SeriesSplit SplitMarkedPattern(const char* pszPattern, const char* pszFormat, const NameFormat* pFmt,
                               char* pszFolder, size_t cbFolder, NumberedName* pName, const char** ppszRest);
