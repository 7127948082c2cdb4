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

// Copies pszFolder's level files 1, 2, 3, ... named by pszFormat into
// pszOutput, stopping at the first number whose file cannot be opened.
// Returns the count of files gathered in decimal, or STATUS_ERROR. The text
// lives in a static buffer that the next run overwrites.
const char* ConvertLevels(const char* pszFolder, const char* pszFormat, const char* pszOutput);

// ConvertLevels with the numbering starting at nFirst instead of 1, so that
// the end of the number range can be exercised without two billion files.
// The count is the number of files copied.
const char* ConvertLevelsFrom(const char* pszFolder, const char* pszFormat, const char* pszOutput,
                              int nFirst);
