// Formats that would gather a series the folder holds, for a user whose
// format found no level file 1: the one meant first, whatever was missed
// (the padding, the text after the number, a separator, letter case).
#pragma once

#include "folder_survey.h"

#define FORMAT_HINTS 3

// A format and what it gathers (from 1 up to the file before its first gap)
// and its files after that gap.
struct FormatHint {
    char szFormat[FORMAT_CAPACITY];
    bool fOwnText;  // the text given, at another padding
    bool fAtLeast;  // the series runs past what is counted with a gap somewhere:
                    // gathered names its first file and a floor of its size
    SurveyRange gathered;
    SurveyRange beyond;
};

struct FormatHints {
    int cHints;  // the closest to the format given first
    FormatHint rgHint[FORMAT_HINTS];
    // The largest series of the text given at another padding that gathers
    // nothing (it starts past 1), for a note on where it starts.
    SurveyRange startsElsewhere;
};

// Weighs every kind of numbered name in the folder of the run's series. The text before the number weighs most: as given,
// then in other letter case, then with other separators; then the text
// after the number. The text given at another padding comes first; then a
// series whose first file holds a board comes before one whose first file
// holds none (solutions, read-me files); size breaks ties. Lists the folder
// twice (the second time to count exactly what each hint's format names)
// and, where two or more series gather, looks at the first file of each.
// False when the run built no series, its number is not in the file name,
// or the folder cannot be listed.
bool FindFormatHints(const GatherRun* pRun, FormatHints* pHints);
