// Formats that would gather a numbered series the folder holds, for when the
// format given finds no level file 1.
#pragma once

#include "gather.h"

struct FormatSuggestion {
    char szFormat[FORMAT_CAPACITY];
    char szFirst[MAX_PATH];  // its level file 1
    char szLast[MAX_PATH];   // its highest numbered file
    int cFiles;
};

// Looks once through pszFolder for names that differ only in a number, with
// a file numbered 1 among them, and fills up to cMax suggestions, the
// largest series first, leaving out pszFormat itself. Returns how many, or
// -1 when the folder cannot be listed (errno says why, see ListFolder).
int SuggestFormats(const char* pszFolder, const char* pszFormat, FormatSuggestion* rgSuggestion, int cMax);
