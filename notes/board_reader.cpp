// A Sokoban program reads a collection line by line: a run of board rows is
// a level, and any other line (empty, a title, a comment) ends it. Lines are
// judged as they stream past, so a line of any length costs no memory.
#include "board_reader.h"

#include <stdio.h>
#include <string.h>

namespace {

// What reading works in: a piece of a file, the path of a level file, and
// the mark that opening one also gives, which is not needed here.
struct BoardBuffers {
    char rgchRead[64 * 1024];
    char szLevelPath[FULL_PATH_CAPACITY];
    FileMark mark;
} g_boards;

// The state of a reader between bytes.
struct RowScan {
    bool fInLine;      // bytes of a line that has not ended yet
    bool fBoardChars;  // the line so far holds only board characters
    bool fWall;        // and a wall
    bool fInBoard;     // the last line ended was a board row
    long cBoards;
};

const RowScan kNewScan = {false, true, false, false, 0};

void EndLine(RowScan* pScan)
{
    // The one definition of a board row.
    bool fRow = pScan->fBoardChars && pScan->fWall;
    if (fRow && !pScan->fInBoard)
        ++pScan->cBoards;
    pScan->fInBoard = fRow;
    pScan->fInLine = false;
    pScan->fBoardChars = true;
    pScan->fWall = false;
}

void ScanBytes(RowScan* pScan, const char* pch, size_t cb)
{
    for (size_t i = 0; i < cb; ++i) {
        char ch = pch[i];
        if (ch == '\n') {
            EndLine(pScan);
            continue;
        }
        pScan->fInLine = true;
        if (ch == '#')
            pScan->fWall = true;
        else if (ch != '\r' && (ch == '\0' || strchr("@+$*.-_ ", ch) == NULL))
            pScan->fBoardChars = false;  // a CR belongs to the line end
    }
}

// Counts the boards of an open file; -1 when reading fails.
long CountStream(FILE* pFile)
{
    RowScan scan = kNewScan;
    size_t cb;
    while ((cb = fread(g_boards.rgchRead, 1, sizeof(g_boards.rgchRead), pFile)) > 0)
        ScanBytes(&scan, g_boards.rgchRead, cb);
    if (scan.fInLine)
        EndLine(&scan);
    return ferror(pFile) ? -1 : scan.cBoards;
}

void Note(const NameFormat* pFmt, int* pcFiles, char (*rgszName)[MAX_PATH], int nLevel)
{
    if (*pcFiles < BOARD_NAMES)
        (void)FormatLeafName(pFmt, nLevel, rgszName[*pcFiles], MAX_PATH);
    ++*pcFiles;
}

}  // namespace

bool CountBoards(const char* pszPath, long* pcBoards)
{
    // Opened as a level file is: a FIFO or device is never waited on.
    FILE* pFile;
    if (OpenLevelFile(pszPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
        return false;
    long cbFile = fseek(pFile, 0, SEEK_END) == 0 ? ftell(pFile) : -1;
    *pcBoards = cbFile >= 0 && cbFile <= BOARD_READ_LIMIT && fseek(pFile, 0, SEEK_SET) == 0 ? CountStream(pFile) : -1;
    (void)fclose(pFile);
    return *pcBoards >= 0;
}

bool HoldsBoard(const char* pszPath)
{
    FILE* pFile;
    if (OpenLevelFile(pszPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
        return false;
    RowScan scan = kNewScan;
    ScanBytes(&scan, g_boards.rgchRead, fread(g_boards.rgchRead, 1, sizeof(g_boards.rgchRead), pFile));
    EndLine(&scan);
    (void)fclose(pFile);
    return scan.cBoards > 0;
}

bool FindOddLevels(const GatherRun* pRun, BoardOddities* pOdd)
{
    memset(pOdd, 0, sizeof(*pOdd));
    if (pRun->failure != GATHER_OK || pRun->cGathered == 0)
        return false;
    for (int nLevel = 1; nLevel <= pRun->cGathered; ++nLevel) {
        FILE* pFile = NULL;
        if (!ExpandLevelName(pRun->series.szGiven, &pRun->format, nLevel, g_boards.szLevelPath,
                             sizeof(g_boards.szLevelPath)) ||
            OpenLevelFile(g_boards.szLevelPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
            continue;  // changed since the run: nothing to say of it
        long cBoards = CountStream(pFile);
        (void)fclose(pFile);
        if (cBoards == 0)
            Note(&pRun->format, &pOdd->cNoBoard, pOdd->rgszNoBoard, nLevel);
        else if (cBoards > 1)
            Note(&pRun->format, &pOdd->cSeveral, pOdd->rgszSeveral, nLevel);
    }
    return true;
}
