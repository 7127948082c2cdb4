#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "gather_testing.h"
#include "name_format.h"
#include "platform.h"

namespace {

bool Accepts(const char* pszFormat)
{
    NameFormat fmt;
    return ParseNameFormat(pszFormat, &fmt);
}

TEST(NameFormat, AcceptsOneIntegerConversion)
{
    for (const char* psz : {"screen.%d", "screen.%02d", "screen_%d.skd", "soko%03d.txt", "%i", "%u",
                            "lv%x", "LV%X", "%#x", "%-4d.txt", "%.3d", "%5.3d", "%d", "100%%_%d",
                            "%d%%", "a%%%%b%d"})
        EXPECT_TRUE(Accepts(psz)) << psz;
}

TEST(NameFormat, RefusesWhatWouldReadAMissingArgumentOrNeverChange)
{
    for (const char* psz :
         {"screen", "screen.%%", "%d%d", "%d.%x", "%s", "%c", "%n", "%p", "%f", "%e", "%g", "%a",
          "%*d", "%.*d", "%ld", "%lld", "%hd", "%hhd", "%jd", "%zd", "%I64d", "%1$d", "screen.%",
          "%%%", "%#d", "%+d", "% d", "%'d", "%0999d", "%.999d", "%2147483648d", "%-", "%5"})
        EXPECT_FALSE(Accepts(psz)) << psz;
}

TEST(NameFormat, LocatesTheConversion)
{
    NameFormat fmt;
    ASSERT_TRUE(ParseNameFormat("a%%b%03dc", &fmt));
    EXPECT_EQ(fmt.nConvStart, 4);
    EXPECT_EQ(fmt.nConvLength, 4);
    EXPECT_EQ(fmt.chConv, 'd');
}

std::string Expand(const char* pszFolder, const char* pszFormat, int n, size_t cb = MAX_PATH)
{
    char sz[MAX_PATH];
    NameFormat fmt;
    if (!ParseNameFormat(pszFormat, &fmt) || !ExpandLevelName(pszFolder, &fmt, n, sz, cb))
        return "<no fit>";
    return sz;
}

TEST(NameFormat, ExpandsFolderLiterallyAndNumberByFormat)
{
    const std::string sep(1, PATH_SEPARATOR);
    EXPECT_EQ(Expand("sets", "screen.%02d", 1), "sets" + sep + "screen.01");
    EXPECT_EQ(Expand("sets", "soko%03d.txt", 999), "sets" + sep + "soko999.txt");
    EXPECT_EQ(Expand("sets", "soko%03d.txt", 1000), "sets" + sep + "soko1000.txt");
    EXPECT_EQ(Expand("100% done", "%d", 7), "100% done" + sep + "7");
    EXPECT_EQ(Expand("%s%n", "x%%%d", 3), "%s%n" + sep + "x%3");
    EXPECT_EQ(Expand("d", "%x", INT_MAX), "d" + sep + "7fffffff");
}

TEST(NameFormat, ReportsANameThatDoesNotFit)
{
    // 8 bytes hold "ab/1234" and its terminator, nothing longer.
    EXPECT_EQ(Expand("ab", "%d", 1234, 8), std::string("ab") + PATH_SEPARATOR + "1234");
    EXPECT_EQ(Expand("ab", "%d", 12345, 8), "<no fit>");
    EXPECT_EQ(Expand("abcdefg", "%d", 1, 8), "<no fit>");
}

}  // namespace
