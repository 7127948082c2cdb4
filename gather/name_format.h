// The file name format: one printf-style integer conversion in a file name.
#pragma once

#include <stddef.h>

#include "failure.h"
#include "platform.h"

// Capacity of the file name format, terminator included.
#define FORMAT_CAPACITY 100

// A checked format: its text and where its one conversion sits.
struct NameFormat {
    char szText[FORMAT_CAPACITY];
    int nConvStart;   // offset of its '%'
    int nConvLength;  // length up to and including the conversion letter
    char chConv;      // d, i, u, x or X
};

// Accepts exactly one integer conversion (d, i, u, x, X) with the flags '-',
// '#' (hex only) and '0', a width and a precision, plus any number of "%%",
// and copies the text into *pFmt: GATHER_OK. Anything else would read an
// argument that is not there or expand to the same name for every number:
// GATHER_NO_CONVERSION, GATHER_SEVERAL_CONVERSIONS,
// GATHER_UNSUPPORTED_CONVERSION, or GATHER_LONE_PERCENT for a '%' at the end
// or before a character that starts no conversion;
// GATHER_FORMAT_TOO_LONG for a text that does not fit.
GatherFailure CheckNameFormat(const char* pszFormat, NameFormat* pFmt);

// Writes the folder and a separator, none where the folder ends in one,
// into pszOut: where a level file's name starts. *pcch is its length.
// False when it does not fit in cbOut bytes.
bool StartLevelPath(const char* pszFolder, char* pszOut, size_t cbOut, size_t* pcch);

// Writes the folder, the separator and the format expanded with nLevel into
// pszName. The folder is copied literally. False when the name does not fit
// in cbName bytes.
bool ExpandLevelName(const char* pszFolder, const NameFormat* pFmt, int nLevel, char* pszName, size_t cbName);

// Expands the conversion alone (e.g. "%03d" with 7 gives "007").
bool ExpandConversion(const NameFormat* pFmt, int nLevel, char* pszOut, size_t cbOut);

// The name the format gives nLevel within the folder typed beside it (the
// format expanded alone). False when it does not fit in cbOut bytes.
bool FormatLeafName(const NameFormat* pFmt, int nLevel, char* pszOut, size_t cbOut);

// Appends cchFrom bytes of format text to pszOut (cbOut bytes, kept
// terminated) at *pcch as name text, each "%%" read as '%'. False when it
// does not fit.
bool AppendAsNameText(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, size_t cchFrom);
