// The file name format: one printf-style integer conversion in a file name.
#pragma once

#include <stddef.h>

// Where the single conversion sits in a checked format.
struct NameFormat {
    int nConvStart;   // offset of its '%'
    int nConvLength;  // length up to and including the conversion letter
    char chConv;      // d, i, u, x or X
};

// Accepts exactly one integer conversion (d, i, u, x, X) with the flags '-',
// '#' (hex only) and '0', a width and a precision, plus any number of "%%".
// Anything else is refused: it would read an argument that is not there or
// expand to the same name for every number.
bool ParseNameFormat(const char* pszFormat, NameFormat* pFmt);

// ParseNameFormat, telling why a format is refused. An incomplete
// conversion (a '%' at the end) counts as an unsupported one.
enum NameFormatProblem {
    FORMAT_FINE,
    FORMAT_NO_CONVERSION,
    FORMAT_SEVERAL_CONVERSIONS,
    FORMAT_UNSUPPORTED_CONVERSION
};
NameFormatProblem CheckNameFormat(const char* pszFormat, NameFormat* pFmt);

// Writes the folder, the separator and the format expanded with nLevel into
// pszName. The folder is copied literally. Returns false when the name does
// not fit in cbName bytes.
bool ExpandLevelName(char* pszName, size_t cbName, const char* pszFolder, const char* pszFormat,
                     int nLevel);

// Expands the conversion alone (e.g. "%03d" with 7 gives "007").
bool ExpandConversion(char* pszOut, size_t cbOut, const char* pszFormat, const NameFormat* pFmt,
                      int nLevel);

// The character that joins folder and format on this platform.
#ifdef _WIN32
#define PATH_SEPARATOR '\\'
#else
#define PATH_SEPARATOR '/'
#endif
