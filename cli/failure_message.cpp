#include "failure_message.h"

#include <errno.h>
#include <string.h>

#include "format_suggestions.h"
#include "series_survey.h"

namespace {

const char kProgram[] = "brenvik-gather";

// Room for a name with its quotes; two names at most stand in one line.
char g_szQuoted[2][MAX_PATH * 2 + 3];

// The name as it reads unmistakably in a message: in quotes when it is empty
// or holds a space, a quote or a comma (a message puts ", " between parts).
const char* Quoted(const char* pszName, int iBuffer = 0)
{
    if (pszName[0] != '\0' && strpbrk(pszName, " \t\r\n\"',") == NULL)
        return pszName;
    char chQuote = strchr(pszName, '"') == NULL ? '"' : '\'';
    const int cchMost = static_cast<int>(sizeof(g_szQuoted[iBuffer])) - 3;  // a longer name is cut
    (void)snprintf(g_szQuoted[iBuffer], sizeof(g_szQuoted[iBuffer]), "%c%.*s%c", chQuote, cchMost, pszName, chQuote);
    return g_szQuoted[iBuffer];
}

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

// Formats that would gather the folder's series, after a missing level file 1.
void PrintFirstLevelHints(FILE* pOut, const char* pszFolder, const char* pszFormat)
{
    FormatSuggestion rgSuggestion[3];
    int cSuggestions = SuggestFormats(pszFolder, pszFormat, rgSuggestion, 3);
    if (cSuggestions < 0 && errno == ENOENT)
        (void)fprintf(pOut, "%s: note: the folder %s does not exist\n", kProgram, Quoted(pszFolder));
    else if (cSuggestions < 0 && errno == ENOTDIR)
        (void)fprintf(pOut, "%s: note: %s is not a folder\n", kProgram, Quoted(pszFolder));
    for (int i = 0; i < cSuggestions; ++i)
        (void)fprintf(pOut, "%s: note: try the format %s: %s to %s, %d files\n", kProgram,
                      Quoted(rgSuggestion[i].szFormat), Quoted(rgSuggestion[i].szFirst),
                      Quoted(rgSuggestion[i].szLast, 1), rgSuggestion[i].cFiles);
}

}  // namespace

void PrintSeriesEnd(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat)
{
    SeriesBeyond beyond;
    if (pInfo->nLevel == 0 || !FindSeriesBeyond(pszFolder, pszFormat, pInfo->nLevel, &beyond))
        return;
    const char* pszWhy = pInfo->nError == EISDIR ? "is a folder"
                         : pInfo->nError == 0    ? "is not a regular file (a device, FIFO or socket)"
                                                 : "does not exist";
    (void)fprintf(pOut, "%s: note: level file %d, %s, %s; %d more file%s of the series follow%s it, from ",
                  kProgram, pInfo->nLevel, Quoted(pInfo->szName), pszWhy, beyond.cFiles,
                  beyond.cFiles == 1 ? "" : "s", beyond.cFiles == 1 ? "s" : "");
    (void)fprintf(pOut, "%s to %s, and %s not gathered\n", Quoted(beyond.szFirst), Quoted(beyond.szLast, 1),
                  beyond.cFiles == 1 ? "was" : "were");
}

void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat)
{
    const char* pszName = Quoted(pInfo->szName);
    int nLevel = pInfo->nLevel;
    switch (pInfo->failure) {
    case GATHER_OK:
        return;
    case GATHER_EMPTY_FOLDER:
        (void)fprintf(pOut, "%s: the folder is empty text\n", kProgram);
        return;
    case GATHER_EMPTY_FORMAT:
        (void)fprintf(pOut, "%s: the file name format is empty text\n", kProgram);
        return;
    case GATHER_EMPTY_OUTPUT:
        (void)fprintf(pOut, "%s: the output file name is empty text\n", kProgram);
        return;
    case GATHER_FOLDER_TOO_LONG:
        (void)fprintf(pOut, "%s: the folder is too long (at most %d characters): %s\n", kProgram, MAX_PATH - 1,
                      pszName);
        return;
    case GATHER_FORMAT_TOO_LONG:
        (void)fprintf(pOut, "%s: the format is too long (at most %d characters): %s\n", kProgram,
                      FORMAT_CAPACITY - 1, pszName);
        return;
    case GATHER_OUTPUT_TOO_LONG:
        (void)fprintf(pOut, "%s: the output file name is too long (at most %d characters): %s\n", kProgram,
                      MAX_PATH - 1, pszName);
        return;
    case GATHER_PATTERN_TOO_LONG:
        (void)fprintf(pOut, "%s: the folder and the format together are too long for a path (%d characters): %s\n",
                      kProgram, MAX_PATH - 1, pszName);
        return;
    case GATHER_NO_CONVERSION:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: it has no integer conversion such as %%d\n", kProgram,
                      pszName);
        return;
    case GATHER_SEVERAL_CONVERSIONS:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: it has more than one conversion\n", kProgram, pszName);
        return;
    case GATHER_UNSUPPORTED_CONVERSION:
        (void)fprintf(pOut,
                      "%s: format \"%s\" is refused: an unsupported conversion (only %%d, %%i, %%u, %%x or %%X,"
                      " with the flags - 0 #, a width and a precision)\n",
                      kProgram, pszName);
        return;
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: a \"..\" after the number makes every number name the "
                      "same file\n", kProgram, pszName);
        return;
    case GATHER_OUTPUT_IN_SERIES:
        (void)fprintf(pOut, "%s: the output is level file %d of the series, %s: refused\n", kProgram, nLevel,
                      pszName);
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, "%s: the output may be a file of the series, which cannot be ruled out: refused: %s\n",
                      kProgram, pszName);
        return;
    case GATHER_LEVEL_UNOPENED:
        (void)fprintf(pOut, "%s: cannot open level file %d, %s: %s\n", kProgram, nLevel, pszName,
                      Reason(pInfo->nError));
        if (pInfo->nError == ENOENT || pInfo->nError == ENOTDIR)
            PrintFirstLevelHints(pOut, pszFolder, pszFormat);
        return;
    case GATHER_OUTPUT_UNOPENED:
        (void)fprintf(pOut, "%s: cannot %s the output %s: %s\n", kProgram, nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(pInfo->nError));
        return;
    case GATHER_READ_FAILED:
        (void)fprintf(pOut, "%s: read error in level file %d, %s: %s\n", kProgram, nLevel, pszName,
                      Reason(pInfo->nError));
        return;
    case GATHER_WRITE_FAILED:
        (void)fprintf(pOut, "%s: cannot write the output %s: %s\n", kProgram, pszName, Reason(pInfo->nError));
        return;
    }
}
