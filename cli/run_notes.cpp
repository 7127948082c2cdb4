#include "run_notes.h"

#include <errno.h>
#include <string.h>

#include "board_reader.h"
#include "format_hints.h"
#include "program.h"
#include "quoting.h"
#include "repeated_folder.h"

namespace {

// What the notes found, for the lines that word it.
struct NoteFindings {
    FolderSurvey survey;
    FormatHints hints;
    BoardOddities odd;
    RepeatedFolder repeated;
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
    if (pHint->fAtLeast)
        (void)fprintf(pOut, "from %s on, at least", Quoted(pHint->gathered.szFirst));
    else
        PrintRange(pOut, &pHint->gathered);
    (void)fprintf(pOut, "%s%d %s", pHint->fAtLeast ? " " : ", ", pHint->gathered.cFiles,
                  Plural(pHint->gathered.cFiles, "file", "files"));
    if (pHint->beyond.cFiles > 0) {
        (void)fprintf(pOut, "; %d more %s a gap, ", pHint->beyond.cFiles,
                      Plural(pHint->beyond.cFiles, "follows", "follow"));
        PrintRange(pOut, &pHint->beyond);
    }
    (void)fputc('\n', pOut);
}

// What a program will miss of one level file, and why, in a player's words.
void PrintDamage(FILE* pOut, const DamagedLevel* pDamaged)
{
    const BoardReading* pReading = &pDamaged->reading;
    const char* pszName = Quoted(pDamaged->szName);
    if (pReading->damage == DAMAGE_CTRL_Z) {
        (void)fprintf(pOut, PROGRAM_NAME ": note: a Windows program reading the collection as text stops at the Ctrl+Z "
                      "byte of %s: it will not see what follows\n", pszName);
        return;
    }
    if (pReading->damage == DAMAGE_CR_ONLY) {
        (void)fprintf(pOut, PROGRAM_NAME ": note: a Sokoban program will not see the board in %s: the file uses CR line "
                      "ends, as old Mac programs wrote\n", pszName);
        return;
    }
    static const char* const rgpszFlaw[] = {"holds a byte-order mark", "holds a no-break space",
                               "holds a byte that is no board character (text of another code page)", "holds a tab",
                               "holds a NUL byte", "holds a CR that ends no line", "is written with run-length digits"};
    static_assert(sizeof(rgpszFlaw) / sizeof(rgpszFlaw[0]) == FLAW_COUNT, "a wording for each flaw, in its order");
    if (pReading->damage == DAMAGE_NEAR_ROWS_ONLY) {
        (void)fprintf(pOut, PROGRAM_NAME ": note: a Sokoban program will not see the board in %s: none of its rows is "
                      "a board row (one %s)\n", pszName, rgpszFlaw[pReading->flaw]);
        return;
    }
    (void)fprintf(pOut, PROGRAM_NAME ": note: a Sokoban program will not see %s in %s: the row %s\n",
                  pReading->damage == DAMAGE_TOP_ROW      ? "the top row of the board"
                  : pReading->damage == DAMAGE_BOTTOM_ROW ? "the bottom row of the board"
                                                          : "a row inside the board, and sees two boards",
                  pszName, rgpszFlaw[pReading->flaw]);
}

}  // namespace

