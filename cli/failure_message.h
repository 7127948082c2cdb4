// What the command line says about a failed run.
#pragma once

#include <stdio.h>

#include "gather.h"

// Writes one line to pOut: the program's name, what went wrong, the name it
// concerns and the system's own reason where there is one. When level file 1
// is missing, notes follow: a folder that does not exist, or formats that
// would gather a series the folder holds.
void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat);

// After a run that gathered: a note when files of the series follow the
// number that ended it, which were left out. Nothing otherwise.
void PrintSeriesEnd(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat);
