#include "numbered_name.h"

#include <limits.h>
#include <string.h>

#include "gather.h"

namespace {

// Reads the number a conversion would have written: padding spaces, an
// optional 0x, then digits. Returns 0 when the text is no such number.
int ReadLevelNumber(const NameChar* pch, size_t cch, char chConv)
{
    size_t i = 0;
    while (i < cch && pch[i] == ' ')
        ++i;
    int nBase = 10;
    if (chConv == 'x' || chConv == 'X') {
        nBase = 16;
        if (i + 1 < cch && pch[i] == '0' && (pch[i + 1] == 'x' || pch[i + 1] == 'X'))
            i += 2;
    }
    long long llValue = 0;
    size_t cDigits = 0;
    for (; i < cch; ++i, ++cDigits) {
        NameChar ch = pch[i];
        int nDigit;
        if (ch >= '0' && ch <= '9')
            nDigit = ch - '0';
        else if (nBase == 16 && ch >= 'a' && ch <= 'f')
            nDigit = ch - 'a' + 10;
        else if (nBase == 16 && ch >= 'A' && ch <= 'F')
            nDigit = ch - 'A' + 10;
        else
            break;
        llValue = llValue * nBase + nDigit;
        if (llValue > INT_MAX)
            return 0;
    }
    while (i < cch && pch[i] == ' ')
        ++i;
    if (i != cch || cDigits == 0)
        return 0;
    return static_cast<int>(llValue);
}

}  // namespace

bool MakeNumberedName(const char* pszHead, size_t cchHead, const char* pszTail, size_t cchTail,
                      const char* pszFormat, const NameFormat* pFmt, NumberedName* pName)
{
    pName->pszFormat = pszFormat;
    pName->pFmt = pFmt;
    return ToNameText(pszHead, cchHead, pName->rgchHead, NAME_TEXT_CAPACITY, &pName->cchHead) &&
           ToNameText(pszTail, cchTail, pName->rgchTail, NAME_TEXT_CAPACITY, &pName->cchTail);
}

int LevelNumberOf(const NumberedName* pName, const NameChar* pch, size_t cch)
{
    if (cch <= pName->cchHead + pName->cchTail ||
        !NameTextEqual(pch, pName->rgchHead, pName->cchHead) ||
        !NameTextEqual(pch + cch - pName->cchTail, pName->rgchTail, pName->cchTail))
        return 0;
    const NameChar* pchNumber = pch + pName->cchHead;
    size_t cchNumber = cch - pName->cchHead - pName->cchTail;
    int nLevel = ReadLevelNumber(pchNumber, cchNumber, pName->pFmt->chConv);
    if (nLevel < 1)
        return 0;

    // Only the format's own spelling of that number names the file.
    char szNumber[MAX_PATH];
    if (!ExpandConversion(szNumber, sizeof(szNumber), pName->pszFormat, pName->pFmt, nLevel))
        return 0;
    size_t cchExpanded = strlen(szNumber);
#ifdef _WIN32
    // At the end of a name Windows drops trailing spaces ("%-3d").
    while (pName->cchTail == 0 && cchExpanded > 0 && szNumber[cchExpanded - 1] == ' ')
        --cchExpanded;
#endif
    NameChar rgchNumber[MAX_PATH];
    size_t cchNumberText;
    if (!ToNameText(szNumber, cchExpanded, rgchNumber, MAX_PATH, &cchNumberText) ||
        cchNumberText != cchNumber || !NameTextEqual(rgchNumber, pchNumber, cchNumber))
        return 0;
    return nLevel;
}
