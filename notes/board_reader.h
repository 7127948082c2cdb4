// Reading a collection back as a Sokoban program splits it: into levels at
// every line that is not a board row, so that a front end can tell when the
// program will see other levels than the files gathered, or miss a row.
#pragma once

#include "gather.h"

// Where a program will not see a board as its file drew it.
enum BoardDamage {
    DAMAGE_NONE,
    DAMAGE_TOP_ROW,     // a near row just above a board
    DAMAGE_BOTTOM_ROW,  // a near row just below one
    DAMAGE_INNER_ROW,   // a near row between two board rows: the board split in two
    DAMAGE_NEAR_ROWS_ONLY,  // near rows and no board row: the board lost whole
    DAMAGE_CR_ONLY,     // CR line ends: one line, no board
    DAMAGE_CTRL_Z       // a Ctrl+Z byte, where a Windows program reading text stops
};
// What makes a near row no board row, the first that counts in this order.
enum RowFlaw { FLAW_BOM, FLAW_NO_BREAK_SPACE, FLAW_CODE_PAGE, FLAW_TAB, FLAW_NUL, FLAW_CR, FLAW_DIGITS, FLAW_COUNT };

// What a reader finds in a file. A line ends at LF, or CR LF; a board row
// holds only the characters of a board (# @ + $ * . - _ and space) and at
// least one wall '#'. A near row would be one but for a few bytes: a tab, a
// NUL, a stray CR, a byte-order mark, a no-break space or another byte
// past ASCII, run-length digits; any other character (a letter, a ';')
// makes a title or a comment, which is never near.
struct BoardReading {
    long cBoards;
    BoardDamage damage;  // the first found
    RowFlaw flaw;        // of its near row
    bool fNearRow;       // a near row anywhere: the files are worth reading one by one
};

// Reads the whole file in one streaming pass, a UTF-8 byte-order mark at
// its start left out as the gathering leaves it out. False when it cannot
// be read.
bool ReadBoards(const char* pszPath, BoardReading* pReading);

// Whether a board shows in the first 64 KB of the file, as it does in a
// level file: enough to tell levels from solutions and read-me files.
bool HoldsBoard(const char* pszPath);

#define BOARD_NAMES 3

// A level file that a program will not read whole, named as the format
// names it.
struct DamagedLevel {
    char szName[MAX_PATH];
    BoardReading reading;
};

// Level files whose board count is not one, with the first few named, and
// those whose board a program will not read whole.
struct BoardOddities {
    int cNoBoard;
    char rgszNoBoard[BOARD_NAMES][MAX_PATH];
    int cSeveral;
    char rgszSeveral[BOARD_NAMES][MAX_PATH];
    int cDamaged;
    DamagedLevel rgDamaged[BOARD_NAMES];
};

// Reads the level files a run gathered and sorts out those that a program
// will not read whole, then those that hold no board or several. False
// when the run gathered nothing.
bool FindOddLevels(const GatherRun* pRun, BoardOddities* pOdd);
