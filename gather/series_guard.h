// Keeping the output away from the level files it is gathered from, before
// the run; during it, every opening of the output is checked again
// (CheckOutput in platform.h, called for each level by the copy loop).
#pragma once

#include "platform.h"
#include "series.h"

// Judges whether writing pszOutput could touch a file of the series: one the
// format names for any number from 1 up (existing or not, beyond gaps too),
// by any spelling of its path or any folder the system resolves to the
// series' folder, or an existing level file under another name (a hard
// link, a link, a short name, another case). Where the output is a symbolic
// link, the name it finally leads to is judged too.
// GATHER_OK: it cannot. GATHER_OUTPUT_IN_SERIES: it is level file nLevel.
// GATHER_OUTPUT_UNDECIDED: that cannot be told cheaply, so it is refused.
// GATHER_FOLDER_UNLISTED: neither, since the series' folder, whose every
// name may lead to the output, cannot be listed; errno says why.
// *pJudged then says what was judged, so that the run writes that file and
// no other: the output that is there, or the path a new one is made at.
struct JudgedOutput {
    char szFull[FULL_PATH_CAPACITY];    // the output made full, as the text check compares it
    char szTarget[FULL_PATH_CAPACITY];  // the name writing it writes, its links followed:
                                        // where a new output is made
    bool fExists;
    FileIdentity id;  // of the output that is there
    int nLevel;       // the level file it is, 0 for none
};
GatherFailure JudgeOutput(const Series* pSeries, const char* pszOutput, JudgedOutput* pJudged);
