// Keeping the output away from the level files it is gathered from.
#pragma once

#include "name_format.h"
#include "platform.h"

// Judges whether writing pszOutput could touch a file of the series of
// pszFolder and *pFmt: one the format names for any number from 1 up
// (existing or not, beyond gaps too), by any spelling of its path or any
// folder the system resolves to the series' folder, or an existing level
// file under another name (a hard link, a link, a short name, another case).
// Where the output is a symbolic link, the name it finally leads to is
// judged too.
// GATHER_OK: it cannot. GATHER_OUTPUT_IN_SERIES: it is level file *pnLevel.
// GATHER_OUTPUT_UNDECIDED: that cannot be told cheaply, so it is refused.
// GATHER_FOLDER_UNLISTED: neither, since the series' folder, whose every
// name may lead to the output, cannot be listed; errno says why.
// GATHER_NUMBER_LOST: behind a "..", every number would name the same file.
// *pJudged then says what was judged, so that the run writes that file and
// no other: the output that is there, or the path a new one is made at.
struct JudgedOutput {
    bool fExists;
    FileIdentity id;         // of the output that is there
    const char* pszNewPath;  // where writing makes a new one: its links followed
};
GatherFailure JudgeOutput(const char* pszFolder, const NameFormat* pFmt, const char* pszOutput, int* pnLevel,
                          JudgedOutput* pJudged);

// The series' folder as the last JudgeOutput spelled it to list it.
const char* GuardedFolder();
