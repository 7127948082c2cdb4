#include "run_notes.h"

#include <errno.h>
#include <string.h>

#include "board_reader.h"
#include "format_hints.h"
#include "program.h"
#include "quoting.h"

namespace {

// What the notes found, for the lines that word it.
struct NoteFindings {
    FolderSurvey survey;
    FormatHints hints;
    BoardOddities odd;
} g_found;

const char* Plural(int n, const char* pszOne, const char* pszMore) { return n == 1 ? pszOne : pszMore; }

// "a.1", or "from a.1 to a.4" where they differ.
void PrintRange(FILE* pOut, const SurveyRange* pRange)
{
    if (strcmp(pRange->szFirst, pRange->szLast) == 0)
        (void)fputs(Quoted(pRange->szFirst), pOut);
    else
        (void)fprintf(pOut, "from %s to %s", Quoted(pRange->szFirst), Quoted(pRange->szLast));
}

// Level file 0 of the series; fGathered: after a run that gathered.
void PrintZero(FILE* pOut, bool fGathered)
{
    if (g_found.survey.fHasZero)
        (void)fprintf(pOut, PROGRAM_NAME ": note: %s %s gathering starts at number 1\n", Quoted(g_found.survey.szZero),
                      fGathered ? "was not gathered:" : "exists, but");
}

// Files of the series that a run from 1 does not reach.
void PrintStartsElsewhere(FILE* pOut, const SurveyRange* pRange)
{
    (void)fprintf(pOut, PROGRAM_NAME ": note: %d %s of the series %s, ", pRange->cFiles,
                  Plural(pRange->cFiles, "file", "files"), Plural(pRange->cFiles, "exists", "exist"));
    PrintRange(pOut, pRange);
    (void)fputs(", but gathering starts at number 1\n", pOut);
}

void PrintHint(FILE* pOut, const FormatHint* pHint)
{
    (void)fprintf(pOut, PROGRAM_NAME ": note: try the format %s: ", Quoted(pHint->szFormat));
    PrintRange(pOut, &pHint->gathered);
    (void)fprintf(pOut, ", %s%d %s", pHint->fAtLeast ? "at least " : "", pHint->gathered.cFiles,
                  Plural(pHint->gathered.cFiles, "file", "files"));
    if (pHint->beyond.cFiles > 0) {
        (void)fprintf(pOut, "; %d more %s a gap, ", pHint->beyond.cFiles,
                      Plural(pHint->beyond.cFiles, "follows", "follow"));
        PrintRange(pOut, &pHint->beyond);
    }
    (void)fputc('\n', pOut);
}

}  // namespace

bool PrintMissingFolder(FILE* pOut, const char* pszFolder)
{
    FileIdentity id;
    if (pszFolder[0] == '\0')
        return false;  // the working folder
    bool fFound = IdentifyPath(pszFolder, &id);
    if (fFound ? id.fDirectory : !NamesNothing(errno))
        return false;
    if (!fFound && errno == ENOENT)
        (void)fprintf(pOut, PROGRAM_NAME ": note: the folder %s does not exist\n", Quoted(pszFolder));
    else
        (void)fprintf(pOut, PROGRAM_NAME ": note: %s is not a folder\n", Quoted(pszFolder));
    return true;
}

void PrintFirstLevelNotes(FILE* pOut, const GatherRun* pRun)
{
    if (PrintMissingFolder(pOut, pRun->szFolder))
        return;
    bool fHints = FindFormatHints(pRun, &g_found.hints);
    // Where the text typed gathers at another padding, its files at the
    // padding typed (from 10, 100 or 1000 on) are that series' own.
    if (!(fHints && g_found.hints.cHints > 0 && g_found.hints.rgHint[0].fOwnText) &&
        SurveyFolder(pRun, 0, &g_found.survey)) {
        PrintZero(pOut, false);
        // The larger story: soko002 ... soko120, not soko100 ... soko120 alone.
        const SurveyRange* pStory = &g_found.survey.beyond;
        if (fHints && g_found.hints.startsElsewhere.cFiles > pStory->cFiles)
            pStory = &g_found.hints.startsElsewhere;
        if (pStory->cFiles > 0)
            PrintStartsElsewhere(pOut, pStory);
    }
    for (int i = 0; fHints && i < g_found.hints.cHints; ++i)
        PrintHint(pOut, &g_found.hints.rgHint[i]);
}

void PrintSeriesEnd(FILE* pOut, const GatherRun* pRun)
{
    if (pRun->nLevel == 0 || !SurveyFolder(pRun, pRun->nLevel, &g_found.survey))
        return;
    PrintZero(pOut, true);
    const SurveyRange* pBeyond = &g_found.survey.beyond;
    if (pBeyond->cFiles == 0)
        return;
    const char* pszWhy = pRun->nError == EISDIR ? "is a folder"
                         : pRun->nError == 0    ? "is not a regular file (a device, FIFO or socket)"
                                                : "does not exist";
    (void)fprintf(pOut, PROGRAM_NAME ": note: level file %d, %s, %s; %d more %s of the series %s it, ", pRun->nLevel,
                  Quoted(pRun->szName), pszWhy, pBeyond->cFiles, Plural(pBeyond->cFiles, "file", "files"),
                  Plural(pBeyond->cFiles, "follows", "follow"));
    PrintRange(pOut, pBeyond);
    (void)fprintf(pOut, ", and %s not gathered\n", Plural(pBeyond->cFiles, "was", "were"));
}

void PrintBoardCount(FILE* pOut, const GatherRun* pRun, const char* pszOutput)
{
    long cBoards;
    int cGathered = pRun->cGathered;
    // The file the run wrote, read where its links end.
    if (!pRun->fJudged || !CountBoards(pRun->output.szTarget, &cBoards) || cBoards == cGathered ||
        !FindOddLevels(pRun, &g_found.odd))
        return;
    (void)fprintf(pOut, PROGRAM_NAME ": note: a Sokoban program will see %ld %s in %s, not %d: ", cBoards,
                  cBoards == 1 ? "level" : "levels", Quoted(FileNamePart(pszOutput)), cGathered);
    const char* pszSeparator = "";
    if (g_found.odd.cNoBoard > 0) {
        (void)fprintf(pOut, "%d level %s no board, such as %s", g_found.odd.cNoBoard,
                      Plural(g_found.odd.cNoBoard, "file holds", "files hold"), Quoted(g_found.odd.rgszNoBoard[0]));
        pszSeparator = "; ";
    }
    if (g_found.odd.cSeveral > 0) {
        (void)fprintf(pOut, "%s%d level %s several boards, such as ", pszSeparator, g_found.odd.cSeveral,
                      Plural(g_found.odd.cSeveral, "file holds", "files hold"));
        int cNamed = g_found.odd.cSeveral < BOARD_NAMES ? g_found.odd.cSeveral : BOARD_NAMES;
        for (int i = 0; i < cNamed; ++i)
            (void)fprintf(pOut, "%s%s", i == 0 ? "" : i + 1 == cNamed ? " and " : ", ", Quoted(g_found.odd.rgszSeveral[i]));
    }
    (void)fputc('\n', pOut);
}
