// A Sokoban program reads a collection line by line: a run of board rows is
// a level, and any other line (empty, a title, a comment) ends it. Lines are
// judged as they stream past, so a file of any size, with lines of any
// length, costs no more memory than one piece of it.
#include "board_reader.h"

#include <stdio.h>
#include <string.h>

namespace {

// What a reader knows of the line it is in.
struct LineScan {
    bool fInLine;     // bytes of a line that has not ended yet
    bool fWall;       // a '#'
    bool fOther;      // a character of a title or a comment
    bool fCR;         // the last byte was a CR, which a LF would make a line end
    bool fDigits;     // the last bytes were digits, which only a board character may follow
    int cBoardChars;  // board characters other than spaces
    int cFlawed;      // runs of bytes that a near row may hold
    unsigned uFlaws;  // which kinds, one bit each
    int lastFlaw;     // of the byte before, -1 for none: a run of one kind is one flaw
    int cBomBytes;    // how much of a byte-order mark the last bytes began
};

enum LineKind { LINE_OTHER, LINE_ROW, LINE_NEAR };

// The state of a reader between bytes.
struct BoardScan {
    LineScan line;
    LineKind last;         // the last line ended
    unsigned uLastFlaws;   // and its flaws
    bool fNearAfterBoard;  // it is a near row just below a board row
    bool fLF;
    bool fLoneCR;
    bool fEnded;  // at a Ctrl+Z, where reading text ends there
    unsigned uNearFlaws;  // of the first near row, wherever it stands
    BoardReading reading;
};

// What reading works in: a piece of a file, the path of a level file, and
// the mark that opening one also gives, which is not needed here.
struct BoardBuffers {
    char rgchRead[64 * 1024];
    char szLevelPath[FULL_PATH_CAPACITY];
    FileMark mark;
} g_boards;

void Damage(BoardScan* pScan, BoardDamage damage, unsigned uFlaws)
{
    if (pScan->reading.damage != DAMAGE_NONE)
        return;
    pScan->reading.damage = damage;
    int iFlaw = 0;
    while (iFlaw + 1 < FLAW_COUNT && (uFlaws & (1U << iFlaw)) == 0)
        ++iFlaw;
    pScan->reading.flaw = static_cast<RowFlaw>(iFlaw);
}

void Flaw(LineScan* pLine, RowFlaw flaw)
{
    if (pLine->lastFlaw != flaw)
        ++pLine->cFlawed;
    pLine->uFlaws |= 1U << flaw;
    pLine->lastFlaw = flaw;
}

void EndLine(BoardScan* pScan)
{
    LineScan* pLine = &pScan->line;
    pLine->fOther = pLine->fOther || pLine->fDigits;  // digits at a line's end: a number, no run length
    if (pLine->fCR) {
        Flaw(pLine, FLAW_CR);  // a CR that no LF follows
        pScan->fLoneCR = true;
    }
    // The one definition of a board row, and of a row that is nearly one.
    LineKind kind = LINE_OTHER;
    if (pLine->fWall && !pLine->fOther)
        kind = pLine->cFlawed == 0 ? LINE_ROW : pLine->cFlawed <= pLine->cBoardChars ? LINE_NEAR : LINE_OTHER;
    if (kind == LINE_ROW && pScan->last != LINE_ROW)
        ++pScan->reading.cBoards;
    if (kind == LINE_ROW && pScan->last == LINE_NEAR)
        Damage(pScan, pScan->fNearAfterBoard ? DAMAGE_INNER_ROW : DAMAGE_TOP_ROW, pScan->uLastFlaws);
    else if (pScan->fNearAfterBoard)
        Damage(pScan, DAMAGE_BOTTOM_ROW, pScan->uLastFlaws);
    if (kind == LINE_NEAR && !pScan->reading.fNearRow) {
        pScan->reading.fNearRow = true;
        pScan->uNearFlaws = pLine->uFlaws;
    }
    pScan->fNearAfterBoard = kind == LINE_NEAR && pScan->last == LINE_ROW;
    pScan->last = kind;
    pScan->uLastFlaws = pLine->uFlaws;
    *pLine = LineScan{};
    pLine->lastFlaw = -1;
}

// What each byte is to a reader.
enum ByteKind : unsigned char { BYTE_BOARD, BYTE_WALL, BYTE_FLOOR, BYTE_LF, BYTE_CR, BYTE_DIGIT, BYTE_TAB, BYTE_NUL,
                                BYTE_HIGH, BYTE_CTRL_Z, BYTE_OTHER };

struct ByteKinds {
    ByteKind rg[256];
};

constexpr ByteKinds MakeByteKinds()
{
    ByteKinds kinds = {};
    for (int ch = 0; ch < 256; ++ch) {
        ByteKind kind = ch >= 0x80 ? BYTE_HIGH : ch >= '0' && ch <= '9' ? BYTE_DIGIT : BYTE_OTHER;
        for (const char* p = "@+$*.-_"; *p != '\0'; ++p)
            kind = ch == *p ? BYTE_BOARD : kind;
        kind = ch == '#' ? BYTE_WALL : ch == ' ' ? BYTE_FLOOR : ch == '\n' ? BYTE_LF : ch == '\r' ? BYTE_CR : kind;
        kind = ch == '\t' ? BYTE_TAB : ch == 0 ? BYTE_NUL : ch == 0x1A ? BYTE_CTRL_Z : kind;
        kinds.rg[ch] = kind;
    }
    return kinds;
}

constexpr ByteKinds kByteKinds = MakeByteKinds();

void ScanBytes(BoardScan* pScan, const char* pch, size_t cb)
{
    LineScan* pLine = &pScan->line;
    for (size_t i = 0; i < cb && !pScan->fEnded; ++i) {
        unsigned char ch = static_cast<unsigned char>(pch[i]);
        ByteKind kind = kByteKinds.rg[ch];
        if (kind == BYTE_LF) {
            pLine->fCR = false;  // part of the line end
            pScan->fLF = true;
            EndLine(pScan);
            continue;
        }
        if (pLine->fCR) {
            Flaw(pLine, FLAW_CR);
            pScan->fLoneCR = true;
        }
        pLine->fInLine = true;
        pLine->fCR = kind == BYTE_CR;
        // Run-length digits stand before the board character they repeat;
        // others are a number, of a title.
        if (pLine->fDigits && kind != BYTE_DIGIT)
            pLine->fOther = pLine->fOther || (kind != BYTE_BOARD && kind != BYTE_WALL);
        pLine->fDigits = kind == BYTE_DIGIT;
        if (kind != BYTE_HIGH)
            pLine->cBomBytes = 0;
        if (kind != BYTE_HIGH && kind != BYTE_DIGIT && kind != BYTE_TAB && kind != BYTE_NUL)
            pLine->lastFlaw = -1;
        switch (kind) {
        case BYTE_WALL:
            pLine->fWall = true;
            ++pLine->cBoardChars;
            break;
        case BYTE_BOARD:
            ++pLine->cBoardChars;
            break;
        case BYTE_FLOOR:
        case BYTE_CR:  // a line end begun
        case BYTE_LF:
            break;
        case BYTE_DIGIT:
            Flaw(pLine, FLAW_DIGITS);
            break;
        case BYTE_TAB:
        case BYTE_NUL:
            Flaw(pLine, kind == BYTE_TAB ? FLAW_TAB : FLAW_NUL);
            break;
        case BYTE_HIGH:
            // A byte-order mark is EF BB BF; a no-break space A0, or C2 A0.
            pLine->cBomBytes = ch == 0xEF ? 1
                               : (ch == 0xBB && pLine->cBomBytes == 1) || (ch == 0xBF && pLine->cBomBytes == 2)
                                   ? pLine->cBomBytes + 1
                                   : 0;
            if (pLine->cBomBytes == 3)
                pLine->uFlaws |= 1U << FLAW_BOM;
            if (ch == 0xA0 || (ch == 0xC2 && i + 1 < cb && static_cast<unsigned char>(pch[i + 1]) == 0xA0))
                pLine->uFlaws |= 1U << FLAW_NO_BREAK_SPACE;
            Flaw(pLine, FLAW_CODE_PAGE);  // a run of them, one character or a few, is one flaw
            break;
        case BYTE_CTRL_Z:
            // Where the gathering reads text to a Ctrl+Z, the collection
            // holds nothing after one; elsewhere it holds what a Windows
            // program reading text never sees.
            if (kTextEndsAtCtrlZ) {
                pScan->fEnded = true;
                return;
            }
            if (pScan->reading.damage == DAMAGE_NONE)
                pScan->reading.damage = DAMAGE_CTRL_Z;
            pLine->fOther = true;
            break;
        case BYTE_OTHER:
            pLine->fOther = true;
            break;
        }
    }
}

// Reads an open file to its end, as bytes: false when reading fails.
bool ScanStream(FILE* pFile, BoardScan* pScan)
{
    *pScan = BoardScan{};
    pScan->line.lastFlaw = -1;
    ReadAsBytes(pFile);  // a CR, or a Ctrl+Z, as a program reading bytes sees it
    size_t cb = fread(g_boards.rgchRead, 1, sizeof(g_boards.rgchRead), pFile);
    // The gathering leaves a byte-order mark out: the collection holds none.
    size_t cbBom = cb >= 3 && memcmp(g_boards.rgchRead, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    ScanBytes(pScan, g_boards.rgchRead + cbBom, cb - cbBom);
    while ((cb = fread(g_boards.rgchRead, 1, sizeof(g_boards.rgchRead), pFile)) > 0)
        ScanBytes(pScan, g_boards.rgchRead, cb);
    // The gathering completes a last line: a CR there ends it with the LF.
    pScan->line.fCR = false;
    if (pScan->line.fInLine)
        EndLine(pScan);
    EndLine(pScan);  // an empty line: a near row last is below its board
    // Without a LF the file is one line to a program, whatever its CRs;
    // near rows and no board row: rows that a program reads as none.
    if (pScan->fLoneCR && !pScan->fLF)
        pScan->reading.damage = DAMAGE_CR_ONLY;
    else if (pScan->reading.damage == DAMAGE_NONE && pScan->reading.cBoards == 0 && pScan->reading.fNearRow)
        Damage(pScan, DAMAGE_NEAR_ROWS_ONLY, pScan->uNearFlaws);
    return !ferror(pFile);
}

void Note(const NameFormat* pFmt, int* pcFiles, char (*rgszName)[MAX_PATH], int nLevel)
{
    if (*pcFiles < BOARD_NAMES)
        (void)FormatLeafName(pFmt, nLevel, rgszName[*pcFiles], MAX_PATH);
    ++*pcFiles;
}

}  // namespace

bool ReadBoards(const char* pszPath, BoardReading* pReading)
{
    // Opened as a level file is: a FIFO or device is never waited on.
    FILE* pFile;
    if (OpenLevelFile(pszPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
        return false;
    BoardScan scan;
    bool fRead = ScanStream(pFile, &scan);
    (void)fclose(pFile);
    *pReading = scan.reading;
    return fRead;
}

bool HoldsBoard(const char* pszPath)
{
    FILE* pFile;
    if (OpenLevelFile(pszPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
        return false;
    ReadAsBytes(pFile);
    BoardScan scan = {};
    scan.line.lastFlaw = -1;
    ScanBytes(&scan, g_boards.rgchRead, fread(g_boards.rgchRead, 1, sizeof(g_boards.rgchRead), pFile));
    EndLine(&scan);
    (void)fclose(pFile);
    return scan.reading.cBoards > 0;
}

bool FindOddLevels(const GatherRun* pRun, BoardOddities* pOdd)
{
    memset(pOdd, 0, sizeof(*pOdd));
    if (pRun->failure != GATHER_OK || pRun->cGathered == 0)
        return false;
    for (int nLevel = 1; nLevel <= pRun->cGathered; ++nLevel) {
        FILE* pFile = NULL;
        BoardScan scan;
        if (!ExpandLevelName(pRun->series.szGiven, &pRun->format, nLevel, g_boards.szLevelPath,
                             sizeof(g_boards.szLevelPath)) ||
            OpenLevelFile(g_boards.szLevelPath, &pFile, &g_boards.mark) != LEVEL_OPENED)
            continue;  // changed since the run: nothing to say of it
        bool fRead = ScanStream(pFile, &scan);
        (void)fclose(pFile);
        if (!fRead)
            continue;
        if (scan.reading.damage != DAMAGE_NONE) {
            if (pOdd->cDamaged < BOARD_NAMES) {
                DamagedLevel* pDamaged = &pOdd->rgDamaged[pOdd->cDamaged];
                (void)FormatLeafName(&pRun->format, nLevel, pDamaged->szName, sizeof(pDamaged->szName));
                pDamaged->reading = scan.reading;
            }
            ++pOdd->cDamaged;
            if (scan.reading.cBoards > 1)  // a count that the damage told does not explain
                Note(&pRun->format, &pOdd->cSeveral, pOdd->rgszSeveral, nLevel);
        } else if (scan.reading.cBoards == 0) {
            Note(&pRun->format, &pOdd->cNoBoard, pOdd->rgszNoBoard, nLevel);
        } else if (scan.reading.cBoards > 1) {
            Note(&pRun->format, &pOdd->cSeveral, pOdd->rgszSeveral, nLevel);
        }
    }
    return true;
}
