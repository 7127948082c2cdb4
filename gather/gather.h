// Gathering a numbered series of level files into one collection file.
#pragma once

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Capacity of the file name format, terminator included.
#define FORMAT_CAPACITY 100

// What a failed run shows in the count field (the trailing space is part of it).
#define STATUS_ERROR "ERROR "

// The number of the level file being copied; afterwards the number the run
// stopped at.
extern int g_nLevel;

// Why the last run gave STATUS_ERROR, for front ends that can say more than
// the Status text (the dialog shows the Status text alone).
enum GatherFailure {
    GATHER_OK,                 // no failure (the run gathered)
    GATHER_EMPTY_FOLDER,       // a text is empty
    GATHER_EMPTY_FORMAT,
    GATHER_EMPTY_OUTPUT,
    GATHER_FOLDER_TOO_LONG,    // a text longer than its buffer
    GATHER_FORMAT_TOO_LONG,
    GATHER_OUTPUT_TOO_LONG,
    GATHER_PATTERN_TOO_LONG,   // folder and format joined are longer than a path
    GATHER_NO_CONVERSION,      // the format: no integer conversion
    GATHER_SEVERAL_CONVERSIONS,  // more than one
    GATHER_UNSUPPORTED_CONVERSION,  // one that is not d, i, u, x or X as allowed
    GATHER_NUMBER_LOST,        // a ".." after the number: every number names one file
    GATHER_OUTPUT_IN_SERIES,   // the output is level file nLevel (szName)
    GATHER_OUTPUT_UNDECIDED,   // whether the output is a level file cannot be told cheaply
    GATHER_FOLDER_UNLISTED,    // nor can it, since the series' folder (szName) cannot be listed
    GATHER_LEVEL_UNOPENED,     // level file nLevel (szName) is missing (level 1) or
                               // is there but cannot be opened or examined
    GATHER_OUTPUT_UNOPENED,    // the output cannot be created (level 1) or reopened
    GATHER_OUTPUT_REPLACED,    // reopened for level nLevel, the output is another file
                               // than the one the levels before went into
    GATHER_READ_FAILED,        // reading level file nLevel (szName) failed
    GATHER_WRITE_FAILED        // writing or closing the output failed
};

struct GatherFailureInfo {
    GatherFailure failure;
    int cGathered;            // the files gathered: the count, 0 after a failure
    int nError;               // the system's errno, 0 when it has none (not a regular file)
    int nLevel;               // the level number concerned, 0 when none
    char szName[MAX_PATH];    // the file or text concerned
};

// Set by every run: GATHER_OK, or why it failed. After a run that gathered,
// nLevel, szName and nError tell where the series ended: the first number
// whose file does not exist (nError ENOENT, ENOTDIR or ENAMETOOLONG) or is no
// file that holds data (EISDIR for a folder, 0 for a FIFO, device or socket).
extern GatherFailureInfo g_failure;

// Copies pszFolder's level files 1, 2, 3, ... named by pszFormat into
// pszOutput, stopping at the first number whose file cannot be opened.
// Returns the count of files gathered in decimal, or STATUS_ERROR. The text
// lives in a static buffer that the next run overwrites.
const char* ConvertLevels(const char* pszFolder, const char* pszFormat, const char* pszOutput);
