// What a folder holds of numbered series, so that a front end can say what a
// run left out and which format the user may have meant. One listing of the
// series' folder, made only when a front end asks.
#pragma once

#include "gather.h"

// Some files of one format: how many, and the lowest and highest numbered,
// as the format names them within their folder.
struct SurveyRange {
    int cFiles;
    char szFirst[MAX_PATH];
    char szLast[MAX_PATH];
};

// A format that would gather a series the folder holds: what it gathers
// (from 1 up to the file before its first gap) and its files after that gap.
struct FormatHint {
    char szFormat[FORMAT_CAPACITY];
    SurveyRange gathered;
    SurveyRange beyond;
};

#define SURVEY_HINTS 3

struct FolderSurvey {
    SurveyRange beyond;   // files of the series numbered above nEnd
    bool fHasZero;        // its level file 0 exists, named szZero
    char szZero[MAX_PATH];
    int cHints;           // formats other than the one given, the meant one first
    FormatHint rgHint[SURVEY_HINTS];
};

// Looks once through the folder of the series (pszFolder, pszFormat) for
// its files numbered above nEnd (0 after a missing level file 1), and checks
// for its level file 0. With fHints it also weighs every kind of numbered
// name there: first the format's own text at any padding, as the file system
// compares names, then ignoring letter case, then the others, largest first.
// False when the format is refused or the folder cannot be listed; errno
// then says why (ENOENT: no such folder, ENOTDIR: not a folder).
bool SurveyFolder(const char* pszFolder, const char* pszFormat, int nEnd, bool fHints, FolderSurvey* pSurvey);
