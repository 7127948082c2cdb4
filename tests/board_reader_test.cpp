// What a Sokoban program reads back of a file: its boards, and a row next
// to a board that it will not take for a board row.
#include <gtest/gtest.h>

#include "board_reader.h"
#include "test_folder.h"

namespace {

class BoardReader : public TempFolderTest {};

TEST_F(BoardReader, FindsEveryRowAProgramWillMiss)
{
    const std::string board = "#####\n#@$.#\n#####\n";
    // Rows: the file, its boards, what a program will miss and why.
    const struct { std::string bytes; long cBoards; BoardDamage damage; RowFlaw flaw; } rows[] = {
        // Read whole: titles, comments, text past ASCII outside the board,
        // ragged and indented rows, both floors, CR LF, no last line end.
        {"Title: #2\n\n  #####\n###_-#\n#@$.*#\n#####\n    \nAuthor: Ren\xC3\xA9\n; x\xA0y #\n", 1, DAMAGE_NONE, FLAW_BOM},
        {"; crlf\r\n#####\r\n#@$.#\r\n#####", 1, DAMAGE_NONE, FLAW_BOM},
        {"\xEF\xBB\xBF" + board, 1, DAMAGE_NONE, FLAW_BOM},  // the gathering leaves it out
        {board + "\n" + board, 2, DAMAGE_NONE, FLAW_BOM},
        {"#1\n" + board + "### 12 ###\n", 1, DAMAGE_NONE, FLAW_BOM},  // numbers, not run lengths
        {"#####\r\n#@$.#\r\n#####\r", 1, DAMAGE_NONE, FLAW_BOM},  // the gathering ends the last line
        // A row lost at the edge of a board.
        {"#####\t\n#@$.#\n#####\n", 1, DAMAGE_TOP_ROW, FLAW_TAB},
        {"#####\n#@$.#\n#####\xA0\n", 1, DAMAGE_BOTTOM_ROW, FLAW_NO_BREAK_SPACE},
        {"#####\n#@$.#\n#####\xC2\xA0", 1, DAMAGE_BOTTOM_ROW, FLAW_NO_BREAK_SPACE},
        {"\xEF\xBB\xBF" "\xEF\xBB\xBF" + board, 1, DAMAGE_TOP_ROW, FLAW_BOM},
        {"#####\n#@$.#\n####\xE9\n", 1, DAMAGE_BOTTOM_ROW, FLAW_CODE_PAGE},
        {std::string("#####\0\n#@$.#\n#####\n", 19), 1, DAMAGE_TOP_ROW, FLAW_NUL},
        {"5#\n#@$.#\n5#\n", 1, DAMAGE_TOP_ROW, FLAW_DIGITS},
        {"12#\n#@$.#\n#####\n", 1, DAMAGE_TOP_ROW, FLAW_DIGITS},
        {"\xC2\xA0\xC2\xA0###\n##@ #\n#####\n", 1, DAMAGE_TOP_ROW, FLAW_NO_BREAK_SPACE},
        {"\t\t\t\t###\n##@ #\n#####\n", 1, DAMAGE_TOP_ROW, FLAW_TAB},
        {"T\n\xEF\xBB\xBF  ##\n  #.#\n###$###\n", 1, DAMAGE_TOP_ROW, FLAW_BOM},
        {"#####\n#@$.#\n#####\r\r\n", 1, DAMAGE_BOTTOM_ROW, FLAW_CR},
        {"#####\n#@\r$.#\n#####\n", 2, DAMAGE_INNER_ROW, FLAW_CR},
        // No board as a program reads it, or one it stops before.
        {"#####\r#@$.#\r#####\r", 0, DAMAGE_CR_ONLY, FLAW_BOM},
        {"\t#####\n\t#@$.#\n\t#####\n", 0, DAMAGE_NEAR_ROWS_ONLY, FLAW_TAB},
        // Where reading text ends at a Ctrl+Z, the gathering has left out
        // what follows; elsewhere a Windows program will stop there.
        {board + "\x1a" + board, kTextEndsAtCtrlZ ? 1 : 2, kTextEndsAtCtrlZ ? DAMAGE_NONE : DAMAGE_CTRL_Z, FLAW_BOM},
    };
    for (const auto& row : rows) {
        WriteBytes(At("l"), row.bytes);
        BoardReading reading;
        ASSERT_TRUE(ReadBoards(Str("l").c_str(), &reading)) << row.bytes;
        EXPECT_EQ(reading.cBoards, row.cBoards) << row.bytes;
        EXPECT_EQ(reading.damage, row.damage) << row.bytes;
        if (row.damage >= DAMAGE_TOP_ROW && row.damage <= DAMAGE_NEAR_ROWS_ONLY) {
            EXPECT_EQ(reading.flaw, row.flaw) << row.bytes;
        }
    }
}

}  // namespace
