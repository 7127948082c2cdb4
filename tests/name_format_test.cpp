#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "name_format.h"
#include "platform.h"

namespace {

bool Accepts(const char* pszFormat)
{
    NameFormat fmt;
    return CheckNameFormat(pszFormat, &fmt) == GATHER_OK;
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
    // Every conversion printf knows but d, i, u, x and X, every length
    // modifier, '*', and "%%" beside a refused one: each for its own reason.
    const GatherFailure kUnsupported = GATHER_UNSUPPORTED_CONVERSION;
    const GatherFailure kLone = GATHER_LONE_PERCENT;  // a percent sign written once
    const std::pair<const char*, GatherFailure> rows[] = {
        {"screen", GATHER_NO_CONVERSION}, {"screen.%%", GATHER_NO_CONVERSION},
        {"%d%d", GATHER_SEVERAL_CONVERSIONS}, {"%d.%x", GATHER_SEVERAL_CONVERSIONS},
        {"%5d%%%x", GATHER_SEVERAL_CONVERSIONS}, {"%d%%%s", kUnsupported}, {"%%%o", kUnsupported},
        {"%o", kUnsupported}, {"%c", kUnsupported}, {"%C", kUnsupported}, {"%s", kUnsupported},
        {"%S", kUnsupported}, {"%e", kUnsupported}, {"%E", kUnsupported}, {"%f", kUnsupported},
        {"%F", kUnsupported}, {"%g", kUnsupported}, {"%G", kUnsupported}, {"%a", kUnsupported},
        {"%A", kUnsupported}, {"%p", kUnsupported}, {"%n", kUnsupported}, {"%m", kUnsupported},
        {"%hhd", kUnsupported}, {"%hd", kUnsupported}, {"%ld", kUnsupported}, {"%lld", kUnsupported},
        {"%jd", kUnsupported}, {"%zd", kUnsupported}, {"%td", kUnsupported}, {"%Lf", kUnsupported},
        {"%lx", kUnsupported}, {"%hhu", kUnsupported}, {"%I64d", kUnsupported}, {"%*d", kUnsupported},
        {"%.*d", kUnsupported}, {"%5.*d", kUnsupported}, {"%1$d", kUnsupported}, {"screen.%", kLone},
        {"%%%", kLone}, {"soko%03d.txt%", kLone}, {"100%_%d", kLone}, {"%!%d", kLone}, {"%#d", kUnsupported}, {"%+d", kUnsupported}, {"% d", kUnsupported},
        {"%'d", kUnsupported}, {"%0999d", kUnsupported}, {"%.999d", kUnsupported},
        {"%2147483648d", kUnsupported}, {"%-", kUnsupported}, {"%5", kUnsupported}};
    for (const auto& [pszFormat, failure] : rows) {
        NameFormat fmt;
        EXPECT_EQ(CheckNameFormat(pszFormat, &fmt), failure) << pszFormat;
    }
}

TEST(NameFormat, LocatesTheConversion)
{
    NameFormat fmt;
    ASSERT_EQ(CheckNameFormat("a%%b%03dc", &fmt), GATHER_OK);
    EXPECT_EQ(fmt.nConvStart, 4);
    EXPECT_EQ(fmt.nConvLength, 4);
    EXPECT_EQ(fmt.chConv, 'd');
}

std::string Expand(const char* pszFolder, const char* pszFormat, int n, size_t cb = MAX_PATH)
{
    char sz[MAX_PATH];
    NameFormat fmt;
    if (CheckNameFormat(pszFormat, &fmt) != GATHER_OK || !ExpandLevelName(pszFolder, &fmt, n, sz, cb))
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
