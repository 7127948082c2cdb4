// What only the Windows runtime does: text-mode translation, case-blind and
// dot-trimming names.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "gather.h"
#include "platform.h"
#include "test_folder.h"
#include "wine_unix.h"

namespace {

// Text in the process code page, as the program gets it from its fields.
std::string Acp(const std::wstring& text)
{
    char sz[MAX_PATH * 2];
    int cb = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, sz, sizeof(sz), NULL, NULL);
    return cb > 0 ? sz : "";
}

// A symbolic link to an existing file or folder, the link a Unix path. Wine
// makes none itself; the system's own ln does.
bool UnixLink(const fs::path& target, const std::string& link)
{
    return RunUnix("Z:\\bin\\ln -sfn \"" + UnixName(target) + "\" \"" + link + "\"", link, true);
}

bool Link(const fs::path& target, const fs::path& link)
{
    if (UnixName(link).empty())
        return CreateSymbolicLinkA(link.string().c_str(), target.string().c_str(),
                                   fs::is_directory(target) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    return UnixLink(target, UnixName(link));
}

class GatherWindows : public TempFolderTest {
protected:
    std::string Convert(const std::string& output)
    {
        return ConvertLevels(dir_.string().c_str(), "screen.%d", output.c_str());
    }
};

TEST_F(GatherWindows, TextModeTranslatesLineEnds)
{
    WriteSeries("screen.%d", {"lf\nlf\n", "crlf\r\ncrlf\r\n", "lone\rcr\n", "mixed\r\n\n", "open\r\nrow"});
    EXPECT_EQ(Convert(Str("out.xsb")), "5");
    EXPECT_EQ(ReadBytes(At("out.xsb")), "lf\r\nlf\r\n\r\n" "crlf\r\ncrlf\r\n\r\n" "lone\rcr\r\n\r\n"
                                        "mixed\r\n\r\n\r\n" "open\r\nrow\r\n\r\n");
}

TEST_F(GatherWindows, CtrlZEndsALevelFile)
{
    // What was left out is recorded; a DOS file's last Ctrl+Z leaves out nothing.
    WriteSeries("screen.%d", {"kept\n\x1a" "dropped\n", "open\x1a" "dropped\n", "next\n", "dos\r\n\x1a"});
    EXPECT_EQ(Convert(Str("out.xsb")), "4");
    EXPECT_EQ(ReadBytes(At("out.xsb")), "kept\r\n\r\nopen\r\n\r\nnext\r\n\r\ndos\r\n\r\n");
    EXPECT_EQ(g_run.cCutAtCtrlZ, 2);
    EXPECT_EQ(g_run.nFirstCut, 1);
    EXPECT_EQ(g_run.cbFirstCut, 7U);  // "dropped\n", its line end taken for a CR LF
}

TEST_F(GatherWindows, OtherSpellingsOfALevelFileAreRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    for (const std::string& output :
         {Str("SCREEN.2"), Str("Screen.4"), Str("screen.3."), Str("screen.4 "), dir_.string() + "/screen.1",
          dir_.string() + "\\.\\screen.2", Str("screen.3::$DATA"), "\\\\?\\" + Str("screen.2"),
          "\\\\.\\" + Str("screen.2"), "\\??\\" + Str("screen.2"), "\"" + Str("screen.2") + "\""}) {
        EXPECT_EQ(Convert(output), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, output.find("::") != std::string::npos ? GATHER_OUTPUT_UNDECIDED
                                                                             : GATHER_OUTPUT_IN_SERIES) << output;
    }
    // Names Windows holds equal or apart: letters beyond ASCII in another case
    // (where the code page has both), spaces before an extension.
    WriteSeries("soko%-3d.txt", {"a\n", "b\n"});
    std::vector<std::tuple<std::string, std::string, const char*>> rows = {
        {"soko%-3d.txt", "soko2  .txt", STATUS_ERROR}, {"soko%-3d.txt", "soko2.txt", "2"}};
    if (Acp(L"\u00c9") == "\xC9") {
        for (const wchar_t* pszLevel : {L"\u00e9cran.1", L"\u00e9cran.2"})
            WriteBytes(dir_ / pszLevel, "e\n");
        rows.emplace_back(Acp(L"\u00e9cran.%d"), Acp(L"\u00c9CRAN.2"), STATUS_ERROR);
    }
    std::string folder = Acp(dir_.wstring());  // a path's string() is UTF-8 here
    for (const auto& [format, output, pszResult] : rows) {
        std::string path = folder + '\\';
        path += output;
        EXPECT_STREQ(ConvertLevels(folder.c_str(), format.c_str(), path.c_str()), pszResult) << output;
        EXPECT_EQ(g_run.failure, strcmp(pszResult, "2") != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK) << output;
    }
    EXPECT_EQ(ReadBytes(At("soko2  .txt")), "b\n");
    // Trailing spaces of a name are dropped: "screen.%-3d" names screen.2 too.
    EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), "screen.%-3d", Str("screen.2").c_str()), STATUS_ERROR);
    EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES);
    EXPECT_EQ(ReadBytes(At("screen.1")), "a\n");
    EXPECT_EQ(ReadBytes(At("screen.2")), "b\n");
    EXPECT_EQ(ReadBytes(At("screen.3")), "c\n");
    EXPECT_FALSE(fs::exists(At("screen.4")));
}

