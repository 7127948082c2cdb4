// The pieces the guard stands on: the series value, full paths, separators.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "name_format.h"
#include "series.h"

namespace {

Series g_series;  // too large for a test's stack

std::string Native(std::string path)
{
    for (char& ch : path)
        if (ch == '/')
            ch = PATH_SEPARATOR;
    return path;
}

TEST(Series, TellsTheNumberOfANameAndWhereTheNamesAre)
{
    // Rows: format, name, its number (0: none), the folder part below the
    // number. The folder "sets" is taken as given.
    const struct { const char* pszFormat; const char* pszName; int nLevel; const char* pszBelow; } rows[] = {
        {"screen.%d", "screen.12", 12, ""},     {"screen.%d", "screen.012", 0, ""},
        {"screen.%d", "screen.", 0, ""},        {"screen.%d", "screen.0", 0, ""},
        {"soko%03d.txt", "soko007.txt", 7, ""}, {"soko%03d.txt", "soko7.txt", 0, ""},
        {"soko%03d.txt", "soko1000.txt", 1000, ""}, {"100%%_%d", "100%_5", 5, ""},
        {"lv%#x", "lv0xff", 255, ""},           {"lv%x", "lv0xff", 0, ""},
        {"%5d", "    3", 3, ""},                {"%d/level.txt", "12", 12, "/level.txt"},
        {"a/%d.b/c", "7.b", 7, "/c"}};
    for (const auto& row : rows) {
        NameFormat fmt;
        ASSERT_EQ(CheckNameFormat(row.pszFormat, &fmt), GATHER_OK) << row.pszFormat;
        ASSERT_EQ(MakeSeries("sets", &fmt, &g_series), GATHER_OK) << row.pszFormat;
        NameChar rgch[MAX_PATH];
        size_t cch;
        ASSERT_TRUE(ToNameText(row.pszName, strlen(row.pszName), rgch, MAX_PATH, &cch));
        EXPECT_EQ(SeriesNumberOfName(&g_series, rgch, cch, true), row.nLevel) << row.pszFormat << " " << row.pszName;
        EXPECT_EQ(g_series.szBelow, Native(row.pszBelow)) << row.pszFormat;
    }
    NameFormat fmt;
    ASSERT_EQ(CheckNameFormat("%d/../screen.1", &fmt), GATHER_OK);
    EXPECT_EQ(MakeSeries("sets", &fmt, &g_series), GATHER_NUMBER_LOST);
}

TEST(Paths, FullPathsAndSeparators)
{
    std::string cwd = std::filesystem::current_path().string();
    // Rows: path, its full path (relative ones from the working folder).
#ifdef _WIN32
    std::string root = cwd.substr(0, 3);
    const std::pair<std::string, std::string> rows[] = {
        {"a\\.\\b\\..\\c", cwd + "\\a\\c"}, {root, root}, {root + "x\\..\\..", root},
        {root + "x\\y.", root + "x\\y"}, {root + "x\\y  ", root + "x\\y"}, {"a/b", cwd + "\\a\\b"}};
#else
    const std::pair<std::string, std::string> rows[] = {
        {"/", "/"}, {"/tmp/../..", "/"}, {"//nonexistent//x/./y/../z", "/nonexistent/x/z"}, {"nonexistent/y", cwd + "/nonexistent/y"}};
#endif
    for (const auto& [path, full] : rows) {
        char sz[FULL_PATH_CAPACITY];
        ASSERT_TRUE(FullPath(path.c_str(), sz, sizeof(sz))) << path;
        EXPECT_EQ(sz, full) << path;
    }
    for (const auto& [pszPath, pszName] : {std::pair{"a/b/c", "c"}, {"abc", "abc"}, {"a/", ""}, {"/x", "x"}})
        EXPECT_STREQ(FileNamePart(Native(pszPath).c_str()), pszName) << pszPath;
    std::string path = Native("a/bc/d");
    EXPECT_EQ(LastSeparator(path.c_str(), 4), path.c_str() + 1);  // within its first 4 bytes
    EXPECT_EQ(NextSeparator(path.c_str() + 2), path.c_str() + 4);
}

}  // namespace
