// What a folder holds of a numbered series past the number that ended it,
// so that a front end can say what a run left out. One listing of the
// series' folder, made only when a front end asks.
#pragma once

#include "name_format.h"

// Some files of one format: how many, and the lowest and highest numbered,
// as the format names them within their folder.
struct SurveyRange {
    int cFiles;
    char szFirst[MAX_PATH];
    char szLast[MAX_PATH];
};

// Names the files numbered nFirst and nLast of a checked format.
void NameSurveyRange(const NameFormat* pFmt, int nFirst, int nLast, int cFiles, SurveyRange* pRange);

struct FolderSurvey {
    SurveyRange beyond;  // files of the series numbered above nEnd
    bool fHasZero;       // its level file 0 exists, named szZero
    char szZero[MAX_PATH];
};

// Looks once through the folder of the series (pszFolder, pszFormat) for
// its files numbered above nEnd (0 after a missing level file 1), and checks
// for its level file 0. False when the format is refused or the folder
// cannot be listed; errno then says why (ENOENT: no such folder, ENOTDIR:
// not a folder).
bool SurveyFolder(const char* pszFolder, const char* pszFormat, int nEnd, FolderSurvey* pSurvey);