TEST_F(GatherWindows, SeriesAtADriveRootAndAFolderThatIsAFile)
{
    // A drive letter of the test's own folder, as the folder chooser gives a
    // drive root: "Q:", joined with one backslash.
    WriteSeries("screen.%d", {"a\n", "b\n"});
    std::string drives = DrivesFolder();
    if (drives.empty())
        ASSERT_TRUE(DefineDosDeviceA(0, "Q:", dir_.string().c_str()));
    else
        ASSERT_TRUE(UnixLink(dir_, drives + "/q:"));
    const std::tuple<std::string, std::string, const char*, GatherFailure> rows[] = {
        {"Q:", "Q:\\screen.2", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
        {"Q:", "Q:\\SCREEN.3", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
        {"Q:", Str("screen.1"), STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
        {dir_.string(), "Q:\\screen.1", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
        {"Q:", "Q:\\out.xsb", "2", GATHER_OK},
        {Str("screen.1"), Str("o.xsb"), STATUS_ERROR, GATHER_LEVEL_UNOPENED}};
    for (const auto& [folder, output, pszResult, failure] : rows) {
        EXPECT_STREQ(ConvertLevels(folder.c_str(), "screen.%d", output.c_str()), pszResult) << output;
        EXPECT_EQ(g_run.failure, failure) << output;
    }
    if (drives.empty())
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, "Q:", NULL);
    else
        EXPECT_TRUE(RunUnix("Z:\\bin\\rm \"" + drives + "/q:\"", drives + "/q:", false));
    EXPECT_EQ(ReadBytes(At("screen.2")), "b\n");
    EXPECT_EQ(ReadBytes(At("out.xsb")), "a\r\n\r\nb\r\n\r\n");
    EXPECT_FALSE(fs::exists(At("screen.3")) || fs::exists(At("o.xsb")));
}

TEST_F(GatherWindows, OtherNamesOfFilesBeyondAGapAreRefused)
{
    WriteSeries("soko_level_%d.txt", {"a\n", "b\n"});
    WriteBytes(At("soko_level_9.txt"), "after a gap\n");
    char szShort[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(Str("soko_level_9.txt").c_str(), szShort, sizeof(szShort)), 0u);
    ASSERT_STRNE(FileNamePart(szShort), "soko_level_9.txt");
    fs::create_directories(At("sub"));
    ASSERT_TRUE(Link(dir_, At("sub") / "alias"));
    std::string alias = (At("sub") / "alias").string();
    for (const std::string& output : {std::string(szShort), alias + "\\soko_level_9.txt", alias + "\\SOKO_LEVEL_7.TXT"}) {
        EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), "soko_level_%d.txt", output.c_str()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_EQ(ReadBytes(At("soko_level_9.txt")), "after a gap\n");
    EXPECT_FALSE(fs::exists(At("soko_level_7.txt")));
    EXPECT_TRUE(UnixName(alias).empty() || RunUnix("Z:\\bin\\rm \"" + UnixName(alias) + "\"", UnixName(alias), false));
}

// The narrow calls take no path past 259 characters, \\?\ or not, so the
// guard cannot look at a level or a folder by its literal spelling, four
// characters longer, where the run still opens it.
TEST_F(GatherWindows, NamesTooLongForTheGuardToLookAtAreRefused)
{
    std::string top = dir_.string();
    std::string deep = top + "\\" + std::string(246 - top.size() - 1, 'q');
    for (const char* pszLeaf : {"1\\level.txt", "2\\level.txt", "3\\level.txt", "lv\\1", "lv\\2", "lv\\5"}) {
        fs::create_directories(fs::path(deep + "\\" + pszLeaf).parent_path());
        WriteBytes(deep + "\\" + pszLeaf, pszLeaf);
    }
    ASSERT_TRUE(CreateHardLinkA((top + "\\hard.xsb").c_str(), (deep + "\\3\\level.txt").c_str(), NULL));
    std::string link = UnixName(deep + "\\lwwwwwwwww");  // 261 characters spelled literally
    ASSERT_TRUE(UnixLink(deep + "\\lv", link));
    const std::tuple<std::string, const char*, std::string> rows[] = {
        {deep, "%d\\level.txt", top + "\\hard.xsb"}, {deep + "\\lv", "%d", deep + "\\lwwwwwwwww\\7"}};
    for (const auto& [folder, pszFormat, output] : rows) {
        EXPECT_STREQ(ConvertLevels(folder.c_str(), pszFormat, output.c_str()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_UNDECIDED) << output;
    }
    EXPECT_EQ(ReadBytes(deep + "\\3\\level.txt"), "3\\level.txt");
    EXPECT_FALSE(fs::exists(deep + "\\lv\\7"));
    EXPECT_TRUE(RunUnix("Z:\\bin\\rm \"" + link + "\"", link, false));  // Wine removes no link to nothing
    // Level names the runtime opens, but no narrow call takes: one held open
    // by another program is no end of the series.
    std::string name(99, '0');
    std::string level = deep + "\\" + name;
    for (const char* pszNumber : {"1", "2"})
        WriteBytes(level + pszNumber, pszNumber);
    fs::path cwd = fs::current_path();
    fs::current_path(deep);
    HANDLE hLocked = CreateFileA((name + "2").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    fs::current_path(cwd);
    ASSERT_NE(hLocked, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(ConvertLevels(deep.c_str(), "%.100d", (top + "\\o.xsb").c_str()), STATUS_ERROR);
    EXPECT_EQ(g_run.failure, GATHER_LEVEL_UNOPENED);
    CloseHandle(hLocked);
}

TEST_F(GatherWindows, OnlyAMissingFileOrAFolderEndsTheSeries)
{
    // Level 2 a folder, held open without sharing, or a link to the output.
    std::string big(size_t{100} * 1024, '#');
    const std::tuple<const char*, const char*, GatherFailure> rows[] = {
        {"folder", "1", GATHER_OK}, {"locked", STATUS_ERROR, GATHER_LEVEL_UNOPENED},
        {"link", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES}};
    for (const auto& [pszLevel2, pszResult, failure] : rows) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteSeries("screen.%d", {big + "\n"});
        WriteBytes(At("screen.3"), "c\n");
        HANDLE hLocked = INVALID_HANDLE_VALUE;
        if (std::string(pszLevel2) == "folder") {
            fs::create_directory(At("screen.2"));
        } else if (std::string(pszLevel2) == "locked") {
            WriteBytes(At("screen.2"), "b\n");
            hLocked = CreateFileA(Str("screen.2").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
            ASSERT_NE(hLocked, INVALID_HANDLE_VALUE);
        } else {
            WriteBytes(At("out.xsb"), "");
            ASSERT_TRUE(Link(At("out.xsb"), At("screen.2")));
            fs::remove(At("out.xsb"));  // the output is created by the run
        }
        EXPECT_EQ(Convert(Str("out.xsb")), pszResult) << pszLevel2;
        EXPECT_EQ(g_run.failure, failure) << pszLevel2;
        EXPECT_EQ(ReadBytes(At("out.xsb")), big + "\r\n\r\n") << pszLevel2;
        if (hLocked != INVALID_HANDLE_VALUE)
            CloseHandle(hLocked);
    }
    std::string link = UnixName(At("screen.2"));  // removed while it leads somewhere: Wine lists no link to nothing
    EXPECT_TRUE(link.empty() ? fs::remove(At("screen.2")) : RunUnix("Z:\\bin\\rm \"" + link + "\"", link, false));
}

TEST_F(GatherWindows, DeviceNamesAreNoLevelFiles)
{
    for (const char* pszFormat : {"NUL.%d", "COM%d", "LPT%d"})
        EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), pszFormat, Str("out.xsb").c_str()), STATUS_ERROR) << pszFormat;
    // A device as the output gathers, or fails for what it is: never a level file.
    WriteSeries("screen.%d", {"a\n", "b\n"});
    for (const char* pszOutput : {"NUL", "nul.txt", "CON", "CON.xsb", "CONOUT$"}) {
        bool fGathered = strcmp(Convert(pszOutput).c_str(), "2") == 0;
        EXPECT_TRUE(fGathered || g_run.failure == GATHER_OUTPUT_UNOPENED) << pszOutput << " " << g_run.failure;
    }
}

// The system makes a relative path full in its own characters; the code page
// then writes a working folder named in Thai with a "?", one named ā as the
// look-alike "a" beside it.
TEST_F(GatherWindows, RelativePathsFromAWorkingFolderTheCodePageCannotSpell)
{
    const wchar_t* rgpszHere[] = {L"\u0e01", L"\u0101", L"plain"};
    std::string top = Acp(dir_.wstring());
    fs::create_directories(dir_ / "a" / "lv");
    for (int i = 0; i < 3; ++i) {
        fs::create_directories(dir_ / rgpszHere[i] / "lv");
        for (const char* pszLeaf : {"screen.1", "screen.2", "screen.5"})
            WriteBytes(dir_ / rgpszHere[i] / "lv" / pszLeaf, pszLeaf);
        if (i < 2)
            fs::create_hard_link(dir_ / rgpszHere[i] / "lv" / "screen.5", dir_ / ("hard" + std::to_string(i) + ".xsb"));
    }
    std::string drive = top.substr(0, 2);
    // The working folder, the folder and output typed, the result.
    const std::tuple<int, std::string, std::string, const char*, GatherFailure> rows[] = {
        {0, "lv", top + "\\hard0.xsb", STATUS_ERROR, GATHER_WORKING_FOLDER_UNSPELLED},
        {1, "lv", top + "\\hard1.xsb", STATUS_ERROR, GATHER_WORKING_FOLDER_UNSPELLED},
        {1, top + "\\a\\lv", "out.xsb", STATUS_ERROR, GATHER_WORKING_FOLDER_UNSPELLED},
        {1, drive + "lv", top + "\\out.xsb", STATUS_ERROR, GATHER_WORKING_FOLDER_UNSPELLED},
        {2, drive + "lv", "out.xsb", "2", GATHER_OK}};
    fs::path cwd = fs::current_path();
    for (const auto& [iHere, folder, output, pszResult, failure] : rows) {
        fs::current_path(dir_ / rgpszHere[iHere]);
        EXPECT_STREQ(ConvertLevels(folder.c_str(), "screen.%d", output.c_str()), pszResult) << iHere << folder << output;
        EXPECT_EQ(g_run.failure, failure) << iHere << " " << folder << " " << output;
    }
    fs::current_path(cwd);
    for (const wchar_t* pszHere : rgpszHere)
        EXPECT_EQ(ReadBytes(dir_ / pszHere / "lv" / "screen.5"), "screen.5");
    EXPECT_FALSE(fs::exists(dir_ / "a" / "out.xsb"));
    EXPECT_FALSE(fs::exists(dir_ / "out.xsb"));
}

// Runs in gather_tests_ja, where BRENVIK_EXPECT_ACP makes sure of the code page.
TEST_F(GatherWindows, JapaneseNamesAreWholeCharactersWithUnicodeCase)
{
    if (const char* pszAcp = std::getenv("BRENVIK_EXPECT_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::strtoul(pszAcp, nullptr, 10)));
    }
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932";
    // The second bytes of 表 and ソ have the value of a backslash.
    dir_ /= L"表ソ";
    fs::create_directories(dir_);
    for (const wchar_t* pszLevel : {L"1", L"2", L"9"})
        WriteBytes(dir_ / (std::wstring(L"ｓｃア") + pszLevel + L".txt"), "level\n");
    std::string folder = Acp(dir_.wstring());
    const std::pair<const wchar_t*, const char*> rows[] = {
        {L"ｓｃヂ1.txt", "2"},          // ヂ is ア with 0x20 added to its second byte
        {L"ＳＣア9.txt", STATUS_ERROR},  // fullwidth letters in the other case, beyond the gap
        {L"ｓｃア3.txt", STATUS_ERROR}};
    for (const auto& [pszOutput, pszResult] : rows)
        EXPECT_STREQ(ConvertLevels(folder.c_str(), Acp(L"ｓｃア%d.txt").c_str(), (folder + "\\" + Acp(pszOutput)).c_str()),
                     pszResult);
    EXPECT_EQ(ReadBytes(dir_ / L"ｓｃア9.txt"), "level\n");
    EXPECT_FALSE(fs::exists(dir_ / L"ｓｃア3.txt"));
    EXPECT_EQ(FileNamePart(Acp(L"C:\\out\\a.表").c_str()), Acp(L"a.表"));  // keeps its extension
}

}  // namespace

// Folders named as Windows rewrites a path's last part (trailing dots and
// spaces dropped, device names), beside a look-alike that has no such name.
// Wine makes them only by their Unix names; the level files' paths, with the
// folder in their middle, reach them.
TEST_F(GatherWindows, FoldersWhoseNamesWindowsRewritesAtAPathsEnd)
{
    const char* rgszFolders[] = {"lv ", "lv. ", "lv . ", "CON", "NUL.d", "COM1", "aux", "lpt1", "sub "};
    std::string unix = UnixName(dir_);
    std::vector<std::string> folders = {"lv", "only", "lv."};
    folders.insert(folders.end(), std::begin(rgszFolders), std::end(rgszFolders));
    ASSERT_TRUE(MakeUnixFolders(dir_, folders));
    std::string drives = DrivesFolder();
    std::string top = dir_.string() + "\\";
    for (const char* pszLeaf : {"screen.1", "screen.2", "screen.3", "screen.7"})
        WriteBytes(top + "only\\" + pszLeaf, "only\n");
    for (const std::string name : rgszFolders) {
        // The series in "name", or in the format's folder part (sub \screen.%d).
        bool fPart = name == "sub ";
        std::string folder = top + name;
        std::string base = fPart ? dir_.string() : folder;
        std::string format = fPart ? name + "\\screen.%d" : "screen.%d";
        for (const char* pszLeaf : {"screen.1", "screen.2", "screen.3", "screen.7"})
            WriteBytes(folder + "\\" + pszLeaf, name + pszLeaf + "\n");
        WriteBytes(top + "lv\\screen.1", "lv\n");
        ASSERT_TRUE(CreateHardLinkA((top + "hard.xsb").c_str(), (folder + "\\screen.7").c_str(), NULL)) << name;
        // The folder's short name, as listed (GetShortPathName loops on such paths under Wine).
        WIN32_FIND_DATAA found;
        HANDLE hFind = FindFirstFileA((top + "*").c_str(), &found);
        ASSERT_NE(hFind, INVALID_HANDLE_VALUE);
        while (name != found.cFileName && FindNextFileA(hFind, &found)) {
        }
        FindClose(hFind);
        ASSERT_EQ(name, found.cFileName);
        std::string shortName = top + (found.cAlternateFileName[0] != '\0' ? found.cAlternateFileName : name.c_str());
        std::string inQ = fPart ? "Q:\\" + name : "Q:";
        std::string link = "Z:\\bin\\ln -sfn \"";
        link.append(unix).append(fPart ? "" : "/" + name).append("\" \"").append(drives).append("/q:\"");
        // Gone first: the link of the name before would end the wait at once.
        ASSERT_TRUE(RunUnix("Z:\\bin\\rm -f \"" + drives + "/q:\"", drives + "/q:", false));
        ASSERT_TRUE(RunUnix(link, drives + "/q:", true));
        const std::tuple<std::string, std::string, std::string, const char*, GatherFailure> rows[] = {
            {base, format, top + "hard.xsb", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},  // beyond a gap
            {base, format, "\\\\?\\" + folder + "\\screen.3", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {base, format, "\\\\.\\" + folder + "\\screen.3", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {"\\??\\" + base, format, folder + "\\screen.5", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},  // literal too
            {base, format, "\\??\\" + folder + "\\screen.5", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {base, format, shortName + "\\screen.3", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {base, format, inQ + "\\screen.7", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {"Q:", format, top + "hard.xsb", STATUS_ERROR, GATHER_OUTPUT_IN_SERIES},
            {top + "lv", "screen.%d", folder + "\\screen.5", "1", GATHER_OK},  // only looks like the series' folder
            {top + "only ", "screen.%d", top + "only\\screen.3", STATUS_ERROR, GATHER_LEVEL_UNOPENED},
            {base, format, top + "out.xsb", "3", GATHER_OK}};
        for (const auto& [series, rowFormat, output, pszResult, failure] : rows) {
            EXPECT_STREQ(ConvertLevels(series.c_str(), rowFormat.c_str(), output.c_str()), pszResult) << "[" << name << "] " << output;
            EXPECT_EQ(g_run.failure, failure) << "[" << name << "] " << output;
        }
        for (const char* pszLeaf : {"screen.3", "screen.7"})
            EXPECT_EQ(ReadBytes(folder + "\\" + pszLeaf), name + pszLeaf + "\n") << name;
        EXPECT_EQ(ReadBytes(top + "only\\screen.3"), "only\n");
        std::string gathered;
        for (const char* pszLeaf : {"screen.1", "screen.2", "screen.3"})
            gathered += name + pszLeaf + "\r\n\r\n";
        EXPECT_EQ(ReadBytes(top + "out.xsb"), gathered);
        ASSERT_TRUE(DeleteFileA((top + "hard.xsb").c_str()) && DeleteFileA((folder + "\\screen.5").c_str()));
    }
    // Typed literally, a folder "lv." is that folder, which "lv..\" also
    // reaches: the full-path rule drops one dot from a part in the middle.
    std::string literal = "\\\\?\\" + top + "lv.";
    for (const char* pszLeaf : {"screen.1", "screen.2", "screen.3", "screen.7"})
        WriteBytes(literal + "\\" + pszLeaf, pszLeaf);
    ASSERT_TRUE(CreateHardLinkA((top + "hard.xsb").c_str(), (literal + "\\screen.7").c_str(), NULL));
    for (const std::string& output : {top + "hard.xsb", top + "lv..\\screen.3", top + "lv..\\screen.5"}) {
        EXPECT_STREQ(ConvertLevels(literal.c_str(), "screen.%d", output.c_str()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_EQ(ReadBytes(literal + "\\screen.7"), "screen.7");
    EXPECT_FALSE(fs::exists(literal + "\\screen.5"));
    EXPECT_TRUE(RunUnix("Z:\\bin\\rm -rf \"" + drives + "/q:\" \"" + unix + "\"", unix, false));
}
