// Names as the file system compares them.
#pragma once

#include <stddef.h>

// A name's characters in the form the file system compares: UTF-16 on
// Windows, where a double-byte character of the ANSI code page is one
// character and letter case is folded for all of Unicode; bytes elsewhere.
#ifdef _WIN32
typedef wchar_t NameChar;
#else
typedef char NameChar;
#endif

// Converts cch bytes of narrow text (process code page) into pOut, which has
// room for cchOut characters. False when the text does not fit or is no
// valid text in that code page: such a name cannot be judged.
bool ToNameText(const char* psz, size_t cch, NameChar* pOut, size_t cchOut, size_t* pcchName);

// Equal as names of one folder: ignoring letter case on Windows, byte for
// byte elsewhere. Case folding keeps the length of UTF-16 text, so equal
// names have equal lengths.
bool NameTextEqual(const NameChar* pA, const NameChar* pB, size_t cch);
