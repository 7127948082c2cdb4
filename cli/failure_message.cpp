#include "failure_message.h"

#include <errno.h>
#include <string.h>

#include "board_reader.h"
#include "folder_survey.h"
#include "platform.h"
#include "series.h"

namespace {

const char kProgram[] = "brenvik-gather";

// Room for a name with every byte quoted; three names at most in one line.
char g_szQuoted[3][MAX_PATH * 4 + 3];
char g_szFolderPart[MAX_PATH];
FolderSurvey g_survey;
BoardOddities g_odd;

bool IsSeparator(char ch) { return ch == '/' || ch == PATH_SEPARATOR; }

// The file name a path ends in; Windows takes '/' as a separator too, and
// no double-byte character ends in one.
const char* LeafOf(const char* pszPath)
{
    const char* pszName = FileNamePart(pszPath);
    const char* pszSlash = strrchr(pszName, '/');
    return pszSlash != NULL ? pszSlash + 1 : pszName;
}

// Whether a shell would read the name otherwise than as one word.
bool NeedsQuotes(const char* pszName)
{
    if (pszName[0] == '\0' || pszName[0] == '~' || pszName[0] == '#')
        return true;
    for (const char* p = pszName; *p != '\0'; ++p) {
        unsigned char ch = static_cast<unsigned char>(*p);
        if (ch < 0x20 || ch == 0x7f || (*p != PATH_SEPARATOR && strchr(" \"'\\$`*?[](){}<>|&;!", *p) != NULL))
            return true;
    }
    return false;
}

// The name as it pastes into a shell: as it is where it can be, else in
// single quotes with a quote inside written '\'', as coreutils writes file
// names in its messages. A folder typed with a trailing separator gives one
// separator, not two (a leading pair, as in \\server, stays).
const char* Quoted(const char* pszName, int iBuffer = 0)
{
    char* psz = g_szQuoted[iBuffer];
    bool fQuote = NeedsQuotes(pszName);
    size_t cch = 0;
    if (fQuote)
        psz[cch++] = '\'';
    // Each byte takes at most four, then a quote and the terminator.
    for (const char* p = pszName; *p != '\0' && cch + 6 <= sizeof(g_szQuoted[iBuffer]); ++p) {
        if (p > pszName + 1 && IsSeparator(*p) && IsSeparator(p[-1]))
            continue;
        if (*p == '\'') {
            memcpy(psz + cch, "'\\''", 4);
            cch += 4;
        } else {
            psz[cch++] = *p;
        }
    }
    if (fQuote)
        psz[cch++] = '\'';
    psz[cch] = '\0';
    return psz;
}

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

const char* Plural(int n, const char* pszOne, const char* pszMore) { return n == 1 ? pszOne : pszMore; }

// "a.1", or "from a.1 to a.4" where they differ, in the buffers from iBuffer on.
void PrintRange(FILE* pOut, const SurveyRange* pRange, int iBuffer)
{
    if (strcmp(pRange->szFirst, pRange->szLast) == 0)
        (void)fputs(Quoted(pRange->szFirst, iBuffer), pOut);
    else
        (void)fprintf(pOut, "from %s to %s", Quoted(pRange->szFirst, iBuffer), Quoted(pRange->szLast, iBuffer + 1));
}

// A note when a path's folder does not exist or is no folder; pszPath names
// the folder itself or, with fLeaf, a file in it. True when it said so.
bool PrintMissingFolder(FILE* pOut, const char* pszPath, bool fLeaf)
{
    const char* pszFolder = pszPath;
    if (fLeaf) {
        const char* pszName = LeafOf(pszPath);
        if (pszName == pszPath || !CopyFolderPart(pszPath, pszName - 1, g_szFolderPart, sizeof(g_szFolderPart)))
            return false;  // the working folder
        pszFolder = g_szFolderPart;
    }
    FileIdentity id;
    bool fFound = IdentifyPath(pszFolder, &id);
    if (fFound ? id.fDirectory : !NamesNothing(errno))
        return false;
    if (!fFound && errno == ENOENT)
        (void)fprintf(pOut, "%s: note: the folder %s does not exist\n", kProgram, Quoted(pszFolder));
    else
        (void)fprintf(pOut, "%s: note: %s is not a folder\n", kProgram, Quoted(pszFolder));
    return true;
}

// Level file 0 of the series; fGathered: after a run that gathered.
void PrintZero(FILE* pOut, bool fGathered)
{
    if (!g_survey.fHasZero)
        return;
    (void)fprintf(pOut, "%s: note: %s %s gathering starts at number 1\n", kProgram, Quoted(g_survey.szZero),
                  fGathered ? "was not gathered:" : "exists, but");
}

// After a missing level file 1: where the folder is not there, that; else
// the files of the series that are there, and formats that would gather a
// series the folder holds, the one meant first.
void PrintFirstLevelHints(FILE* pOut, const char* pszFolder, const char* pszFormat)
{
    if (PrintMissingFolder(pOut, pszFolder, false) || !SurveyFolder(pszFolder, pszFormat, 0, true, &g_survey))
        return;
    PrintZero(pOut, false);
    const SurveyRange* pBeyond = &g_survey.beyond;
    if (pBeyond->cFiles > 0) {
        (void)fprintf(pOut, "%s: note: %d %s of the series %s, ", kProgram, pBeyond->cFiles,
                      Plural(pBeyond->cFiles, "file", "files"), Plural(pBeyond->cFiles, "exists", "exist"));
        PrintRange(pOut, pBeyond, 0);
        (void)fputs(", but gathering starts at number 1\n", pOut);
    }
    for (int i = 0; i < g_survey.cHints; ++i) {
        const FormatHint* pHint = &g_survey.rgHint[i];
        (void)fprintf(pOut, "%s: note: try the format %s: ", kProgram, Quoted(pHint->szFormat, 2));
        PrintRange(pOut, &pHint->gathered, 0);
        (void)fprintf(pOut, ", %d %s", pHint->gathered.cFiles, Plural(pHint->gathered.cFiles, "file", "files"));
        if (pHint->beyond.cFiles > 0) {
            (void)fprintf(pOut, "; %d more %s a gap, ", pHint->beyond.cFiles,
                          Plural(pHint->beyond.cFiles, "follows", "follow"));
            PrintRange(pOut, &pHint->beyond, 0);
        }
        (void)fputc('\n', pOut);
    }
}

}  // namespace

