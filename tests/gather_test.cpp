// The gathering as a user meets it. Runs natively and, cross-built, under
// Wine, where the Windows text mode applies (NL is what a line end becomes).
#include <cstring>
#include <fstream>
#include <map>
#include <tuple>
#include <string>

#include "gather.h"
#include "test_folder.h"

namespace {

class Gather : public TempFolderTest {
protected:
    std::string Convert(const std::string& format, const std::string& output)
    {
        return ConvertLevels(dir_.string().c_str(), format.c_str(), output.c_str());
    }
    std::string out() const { return Str("out.xsb"); }
    // Why a run failed; GATHER_OK for one that gathered.
    GatherFailure Refusal(const std::string& format, const std::string& output)
    {
        return Convert(format, output) == STATUS_ERROR ? g_run.failure : GATHER_OK;
    }

    // Every file of the folder, to prove a refused run touched nothing.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir_))
            files[entry.path().filename().string()] = ReadBytes(entry.path());
        return files;
    }
};

TEST_F(Gather, CopiesTheSeriesInNumberOrderWithOneLineEndAfterEachFile)
{
    WriteSeries("screen.%d", {"#####\n#@$.#\n#####\n", "two\n", "three\n", "four\n", "five\n"});
    EXPECT_EQ(Convert("screen.%d", out()), "5");
    EXPECT_EQ(ReadBytes(out()),
              "#####" NL "#@$.#" NL "#####" NL NL "two" NL NL "three" NL NL "four" NL NL "five" NL NL);
    EXPECT_EQ(g_nLevel, 6);  // where the run stopped

    // A second run truncates and gives the same file.
    EXPECT_EQ(Convert("screen.%d", out()), "5");
    EXPECT_EQ(ReadBytes(out()),
              "#####" NL "#@$.#" NL "#####" NL NL "two" NL NL "three" NL NL "four" NL NL "five" NL NL);
}

TEST_F(Gather, StopsAtTheFirstGap)
{
    WriteBytes(At("screen.1"), "a\n");
    WriteBytes(At("screen.2"), "b\n");
    WriteBytes(At("screen.4"), "d\n");
    EXPECT_EQ(Convert("screen.%d", out()), "2");
    EXPECT_EQ(ReadBytes(out()), "a" NL NL "b" NL NL);
}

TEST_F(Gather, MissingFirstFileIsAnErrorAndLeavesTheOutputAlone)
{
    WriteBytes(At("screen.0"), "zero\n");
    WriteBytes(At("screen.2"), "two\n");
    WriteBytes(out(), "previous collection");
    EXPECT_EQ(Refusal("screen.%d", out()), GATHER_LEVEL_UNOPENED);
    EXPECT_EQ(ReadBytes(out()), "previous collection");
    EXPECT_EQ(g_nLevel, 1);
    EXPECT_EQ(g_run.szFolder, dir_.string());  // where it was looked for, for a note
}

