#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "file_identity.h"
#include "gather.h"
#include "level_file.h"
#include "name_format.h"
#include "series_guard.h"

int g_nLevel;

namespace {

// Level data passes through here; afterwards it holds the count as text.
char g_szLine[1000];

char g_szLevelName[MAX_PATH];

// Large stdio buffers keep the number of system calls low for big level
// files; the copy itself still goes through g_szLine.
char g_rgchLevelStream[64 * 1024];
char g_rgchOutputStream[64 * 1024];

const char* CountText(int nCount)
{
    (void)snprintf(g_szLine, sizeof(g_szLine), "%d", nCount);  // always fits
    return g_szLine;
}

FILE* OpenLevel(const char* pszName, FileIdentity* pId)
{
    FILE* pLevel = OpenLevelFile(pszName, pId);
    // Only a speed-up: without it the stream keeps its own buffer.
    if (pLevel != NULL)
        (void)setvbuf(pLevel, g_rgchLevelStream, _IOFBF, sizeof(g_rgchLevelStream));
    return pLevel;
}

// Copies every byte that reading yields (NUL bytes too), then one line end.
bool CopyLevel(FILE* pLevel, FILE* pOutput)
{
    size_t cb;
    while ((cb = fread(g_szLine, 1, sizeof(g_szLine) - 1, pLevel)) > 0) {
        if (fwrite(g_szLine, 1, cb, pOutput) != cb)
            return false;
    }
    if (ferror(pLevel))
        return false;
    return fputc('\n', pOutput) != EOF;
}

bool InputsUsable(const char* pszFolder, const char* pszFormat, const char* pszOutput)
{
    size_t cchFolder = strlen(pszFolder);
    size_t cchFormat = strlen(pszFormat);
    if (cchFolder >= MAX_PATH || cchFormat >= FORMAT_CAPACITY || strlen(pszOutput) >= MAX_PATH)
        return false;
    // The joined pattern must itself fit a path.
    return cchFolder + 1 + cchFormat < MAX_PATH;
}

}  // namespace

const char* ConvertLevelsFrom(const char* pszFolder, const char* pszFormat, const char* pszOutput,
                              int nFirst)
{
    if (pszFolder[0] == '\0' || pszFormat[0] == '\0' || pszOutput[0] == '\0')
        return STATUS_ERROR;
    g_nLevel = nFirst;

    NameFormat fmt;
    if (!InputsUsable(pszFolder, pszFormat, pszOutput) || !ParseNameFormat(pszFormat, &fmt) ||
        !OutputOutsideSeries(pszFolder, pszFormat, &fmt, pszOutput))
        return STATUS_ERROR;

    FileIdentity idOutput = {};
    for (;; ++g_nLevel) {
        bool fFirst = g_nLevel == nFirst;
        FileIdentity idLevel;
        FILE* pLevel = NULL;
        // A name that does not fit is a file that cannot be opened.
        if (ExpandLevelName(g_szLevelName, sizeof(g_szLevelName), pszFolder, pszFormat, g_nLevel))
            pLevel = OpenLevel(g_szLevelName, &idLevel);
        if (pLevel == NULL)
            return fFirst ? STATUS_ERROR : CountText(g_nLevel - nFirst);

        // Should the output have come to stand in the series after all (it
        // was moved there during the run), stop rather than read the file
        // being written. Only where that costs next to nothing.
        if (kCheapStreamIdentity && !fFirst && IsSameFile(&idLevel, &idOutput)) {
            (void)fclose(pLevel);
            return STATUS_ERROR;
        }

        FILE* pOutput = fopen(pszOutput, fFirst ? "wt" : "at");
        if (pOutput == NULL) {
            (void)fclose(pLevel);
            return STATUS_ERROR;
        }
        (void)setvbuf(pOutput, g_rgchOutputStream, _IOFBF, sizeof(g_rgchOutputStream));
        bool fCopied = true;
        if (fFirst && kCheapStreamIdentity)
            fCopied = IdentifyStream(pOutput, &idOutput);
        fCopied = fCopied && CopyLevel(pLevel, pOutput);
        (void)fclose(pLevel);  // read only: nothing to lose
        if (fclose(pOutput) != 0)
            fCopied = false;
        if (!fCopied)
            return STATUS_ERROR;

        if (g_nLevel == INT_MAX)
            return CountText(g_nLevel - nFirst + 1);
    }
}

const char* ConvertLevels(const char* pszFolder, const char* pszFormat, const char* pszOutput)
{
    return ConvertLevelsFrom(pszFolder, pszFormat, pszOutput, 1);
}
