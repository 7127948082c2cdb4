// What the command line says about a run, on standard error.
#pragma once

#include <stdio.h>

#include "gather.h"

// Writes one line to pOut: the program's name, what went wrong, the name it
// concerns and the system's own reason where there is one. Notes follow:
// after a missing level file 1, a folder that does not exist, the files of
// the series that are there, and formats that would gather a series the
// folder holds; after an output that cannot be created, a folder of it that
// does not exist.
void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat,
                  const char* pszOutput);

// After a run that gathered: a note when files of the series follow the
// number that ended it, which were left out, and when its level file 0
// exists. Nothing otherwise.
void PrintSeriesEnd(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat);

// After a run that gathered cGathered files into pszOutput: reads the
// collection back as a Sokoban program splits it, and when it holds another
// number of boards, a note that says so and names level files that hold no
// board or several. Nothing otherwise, nor for a collection too large to
// be one.
void PrintBoardCount(FILE* pOut, int cGathered, const char* pszFolder, const char* pszFormat, const char* pszOutput);