void PrintSeriesEnd(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat)
{
    if (pInfo->nLevel == 0 || !SurveyFolder(pszFolder, pszFormat, pInfo->nLevel, false, &g_survey))
        return;
    PrintZero(pOut, true);
    const SurveyRange* pBeyond = &g_survey.beyond;
    if (pBeyond->cFiles == 0)
        return;
    const char* pszWhy = pInfo->nError == EISDIR ? "is a folder"
                         : pInfo->nError == 0    ? "is not a regular file (a device, FIFO or socket)"
                                                 : "does not exist";
    (void)fprintf(pOut, "%s: note: level file %d, %s, %s; %d more %s of the series %s it, ", kProgram, pInfo->nLevel,
                  Quoted(pInfo->szName, 2), pszWhy, pBeyond->cFiles, Plural(pBeyond->cFiles, "file", "files"),
                  Plural(pBeyond->cFiles, "follows", "follow"));
    PrintRange(pOut, pBeyond, 0);
    (void)fprintf(pOut, ", and %s not gathered\n", Plural(pBeyond->cFiles, "was", "were"));
}

void PrintBoardCount(FILE* pOut, int cGathered, const char* pszFolder, const char* pszFormat, const char* pszOutput)
{
    long cBoards;
    if (!CountBoards(pszOutput, &cBoards) || cBoards == cGathered ||
        !FindOddLevels(pszFolder, pszFormat, cGathered, &g_odd))
        return;
    (void)fprintf(pOut, "%s: note: a Sokoban program will see %ld %s in %s, not %d: ", kProgram, cBoards,
                  cBoards == 1 ? "level" : "levels", Quoted(LeafOf(pszOutput)), cGathered);
    const char* pszSeparator = "";
    if (g_odd.cNoBoard > 0) {
        (void)fprintf(pOut, "%d level %s no board, such as %s", g_odd.cNoBoard,
                      Plural(g_odd.cNoBoard, "file holds", "files hold"), Quoted(g_odd.rgszNoBoard[0]));
        pszSeparator = "; ";
    }
    if (g_odd.cSeveral > 0) {
        (void)fprintf(pOut, "%s%d level %s several boards, such as ", pszSeparator, g_odd.cSeveral,
                      Plural(g_odd.cSeveral, "file holds", "files hold"));
        int cNamed = g_odd.cSeveral < BOARD_NAMES ? g_odd.cSeveral : BOARD_NAMES;
        for (int i = 0; i < cNamed; ++i)
            (void)fprintf(pOut, "%s%s", i == 0 ? "" : i + 1 == cNamed ? " and " : ", ", Quoted(g_odd.rgszSeveral[i]));
    }
    (void)fputc('\n', pOut);
}

void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo, const char* pszFolder, const char* pszFormat,
                  const char* pszOutput)
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
        (void)fprintf(pOut, "%s: format %s is refused: it has no integer conversion such as %%d\n", kProgram,
                      pszName);
        return;
    case GATHER_SEVERAL_CONVERSIONS:
        (void)fprintf(pOut, "%s: format %s is refused: it has more than one conversion\n", kProgram, pszName);
        return;
    case GATHER_UNSUPPORTED_CONVERSION:
        (void)fprintf(pOut,
                      "%s: format %s is refused: an unsupported conversion (only %%d, %%i, %%u, %%x or %%X,"
                      " with the flags - 0 #, a width and a precision)\n",
                      kProgram, pszName);
        return;
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, "%s: format %s is refused: a \"..\" after the number makes every number name the "
                      "same file\n", kProgram, pszName);
        return;
    case GATHER_OUTPUT_IN_SERIES:
        (void)fprintf(pOut, "%s: the output %s is level file %d of the series, %s: refused\n", kProgram,
                      Quoted(pszOutput, 1), nLevel, pszName);
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, "%s: the output may be a file of the series, which cannot be ruled out: refused: %s\n",
                      kProgram, pszName);
        return;
    case GATHER_LEVEL_UNOPENED:
        (void)fprintf(pOut, "%s: cannot open level file %d, %s: %s\n", kProgram, nLevel, pszName,
                      Reason(pInfo->nError));
        if (nLevel == 1 && (pInfo->nError == ENOENT || pInfo->nError == ENOTDIR))
            PrintFirstLevelHints(pOut, pszFolder, pszFormat);
        return;
    case GATHER_OUTPUT_UNOPENED:
        (void)fprintf(pOut, "%s: cannot %s the output %s: %s\n", kProgram, nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(pInfo->nError));
        if (pInfo->nError == ENOENT || pInfo->nError == ENOTDIR)
            (void)PrintMissingFolder(pOut, pszOutput, true);
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
