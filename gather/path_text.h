// Finding the parts of a path by its separators.
#pragma once

#include <stddef.h>

// The last separator (PATH_SEPARATOR) among the first cch bytes of pszPath,
// or NULL. On Windows the second byte of a double-byte character of the
// ANSI code page may have the value of a backslash (katakana so is 0x83 0x5C);
// that is no separator.
const char* LastSeparator(const char* pszPath, size_t cch);

// The first separator at or after pszFrom (which starts a character), or NULL.
const char* NextSeparator(const char* pszFrom);

// The text after the last separator: the whole text when there is none.
const char* FileNamePart(const char* pszPath);

// The folder part of pszPath, up to pszSeparator, into pszOut; a root ("/",
// C:\) keeps its separator. False when it does not fit.
bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut);
