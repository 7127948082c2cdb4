#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "board_reader.h"

namespace {

TEST(BoardReader, TellsBoardRowsFromTitlesAndComments)
{
    const std::pair<const char*, bool> rows[] = {
        {"#####", true},       {"  #@$.#", true},    {"#  _-*+.$@#", true}, {"#####\r", true},
        {"", false},           {"    ", false},      {"$$..@", false},      {"Title: #1", false},
        {"; a # comment", false}, {"#\t#", false},   {"Author: me", false}, {"uurrDDlluR", false}};
    for (const auto& [pszLine, fRow] : rows)
        EXPECT_EQ(IsBoardRow(pszLine, strlen(pszLine)), fRow) << pszLine;
}

}  // namespace