TEST_F(Gather, EmptyTextsAreAnErrorAndTouchNothing)
{
    WriteSeries("screen.%d", {"a\n"});
    EXPECT_STREQ(ConvertLevels("", "screen.%d", out().c_str()), STATUS_ERROR);
    EXPECT_EQ(g_run.failure, GATHER_EMPTY_FOLDER);
    EXPECT_EQ(Refusal("", out()), GATHER_EMPTY_FORMAT);
    EXPECT_EQ(Refusal("screen.%d", ""), GATHER_EMPTY_OUTPUT);
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(Gather, PaddedNumbers)
{
    WriteSeries("soko%03d.txt", {"1\n", "2\n", "3\n"});
    EXPECT_EQ(Convert("soko%03d.txt", out()), "3");
    EXPECT_EQ(ReadBytes(out()), "1" NL NL "2" NL NL "3" NL NL);
}

TEST_F(Gather, AnEmptyLineFollowsEveryLevel)
{
    // Empty file: one line end. A last line without its line end is
    // completed, so the next board cannot run into it. A byte-order mark
    // that starts a file is left out, one elsewhere kept.
    WriteSeries("l%d", {"", "#####\n#@$.#\n#####", "#####\n", "open", "\xEF\xBB\xBF#\n", "\xEF\xBB\xBF", "x\xEF\xBB\xBF"});
    EXPECT_EQ(Convert("l%d", out()), "7");
    EXPECT_EQ(ReadBytes(out()), NL "#####" NL "#@$.#" NL "#####" NL NL "#####" NL NL "open" NL NL "#" NL NL NL "x\xEF\xBB\xBF" NL NL);
}

TEST_F(Gather, CopiesEveryByteOfLongLinesAndNulBytes)
{
    std::string longLine(2500, '#');
    std::string withNul("ab\0cd\n\0\0x", 9);
    WriteSeries("l%d", {longLine + "\n", withNul});
    EXPECT_EQ(Convert("l%d", out()), "2");
    std::string expectedNul("ab\0cd" NL "\0\0x" NL NL, sizeof("ab\0cd" NL "\0\0x" NL NL) - 1);
    EXPECT_EQ(ReadBytes(out()), longLine + NL NL + expectedNul);
}

TEST_F(Gather, OutputThatCannotBeCreatedIsAnError)
{
    WriteSeries("screen.%d", {"a\n", "b\n"});
    auto before = Snapshot();
    EXPECT_EQ(Refusal("screen.%d", Str("no such folder/out.xsb")), GATHER_OUTPUT_UNOPENED);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Gather, FullDiskIsAnErrorNotACount)
{
    WriteSeries("screen.%d", {"a\n", "b\n"});
#ifdef _WIN32
    const char* pszFull = "Z:\\dev\\full";
#else
    const char* pszFull = "/dev/full";
#endif
    EXPECT_EQ(Refusal("screen.%d", pszFull), GATHER_WRITE_FAILED);
}

TEST_F(Gather, BadFormatsAreRefusedBeforeAnyFileIsTouched)
{
    // The level files are there: only the refusal, for its own reason, can
    // make a row pass.
    WriteSeries("screen.%d", {"a\n", "b\n"});
    WriteBytes(At("screen"), "same name for every number\n");
    fs::create_directories(At("1"));
    WriteBytes(out(), "keep");
    auto before = Snapshot();
    const GatherFailure kUnsupported = GATHER_UNSUPPORTED_CONVERSION;
    const std::pair<const char*, GatherFailure> rows[] = {
        {"screen", GATHER_NO_CONVERSION}, {"screen.%d%d", GATHER_SEVERAL_CONVERSIONS},
        {"screen.%s", kUnsupported}, {"screen.%n", kUnsupported}, {"screen.%*d", kUnsupported},
        {"screen.%ld", kUnsupported}, {"screen.%1$d", kUnsupported}, {"screen.%", GATHER_LONE_PERCENT},
        {"screen.%0999d", kUnsupported}, {"screen.%f", kUnsupported}, {"screen.%o", kUnsupported},
        {"%d/..", GATHER_NUMBER_LOST}, {"%d/../screen.1", GATHER_NUMBER_LOST}};
    for (const auto& [pszFormat, failure] : rows) {
        EXPECT_EQ(Convert(pszFormat, out()), STATUS_ERROR) << pszFormat;
        EXPECT_EQ(g_run.failure, failure) << pszFormat;
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Gather, PercentSignsInTheFolderAreOrdinaryCharacters)
{
    dir_ /= "100% done %s%n";
    fs::create_directories(dir_);
    WriteSeries("screen.%d", {"a\n", "b\n"});
    EXPECT_EQ(Convert("screen.%d", out()), "2");
}

TEST_F(Gather, NamesThatDoNotFitAPath)
{
    // A folder so long that "%3d" fits with 3 digits and not with 4.
    fs::path base = dir_;
    dir_ /= std::string(MAX_PATH - 5 - base.string().size() - 1, 'f');
    ASSERT_EQ(dir_.string().size(), size_t{MAX_PATH - 5});
    fs::create_directories(dir_);
    for (int n = 1; n <= 999; ++n)
        WriteBytes(At(std::string(n < 10 ? 2 : n < 100 ? 1 : 0, ' ') + std::to_string(n)), "");
    // Longer than a Windows path: where the system can hold it, a level.
    std::ofstream(At("1000")) << "a long name\n";
    std::string output = (base / "out.xsb").string();
    std::string folder = dir_.string();
    EXPECT_STREQ(ConvertLevels(folder.c_str(), "%3d", output.c_str()), fs::exists(At("1000")) ? "1000" : "999")
        << g_run.failure << " at " << g_run.nLevel << ", errno " << g_run.nError;

    // A pattern or a first name longer than a path: refused, nothing written.
    fs::remove(output);
    EXPECT_EQ(Refusal("%30d", output), GATHER_PATTERN_TOO_LONG);
    EXPECT_EQ(Refusal("xx%d", output), GATHER_PATTERN_TOO_LONG);
    EXPECT_EQ(Refusal("%04d", output), GATHER_PATTERN_TOO_LONG);  // one byte over
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(Gather, OutputNamingAFileOfTheSeriesIsRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n", "d\n", "e\n"});
    WriteBytes(At("screen.9"), "after a gap\n");
    std::string sub = (dir_ / "sub").string();
    fs::create_directories(sub);
    auto before = Snapshot();
    for (const std::string& output : {Str("screen.1"), Str("screen.3"), Str("screen.5"),
                               Str("screen.6"),   // the next number: would be read while written
                               Str("screen.9"),   // after the gap
                               Str("screen.10"), Str("screen.2147483647"),
                               sub + "/../screen.2", (dir_ / "." / "screen.4").string()}) {
        EXPECT_EQ(Convert("screen.%d", output), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_EQ(Snapshot(), before);

    // Names that look alike but are not in the series are fine.
    for (const std::string& output : {Str("screen.0"), Str("screen.06"), Str("screen.6.xsb"), Str("screen.-1"),
                               Str("screen.2147483648"), Str("screen.")}) {
        EXPECT_EQ(Convert("screen.%d", output), "5") << output;
        fs::remove(output);
    }
}

TEST_F(Gather, OutputMatchingAPaddedOrHexSeriesIsRefused)
{
    WriteSeries("soko%03d.txt", {"a\n"});
    WriteSeries("lv%#x", {"a\n"});
    EXPECT_EQ(Refusal("soko%03d.txt", Str("soko002.txt")), GATHER_OUTPUT_IN_SERIES);
    EXPECT_EQ(Refusal("soko%03d.txt", Str("soko1234.txt")), GATHER_OUTPUT_IN_SERIES);
    EXPECT_EQ(Convert("soko%03d.txt", Str("soko2.txt")), "1");
    EXPECT_EQ(Refusal("lv%#x", Str("lv0xff")), GATHER_OUTPUT_IN_SERIES);
#ifdef _WIN32
    EXPECT_EQ(Refusal("lv%#x", Str("lv0xFF")), GATHER_OUTPUT_IN_SERIES);  // the same name to Windows
#else
    EXPECT_EQ(Convert("lv%#x", Str("lv0xFF")), "1");  // %x writes lower case
#endif
}

TEST_F(Gather, TextsLongerThanTheirBuffersAreRefused)
{
    WriteSeries("screen.%d", {"a\n"});
    std::string longFormat = "screen.%d" + std::string(FORMAT_CAPACITY, 'x');
    std::string longOutput = Str(std::string(MAX_PATH, 'o'));
    EXPECT_EQ(Refusal(longFormat, out()), GATHER_FORMAT_TOO_LONG);
    EXPECT_EQ(Refusal("screen.%d", longOutput), GATHER_OUTPUT_TOO_LONG);
    EXPECT_FALSE(fs::exists(out()));

    // At their limits they are taken.
    std::string format99 = "screen.%d" + std::string(FORMAT_CAPACITY - 10, 'x');
    WriteSeries(format99.c_str(), {"a\n"});
    EXPECT_EQ(Refusal(format99 + "x", out()), GATHER_FORMAT_TOO_LONG);
    std::string output259 = Str(std::string(MAX_PATH - 2 - dir_.string().size(), 'o'));
    ASSERT_EQ(output259.size(), size_t{MAX_PATH - 1});
    EXPECT_EQ(Convert(format99, out()), "1");
    EXPECT_EQ(Convert("screen.%d", output259), "1");
}

TEST_F(Gather, LookAlikesAndOtherFoldersAreNoFilesOfTheSeries)
{
    // Rows: format, output, refused natively, refused on Windows (which drops
    // trailing spaces and reads "::$DATA" as the file itself).
    WriteSeries("screen.%d", {"a\n", "b\n"});
    WriteSeries("p%10d", {"a\n", "b\n"});
    WriteSeries("q%0-3d", {"a\n", "b\n"});
    for (const char* pszFolder : {"1", "2", "other"})
        fs::create_directories(At(pszFolder));
    WriteSeries("%d/level.txt", {"a\n", "b\n"});
    const std::tuple<const char*, const char*, bool, bool> rows[] = {
        {"screen.%d", "screen_6", false, false},       {"screen.%d", "other/screen.2", false, false},
        {"p%10d", "p5", false, false},                 {"p%10d", "p         5", true, true},
        {"q%0-3d", "q5", false, true},                 {"screen.%d", "screen.3::$DATA", false, true},
        {"%d/level.txt", "1/other.txt", false, false}, {"%d/level.txt", "1/level.txt", true, true}};
    for (const auto& [pszFormat, pszOutput, fNative, fWindows] : rows) {
#ifdef _WIN32
        bool fRefused = fWindows;
#else
        bool fRefused = fNative;
#endif
        EXPECT_EQ(Convert(pszFormat, Str(pszOutput)), fRefused ? STATUS_ERROR : "2") << pszFormat << " " << pszOutput;
        GatherFailure refusal = strchr(pszOutput, ':') ? GATHER_OUTPUT_UNDECIDED : GATHER_OUTPUT_IN_SERIES;
        EXPECT_EQ(g_run.failure, fRefused ? refusal : GATHER_OK) << pszFormat << " " << pszOutput;
        if (!fRefused)
            fs::remove(Str(pszOutput));
    }
    // Beside the series' folder, one whose path is as long as its own.
    WriteBytes(At("other") / "screen.1", "a\n");
    fs::create_directories(At("alike"));
    EXPECT_STREQ(ConvertLevels(Str("other").c_str(), "screen.%d", (At("alike") / "screen.1").string().c_str()), "1");
}

TEST_F(Gather, OtherNamesOfFilesBeyondAGapAreRefused)
{
    // Levels 1, 2 and, after a gap, 9; and a series with its number in a
    // folder name, which is judged by the file name alone.
    WriteSeries("screen.%d", {"a\n", "b\n"});
    WriteBytes(At("screen.9"), "after a gap\n");
    for (const char* pszLevel : {"1", "2"}) {
        fs::create_directories(At(pszLevel));
        WriteBytes(At(pszLevel) / "level.txt", pszLevel);
    }
    fs::path other = At("elsewhere");
    fs::create_directories(other);
    fs::create_hard_link(At("screen.9"), other / "hard9.xsb");
    fs::create_hard_link(At("2") / "level.txt", other / "hard2.xsb");
    for (int n = 10; n <= 40; ++n)  // many names: the listing order cannot decide
        WriteBytes(At("screen." + std::to_string(n)), "beyond\n");
    fs::create_hard_link(At("screen.25"), other / "hard25.xsb");
    fs::create_directories(At("sub"));  // a format with a folder part: its folder holds the names
    for (const char* pszLevel : {"1", "2", "3"})
        WriteBytes(At("sub") / (std::string("screen.") + pszLevel), pszLevel);
    fs::create_hard_link(At("sub") / "screen.3", other / "hardsub3.xsb");
    WriteBytes(At("3"), "a file where the number names a folder: the series ends\n");
    auto before = Snapshot();
    const GatherFailure kUndecided = GATHER_OUTPUT_UNDECIDED;
    const std::tuple<const char*, fs::path, GatherFailure> rows[] = {
        {"screen.%d", other / "hard9.xsb", GATHER_OUTPUT_IN_SERIES},
        {"screen.%d", other / "hard25.xsb", GATHER_OUTPUT_IN_SERIES},
        {"%d/level.txt", other / "hard2.xsb", GATHER_OUTPUT_IN_SERIES},
        {"sub/screen.%d", other / "hardsub3.xsb", GATHER_OUTPUT_IN_SERIES},
        {"%d/level.txt", other / "level.txt", kUndecided}, {"%d/level.txt", other / "LEVEL.TXT", kUndecided}};
    for (const auto& [pszFormat, output, failure] : rows) {
#ifndef _WIN32
        if (output.filename() == "LEVEL.TXT")
            continue;  // another name where case counts
#endif
        EXPECT_EQ(Convert(pszFormat, output.string()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, failure) << output;
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(ReadBytes(At("2") / "level.txt"), "2");
    EXPECT_EQ(ReadBytes(At("sub") / "screen.3"), "3");
    EXPECT_FALSE(fs::exists(other / "level.txt"));

    // Any other output gathers, also when it exists from the last run.
    EXPECT_EQ(Convert("%d/level.txt", out()), "2");
    EXPECT_EQ(Convert("%d/level.txt", out()), "2");
    EXPECT_EQ(Convert("screen.%d", (other / "set.xsb").string()), "2");
    EXPECT_EQ(Convert("screen.%d", (other / "set.xsb").string()), "2");
}

}  // namespace
