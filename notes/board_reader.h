// Reading a collection back as a Sokoban program splits it: into levels at
// every line that is not a board row, so that a front end can tell when the
// program will see other levels than the files gathered.
#pragma once

#include "gather.h"

// A collection larger than this is not read back: no Sokoban collection
// comes near it.
#define BOARD_READ_LIMIT (16L * 1024 * 1024)

// The boards a reader finds in the file: runs of board rows. A board row
// holds only the characters of a board (# @ + $ * . - _ and space) and at
// least one wall '#'; a line end (LF, CR LF) is not part of it. False when
// the file cannot be read or is larger than BOARD_READ_LIMIT.
bool CountBoards(const char* pszPath, long* pcBoards);

// Whether a board shows in the first 64 KB of the file, as it does in a
// level file: enough to tell levels from solutions and read-me files.
bool HoldsBoard(const char* pszPath);

#define BOARD_NAMES 3

// Level files whose board count is not one, with the first few named as the
// format names them.
struct BoardOddities {
    int cNoBoard;
    char rgszNoBoard[BOARD_NAMES][MAX_PATH];
    int cSeveral;
    char rgszSeveral[BOARD_NAMES][MAX_PATH];
};

// Reads the level files a run gathered and sorts out those that hold no
// board or several. False when the run gathered nothing.
bool FindOddLevels(const GatherRun* pRun, BoardOddities* pOdd);
