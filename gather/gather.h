// Gathering a numbered series of level files into one collection file.
#pragma once

#include "failure.h"
#include "series_guard.h"

// What a failed run shows in the count field (the trailing space is part of it).
#define STATUS_ERROR "ERROR "

// The number of the level file being copied; afterwards the number the run
// stopped at.
extern int g_nLevel;

// What a run leaves behind for a front end that says more than the Status
// text (the dialog shows the Status text alone): how it ended, and what it
// checked, built and judged on the way, so that nothing is worked out again.
struct GatherRun {
    GatherFailure failure;  // GATHER_OK: the run gathered
    int cGathered;          // the files gathered: the count, 0 after a failure
    int nError;             // the system's errno, 0 when it has none (not a regular file)
    int nLevel;             // the level number concerned, 0 when none
    char szName[FULL_PATH_CAPACITY];    // the file, folder or text concerned
    char szFolder[FULL_PATH_CAPACITY];  // the folder of szName's file as szName spells it,
                                        // "" for the working folder
    char szOutput[MAX_PATH];            // the output's text as the run read it ("" when too long)
    // Level files that text-mode reading ended at a Ctrl+Z with bytes after
    // it (Windows): how many, the first, and at least how many bytes of it
    // were left out.
    int cCutAtCtrlZ;
    int nFirstCut;
    unsigned long long cbFirstCut;
    // The guard let the run go on: format, series and output hold what was
    // checked, built and judged. The output also says why the guard refused.
    bool fJudged;
    NameFormat format;
    Series series;
    JudgedOutput output;
};

// Set by every run. After a run that gathered, nLevel, szName and nError
// tell where the series ended: the first number whose file does not exist
// (nError ENOENT, ENOTDIR or ENAMETOOLONG) or is no file that holds data
// (EISDIR for a folder, 0 for a FIFO, device or socket).
extern GatherRun g_run;

// Copies pszFolder's level files 1, 2, 3, ... named by pszFormat into
// pszOutput, stopping at the first number whose file cannot be opened.
// Where names hold no double quote (Windows), a text wholly wrapped in one
// pair of them is read without them.
// Returns the count of files gathered in decimal, or STATUS_ERROR. The text
// lives in a static buffer that the next run overwrites.
const char* ConvertLevels(const char* pszFolder, const char* pszFormat, const char* pszOutput);
