// What the series' folder holds past the number that ended a run, so that a
// front end can say what the run left out. One listing, made only when a
// front end asks.
#pragma once

#include "gather.h"

// Numbered files counted as they are found: how many, the lowest number and
// the highest.
struct NumberRange {
    int cFiles;
    int nFirst;
    int nLast;
};
void AddToRange(NumberRange* pRange, int nNumber);

// Such a range named as its format names the files within their folder.
struct SurveyRange {
    int cFiles;
    char szFirst[MAX_PATH];
    char szLast[MAX_PATH];
};
void NameSurveyRange(const NameFormat* pFmt, const NumberRange* pRange, SurveyRange* pNamed);

struct FolderSurvey {
    int cEntries;        // the names the folder holds
    SurveyRange beyond;  // files of the series numbered above nEnd
    bool fHasZero;       // its level file 0 exists, named szZero
    char szZero[MAX_PATH];
};

// Looks once through the folder of the run's series for its files numbered
// above nEnd (0 after a missing level file 1), and checks for its level
// file 0. False when the run built no series or the folder cannot be
// listed; errno then says why (ENOENT: no such folder, ENOTDIR: not a
// folder).
bool SurveyFolder(const GatherRun* pRun, int nEnd, FolderSurvey* pSurvey);
