// Keeping the output away from the level files it is gathered from.
#pragma once

#include "name_format.h"

// True when writing pszOutput cannot touch a file of the series: it neither
// names a file the format gives for any number from 1 up (whether that file
// exists yet or not, by any spelling of the path), nor is an existing level
// file under another name (a link). Also false when the format's number is
// lost in the path, e.g. behind a "..", so that every number would name the
// same file.
bool OutputOutsideSeries(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                         const char* pszOutput);
