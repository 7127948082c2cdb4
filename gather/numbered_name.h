// Recognising the names of a series: the text before the number, the number
// as the format writes it, the text after it.
#pragma once

#include <stddef.h>

#include "name_format.h"
#include "name_text.h"

// Room for a full path, which may be longer than the texts it came from.
#define NAME_TEXT_CAPACITY 4096

struct NumberedName {
    NameChar rgchHead[NAME_TEXT_CAPACITY];
    size_t cchHead;
    NameChar rgchTail[NAME_TEXT_CAPACITY];
    size_t cchTail;
    const char* pszFormat;  // the conversion's own text is taken from here
    const NameFormat* pFmt;
};

// Sets up *pName from narrow text around the number. False when a part does
// not fit or is no valid text.
bool MakeNumberedName(const char* pszHead, size_t cchHead, const char* pszTail, size_t cchTail,
                      const char* pszFormat, const NameFormat* pFmt, NumberedName* pName);

// The level number (1 or more) for which the format gives this name, as the
// file system compares names; 0 when it gives it for none.
int LevelNumberOf(const NumberedName* pName, const NameChar* pch, size_t cch);