bool PrintUnspellable(FILE* pOut, const char* pszName)
{
    unsigned nCodePage = CodePageLosing(pszName);
    if (nCodePage != 0)
        (void)fprintf(pOut, PROGRAM_NAME ": note: the name %s holds characters that this system's code page (%u) "
                      "cannot spell\n", Quoted(pszName), nCodePage);
    return nCodePage != 0;
}

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
    if (PrintUnspellable(pOut, pRun->szName))
        return;
    if (PrintMissingFolder(pOut, pRun->szFolder)) {
        if (FindRepeatedFolder(pRun, &g_found.repeated))
            (void)fprintf(pOut, PROGRAM_NAME ": note: the format repeats the folder %s: try the format %s\n",
                          Quoted(g_found.repeated.szNames), Quoted(g_found.repeated.format.szText));
        return;
    }
    bool fHints = FindFormatHints(pRun, &g_found.hints);
    // Where the text typed gathers at another padding, its files at the
    // padding typed (from 10, 100 or 1000 on) are that series' own.
    if (!(fHints && g_found.hints.cHints > 0 && g_found.hints.rgHint[0].fOwnText) &&
        SurveyFolder(pRun, 0, &g_found.survey)) {
        if (g_found.survey.cEntries == 0)
            (void)fprintf(pOut, PROGRAM_NAME ": note: the %s holds no files\n",
                          pRun->szFolder[0] != '\0' ? "folder" : "working folder");
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

void PrintBoardCount(FILE* pOut, const GatherRun* pRun)
{
    char szCut[MAX_PATH];
    if (pRun->cCutAtCtrlZ > 0 && FormatLeafName(&pRun->format, pRun->nFirstCut, szCut, sizeof(szCut))) {
        (void)fprintf(pOut, PROGRAM_NAME ": note: %s ends at a Ctrl+Z byte, as Windows reads text: the %llu or more bytes "
                      "after it were not gathered", Quoted(szCut), pRun->cbFirstCut);
        if (pRun->cCutAtCtrlZ > 1)
            (void)fprintf(pOut, "; %d more level %s the same", pRun->cCutAtCtrlZ - 1,
                          Plural(pRun->cCutAtCtrlZ - 1, "file ends", "files end"));
        (void)fputc('\n', pOut);
    }
    BoardReading collection;
    int cGathered = pRun->cGathered;
    // The file the run wrote, read where its links end: one pass when it
    // reads back as the levels gathered.
    if (!pRun->fJudged || !ReadBoards(pRun->output.szTarget, &collection) ||
        (collection.cBoards == cGathered && collection.damage == DAMAGE_NONE && !collection.fNearRow) ||
        !FindOddLevels(pRun, &g_found.odd))
        return;
    const BoardOddities* pOdd = &g_found.odd;
    for (int i = 0; i < pOdd->cDamaged && i < BOARD_NAMES; ++i)
        PrintDamage(pOut, &pOdd->rgDamaged[i]);
    if (pOdd->cDamaged > BOARD_NAMES)
        (void)fprintf(pOut, PROGRAM_NAME ": note: %d more level %s will not read whole\n", pOdd->cDamaged - BOARD_NAMES,
                      Plural(pOdd->cDamaged - BOARD_NAMES, "file", "files"));
    if (collection.cBoards == cGathered || (pOdd->cNoBoard == 0 && pOdd->cSeveral == 0))
        return;  // nothing more to tell than the damage told
    (void)fprintf(pOut, PROGRAM_NAME ": note: a Sokoban program will see %ld %s in %s, not %d: ", collection.cBoards,
                  collection.cBoards == 1 ? "level" : "levels", Quoted(FileNamePart(pRun->szOutput)), cGathered);
    const char* pszSeparator = "";
    if (pOdd->cNoBoard > 0) {
        (void)fprintf(pOut, "%d level %s no board, such as %s", pOdd->cNoBoard,
                      Plural(pOdd->cNoBoard, "file holds", "files hold"), Quoted(pOdd->rgszNoBoard[0]));
        pszSeparator = "; ";
    }
    if (pOdd->cSeveral > 0) {
        (void)fprintf(pOut, "%s%d level %s several boards, such as ", pszSeparator, pOdd->cSeveral,
                      Plural(pOdd->cSeveral, "file holds", "files hold"));
        int cNamed = pOdd->cSeveral < BOARD_NAMES ? pOdd->cSeveral : BOARD_NAMES;
        for (int i = 0; i < cNamed; ++i)
            (void)fprintf(pOut, "%s%s", i == 0 ? "" : i + 1 == cNamed ? " and " : ", ", Quoted(pOdd->rgszSeveral[i]));
    }
    (void)fputc('\n', pOut);
}
