// Entry points that only the tests and fuzz targets use.
#pragma once

#include "gather.h"
#include "name_format.h"

// ConvertLevels with the numbering starting at nFirst instead of 1, so that
// the end of the number range can be exercised without two billion files.
// The count is the number of files copied.
const char* ConvertLevelsFrom(const char* pszFolder, const char* pszFormat, const char* pszOutput, int nFirst);

// Whether pszFormat is a format the gathering accepts.
bool ParseNameFormat(const char* pszFormat, NameFormat* pFmt);

// True when the guard finds the output outside the series.
bool OutputOutsideSeries(const char* pszFolder, const NameFormat* pFmt, const char* pszOutput);
