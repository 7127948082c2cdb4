#include "name_format.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform.h"

namespace {

// A width or precision this large can never give a name that fits a path.
const int kMaxFieldWidth = MAX_PATH;

// Reads a decimal field; false when it is too large to matter.
bool ReadField(const char* psz, int* pnPos)
{
    if (psz[*pnPos] < '0' || psz[*pnPos] > '9')
        return true;  // none
    char* pszEnd;
    long lValue = strtol(psz + *pnPos, &pszEnd, 10);
    *pnPos = static_cast<int>(pszEnd - psz);
    return lValue < kMaxFieldWidth;
}

// Parses one conversion starting just after its '%'. On success *pnPos is
// just past the conversion letter.
bool ParseConversion(const char* psz, int* pnPos, char* pchConv)
{
    bool fAlternate = false;
    for (;; ++*pnPos) {
        char ch = psz[*pnPos];
        if (ch == '#')
            fAlternate = true;
        else if (ch != '-' && ch != '0')
            break;
    }
    if (!ReadField(psz, pnPos))
        return false;
    if (psz[*pnPos] == '.') {
        ++*pnPos;
        if (!ReadField(psz, pnPos))
            return false;
    }
    char ch = psz[*pnPos];
    if (ch == 'x' || ch == 'X') {
        // fine with every flag
    } else if (ch == 'd' || ch == 'i' || ch == 'u') {
        if (fAlternate)
            return false;  // '#' has no meaning for decimal conversions
    } else {
        return false;  // string, char, %n, pointer, floating point, '*', length, '$', end
    }
    *pchConv = ch;
    ++*pnPos;
    return true;
}

// A '%' that ends the text or stands before a character no printf
// conversion starts with can only be a percent sign written once.
bool IsLonePercent(const char* pszAfter)
{
    return *pszAfter == '\0' || strchr("-+ #0123456789.*'hlLjztqIdiouxXfFeEgGaAcCsSpnm", *pszAfter) == NULL;
}

}  // namespace

GatherFailure CheckNameFormat(const char* pszFormat, NameFormat* pFmt)
{
    int nConversions = 0;
    for (int nPos = 0; pszFormat[nPos] != '\0';) {
        if (pszFormat[nPos] != '%') {
            ++nPos;
            continue;
        }
        if (pszFormat[nPos + 1] == '%') {
            nPos += 2;
            continue;
        }
        int nStart = nPos;
        ++nPos;
        char chConv = 0;
        if (!ParseConversion(pszFormat, &nPos, &chConv))
            return IsLonePercent(pszFormat + nStart + 1) ? GATHER_LONE_PERCENT : GATHER_UNSUPPORTED_CONVERSION;
        if (++nConversions > 1)
            return GATHER_SEVERAL_CONVERSIONS;
        pFmt->nConvStart = nStart;
        pFmt->nConvLength = nPos - nStart;
        pFmt->chConv = chConv;
    }
    if (nConversions == 0)
        return GATHER_NO_CONVERSION;
    int cch = snprintf(pFmt->szText, sizeof(pFmt->szText), "%s", pszFormat);
    return cch >= 0 && static_cast<size_t>(cch) < sizeof(pFmt->szText) ? GATHER_OK : GATHER_FORMAT_TOO_LONG;
}

bool StartLevelPath(const char* pszFolder, char* pszOut, size_t cbOut, size_t* pcch)
{
    // A folder given with its separator ("sets/", "C:\") takes no second
    // one, so that the name a message shows is the one the system reads.
    size_t cch = strlen(pszFolder);
    bool fEndsInSeparator = cch > 0 && LastSeparator(pszFolder, cch) == pszFolder + cch - 1;
    *pcch = cch + (fEndsInSeparator ? 0 : 1);
    if (*pcch >= cbOut)
        return false;
    memcpy(pszOut, pszFolder, cch);
    pszOut[cch] = PATH_SEPARATOR;  // overwritten by the terminator where the folder brought one
    pszOut[*pcch] = '\0';
    return true;
}

bool ExpandLevelName(const char* pszFolder, const NameFormat* pFmt, int nLevel, char* pszName, size_t cbName)
{
    // The folder goes in as text, never as part of the format.
    size_t cchHead;
    return StartLevelPath(pszFolder, pszName, cbName, &cchHead) &&
           FormatLeafName(pFmt, nLevel, pszName + cchHead, cbName - cchHead);
}

bool FormatLeafName(const NameFormat* pFmt, int nLevel, char* pszOut, size_t cbOut)
{
    // A checked format: one integer conversion.
    int cch = snprintf(pszOut, cbOut, pFmt->szText, nLevel);
    return cch >= 0 && static_cast<size_t>(cch) < cbOut;
}

bool AppendAsNameText(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, size_t cchFrom)
{
    for (size_t i = 0; i < cchFrom; ++i) {
        if (pszFrom[i] == '%' && i + 1 < cchFrom && pszFrom[i + 1] == '%')
            ++i;
        if (*pcch + 1 >= cbOut)
            return false;
        pszOut[(*pcch)++] = pszFrom[i];
    }
    pszOut[*pcch] = '\0';
    return true;
}

bool ExpandConversion(const NameFormat* pFmt, int nLevel, char* pszOut, size_t cbOut)
{
    char szConv[FORMAT_CAPACITY];
    (void)snprintf(szConv, sizeof(szConv), "%.*s", pFmt->nConvLength, pFmt->szText + pFmt->nConvStart);
    int cch = snprintf(pszOut, cbOut, szConv, nLevel);
    return cch >= 0 && static_cast<size_t>(cch) < cbOut;
}

