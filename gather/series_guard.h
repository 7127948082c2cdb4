// Keeping the output away from the level files it is gathered from.
#pragma once

#include "name_format.h"

enum SeriesVerdict {
    OUTPUT_OUTSIDE,      // writing the output cannot touch a file of the series
    OUTPUT_IN_SERIES,    // it is level file *pnLevel (by some name)
    OUTPUT_UNDECIDED,    // that cannot be told cheaply, so it is refused
    OUTPUT_NUMBER_LOST   // the format's number is lost in the path
};

// Judges whether writing pszOutput could touch a file of the series: one the
// format gives for any number from 1 up (whether it exists yet or not,
// beyond gaps too), by any spelling of the path or any folder the system
// resolves to the series' folder, or an existing level file under another
// name (a hard link, a link, a short name). The number is lost when, e.g.
// behind a "..", every number would name the same file. Undecided: a number
// in a folder name with the output named like the level files, text that is
// no valid name, a link to nothing, a folder that cannot be read through.
SeriesVerdict JudgeOutput(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                          const char* pszOutput, int* pnLevel);

// True when JudgeOutput finds the output outside the series.
bool OutputOutsideSeries(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                         const char* pszOutput);
