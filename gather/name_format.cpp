#include "name_format.h"

#include <stdio.h>
#include <string.h>

#include "platform.h"

namespace {

// A width or precision this large can never give a name that fits a path.
const int kMaxFieldWidth = MAX_PATH;

// Reads a decimal field; false when it is too large to matter.
bool ReadField(const char* psz, int* pnPos)
{
    int nValue = 0;
    while (IsDigit(psz[*pnPos])) {
        nValue = nValue * 10 + (psz[*pnPos] - '0');
        if (nValue >= kMaxFieldWidth)
            return false;
        ++*pnPos;
    }
    return true;
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
            return GATHER_UNSUPPORTED_CONVERSION;
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

bool ExpandLevelName(const char* pszFolder, const NameFormat* pFmt, int nLevel, char* pszName, size_t cbName)
{
    // The folder goes in as text, never as part of the format.
    int cchHead = snprintf(pszName, cbName, "%s%c", pszFolder, PATH_SEPARATOR);
    if (cchHead < 0 || static_cast<size_t>(cchHead) >= cbName)
        return false;
    return FormatLeafName(pFmt, nLevel, pszName + cchHead, cbName - static_cast<size_t>(cchHead));
}

bool FormatLeafName(const NameFormat* pFmt, int nLevel, char* pszOut, size_t cbOut)
{
    // A checked format: one integer conversion.
    int cch = snprintf(pszOut, cbOut, pFmt->szText, nLevel);
    return cch >= 0 && static_cast<size_t>(cch) < cbOut;
}

bool AppendAsFormatText(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, size_t cchFrom)
{
    for (size_t i = 0; i < cchFrom; ++i) {
        bool fPercent = pszFrom[i] == '%';
        if (*pcch + (fPercent ? 2 : 1) >= cbOut)
            return false;
        if (fPercent)
            pszOut[(*pcch)++] = '%';
        pszOut[(*pcch)++] = pszFrom[i];
    }
    pszOut[*pcch] = '\0';
    return true;
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

