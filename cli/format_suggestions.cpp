#include "format_suggestions.h"

#include <stdio.h>
#include <string.h>

#include "platform.h"

namespace {

// A group of names alike but for their last number: "gri" 0001 ".sok". A
// zero-padded number (0001) and a plain one (1, 140) fall in different
// groups, as the formats %04d and %d would find them.
struct NameGroup {
    char szHead[MAX_PATH];
    char szTail[MAX_PATH];
    int cchPadded;  // the width of a zero-padded number, 0 for a plain one
    int cFiles;
    int nLast;
    bool fHasOne;
};

const int kMaxGroups = 32;
NameGroup g_rgGroup[kMaxGroups];
int g_cGroups;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

void GroupEntry(const char* pszName, void* /*pContext*/)
{
    // The last run of digits; no second byte of a double-byte character is a digit.
    size_t iStart = 0;
    size_t iEnd = 0;
    size_t cch = 0;
    for (; pszName[cch] != '\0'; ++cch) {
        if (!IsDigit(pszName[cch]))
            continue;
        if (cch == 0 || !IsDigit(pszName[cch - 1]))
            iStart = cch;
        iEnd = cch + 1;
    }
    size_t cchDigits = iEnd - iStart;
    if (cchDigits == 0 || cchDigits > 9 || iStart >= MAX_PATH || cch - iEnd >= MAX_PATH)
        return;
    int nNumber = 0;
    for (size_t i = iStart; i < iEnd; ++i)
        nNumber = nNumber * 10 + (pszName[i] - '0');
    int cchPadded = pszName[iStart] == '0' && cchDigits > 1 ? static_cast<int>(cchDigits) : 0;
    if (nNumber == 0)
        return;
    NameGroup* pGroup = g_rgGroup;
    for (; pGroup < g_rgGroup + g_cGroups; ++pGroup)
        if (pGroup->cchPadded == cchPadded && strncmp(pGroup->szHead, pszName, iStart) == 0 &&
            pGroup->szHead[iStart] == '\0' && strcmp(pGroup->szTail, pszName + iEnd) == 0)
            break;
    if (pGroup == g_rgGroup + g_cGroups) {
        if (g_cGroups == kMaxGroups)
            return;  // a folder of many kinds of names: the first ones are told
        ++g_cGroups;
        memcpy(pGroup->szHead, pszName, iStart);
        pGroup->szHead[iStart] = '\0';
        memcpy(pGroup->szTail, pszName + iEnd, cch - iEnd + 1);  // fits: checked above
        pGroup->cchPadded = cchPadded;
        pGroup->cFiles = 0;
        pGroup->nLast = 0;
        pGroup->fHasOne = false;
    }
    ++pGroup->cFiles;
    if (nNumber > pGroup->nLast)
        pGroup->nLast = nNumber;
    if (nNumber == 1)
        pGroup->fHasOne = true;
}

// Format text for literal name text: '%' doubled.
bool AppendLiteral(char* pszOut, size_t* pcch, size_t cbOut, const char* pszText)
{
    for (; *pszText != '\0'; ++pszText) {
        if (*pcch + 2 >= cbOut)
            return false;
        if (*pszText == '%')
            pszOut[(*pcch)++] = '%';
        pszOut[(*pcch)++] = *pszText;
    }
    pszOut[*pcch] = '\0';
    return true;
}

bool MakeSuggestion(const NameGroup* pGroup, FormatSuggestion* pSuggestion)
{
    char szConversion[16];
    if (pGroup->cchPadded > 0)
        (void)snprintf(szConversion, sizeof(szConversion), "%%0%dd", pGroup->cchPadded);
    else
        (void)snprintf(szConversion, sizeof(szConversion), "%%d");
    size_t cch = 0;
    char* psz = pSuggestion->szFormat;
    size_t cb = sizeof(pSuggestion->szFormat);
    if (!AppendLiteral(psz, &cch, cb, pGroup->szHead))
        return false;
    int cchConversion = snprintf(psz + cch, cb - cch, "%s", szConversion);
    cch += static_cast<size_t>(cchConversion);
    if (cch >= cb || !AppendLiteral(psz, &cch, cb, pGroup->szTail))
        return false;
    pSuggestion->cFiles = pGroup->cFiles;
    (void)snprintf(pSuggestion->szFirst, sizeof(pSuggestion->szFirst), psz, 1);
    (void)snprintf(pSuggestion->szLast, sizeof(pSuggestion->szLast), psz, pGroup->nLast);
    return true;
}

}  // namespace

int SuggestFormats(const char* pszFolder, const char* pszFormat, FormatSuggestion* rgSuggestion, int cMax)
{
    g_cGroups = 0;
    if (!ListFolder(pszFolder, GroupEntry, NULL))
        return -1;
    int cSuggestions = 0;
    for (const NameGroup* pGroup = g_rgGroup; pGroup < g_rgGroup + g_cGroups; ++pGroup) {
        FormatSuggestion suggestion = {};
        if (!pGroup->fHasOne || !MakeSuggestion(pGroup, &suggestion) || strcmp(suggestion.szFormat, pszFormat) == 0)
            continue;
        // Into place, the largest series first; the smallest falls off the end.
        int i = cSuggestions < cMax ? cSuggestions++ : cMax;
        for (; i > 0 && rgSuggestion[i - 1].cFiles < suggestion.cFiles; --i)
            if (i < cMax)
                rgSuggestion[i] = rgSuggestion[i - 1];
        if (i < cMax)
            rgSuggestion[i] = suggestion;
    }
    return cSuggestions;
}
