// What a folder holds of a series beyond the number where a run stopped, so
// that the command line can say what it left out.
#pragma once

#include "gather.h"

struct SeriesBeyond {
    int cFiles;              // files of the series numbered above the end
    char szFirst[MAX_PATH];  // the lowest numbered of them, as the format names it
    char szLast[MAX_PATH];   // the highest
};

// Looks once through the folder of the series (pszFolder, pszFormat) for
// files numbered above nEnd. False when there are none, or when the format
// or the folder cannot be looked through.
bool FindSeriesBeyond(const char* pszFolder, const char* pszFormat, int nEnd, SeriesBeyond* pBeyond);
