// Random folder shapes in Windows' spellings: a series in a folder whose
// name Windows rewrites at a path's end, hard links and other-case names
// beside it, and the series and the output spelled plainly, literally
// (\\?\), as a device path (\\.\), by the folder's short name or through a
// drive letter mapped onto a folder. Whatever the shape, no level file
// changes, and a count k means the output holds levels 1 to k and is no
// level file. BRENVIK_SHAPES=N tries N seeds (60 by default: Wine is slow),
// BRENVIK_SHAPES_SEED=S replays one.
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gather.h"
#include "test_folder.h"
#include "wine_unix.h"

namespace {

const char* const kFolders[] = {"lv ", "lv. ", "lv", "CON", "aux.d", "o"};

unsigned long long IndexOf(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), 0, 7, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    BY_HANDLE_FILE_INFORMATION info = {};
    bool fOk = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & 0x10) == 0;
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return fOk ? (static_cast<unsigned long long>(info.nFileIndexHigh) << 32 | info.nFileIndexLow) : 0;
}

// Every file of the shape by its literal path, with its bytes.
std::map<std::string, std::string> Files(const std::string& top)
{
    std::map<std::string, std::string> files;
    for (const char* pszFolder : kFolders) {
        WIN32_FIND_DATAA found;
        std::string folder = top + pszFolder + "\\";
        HANDLE hFind = FindFirstFileA((folder + "*").c_str(), &found);
        for (bool fMore = hFind != INVALID_HANDLE_VALUE; fMore; fMore = FindNextFileA(hFind, &found))
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                files[folder + found.cFileName] = ReadBytes(folder + found.cFileName);
        if (hFind != INVALID_HANDLE_VALUE)
            FindClose(hFind);
    }
    return files;
}

class FolderShapesWindows : public TempFolderTest {};

TEST_F(FolderShapesWindows, NoSpellingLosesALevelOrPassesOffAWrongCollection)
{
    std::string unix = UnixName(dir_);
    ASSERT_TRUE(MakeUnixFolders(dir_, {std::begin(kFolders), std::end(kFolders)})) << "needs Wine";
    std::string drives = DrivesFolder();
    std::string top = "\\\\?\\" + dir_.string() + "\\";
    const char* pszSeed = std::getenv("BRENVIK_SHAPES_SEED");
    const char* pszCount = std::getenv("BRENVIK_SHAPES");
    unsigned uFirst = pszSeed ? static_cast<unsigned>(std::strtoul(pszSeed, nullptr, 10)) : 1;
    unsigned cSeeds = pszSeed ? 1 : pszCount ? static_cast<unsigned>(std::strtoul(pszCount, nullptr, 10)) : 60;
    int cRefused = 0;
    int cNeedless = 0;
    for (unsigned uSeed = uFirst; uSeed < uFirst + cSeeds; ++uSeed) {
        std::mt19937 rng(uSeed);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        for (const auto& [path, bytes] : Files(top))
            DeleteFileA(path.c_str());
        std::string series = kFolders[pick(5)];
        std::string other = kFolders[pick(6)];
        for (const char* pszLevel : {"1", "2", "3", "9"})
            WriteBytes(top + series + "\\screen." + pszLevel, series + pszLevel + "\n");
        std::ostringstream story;
        story << "series in '" << series << "'; ";
        const char* rgszLeaves[] = {"screen.2", "SCREEN.3", "screen.9", "screen.4", "screen.9.", "screen.1 ", "h.xsb"};
        for (int cOps = 1 + pick(3); cOps > 0; --cOps) {
            std::string at = top + other + "\\" + rgszLeaves[2 + pick(5)];
            std::string level = top + series + "\\screen." + "1239"[pick(4)];
            bool fLink = pick(2) == 0;
            if (fLink ? CreateHardLinkA(at.c_str(), level.c_str(), NULL) != 0 : (WriteBytes(at, "other\n"), true))
                story << at.substr(top.size()) << (fLink ? " = " + level.substr(top.size()) : " made") << "; ";
        }
        // Q: onto a folder of the shape, for the output or the series.
        std::string mapped = kFolders[pick(6)];
        std::ostringstream command;
        command << "ln -sfn '" << unix << "/" << mapped << "' '" << drives << "/q:' && touch '" << unix << "/o/q'";
        ASSERT_TRUE(RunUnix("Z:\\bin\\sh -c \"" + command.str() + "\"", unix + "/o/q", true));
        DeleteFileA((top + "o\\q").c_str());
        auto spell = [&](const std::string& folder) {
            WIN32_FIND_DATAA found;
            HANDLE hFind = FindFirstFileA((top + folder).c_str(), &found);
            std::string shortName = hFind != INVALID_HANDLE_VALUE && found.cAlternateFileName[0] ? found.cAlternateFileName : folder;
            if (hFind != INVALID_HANDLE_VALUE)
                FindClose(hFind);
            switch (pick(5)) {
            case 0: return top + folder;
            case 1: return "\\\\.\\" + top.substr(4) + folder;
            case 2: return top.substr(4) + shortName;
            case 3: return folder == mapped ? std::string("Q:") : top + folder;
            default: return top.substr(4) + folder;  // as typed: Windows' rules apply
            }
        };
        std::string folderTyped = spell(series);
        std::string output = spell(pick(2) ? series : kFolders[pick(6)]) + "\\" + rgszLeaves[pick(7)];
        story << "Q: onto '" << mapped << "'";
        // The levels as the gathering opens them, and every file before.
        auto before = Files(top);
        std::map<unsigned long long, bool> levels;
        std::string expected;
        for (int n = 1; n <= 12; ++n) {
            std::string level = folderTyped + "\\screen." + std::to_string(n);
            if (IndexOf(level) == 0)
                break;
            levels[IndexOf(level)] = true;
            expected += ReadBytes(level).replace(ReadBytes(level).size() - 1, 1, "\r\n") + "\r\n";  // "...\n" as text
        }
        for (const char* pszBeyond : {"\\screen.9", "\\screen.4"})
            if (IndexOf(folderTyped + pszBeyond) != 0)
                levels[IndexOf(folderTyped + pszBeyond)] = true;
        bool fOutputFile = IndexOf(output) != 0;
        bool fOutputLevel = levels.count(IndexOf(output)) != 0;
        std::string result = ConvertLevels(folderTyped.c_str(), "screen.%d", output.c_str());
        std::string problems;
        for (const auto& [path, bytes] : before)
            if (levels.count(IndexOf(path)) != 0 && ReadBytes(path) != bytes)
                problems += "level file changed: " + path + "\n";
        if (result != STATUS_ERROR && (fOutputLevel || ReadBytes(output) != expected))
            problems += "a count with an output that is not levels 1 to that count\n";
        if (result == STATUS_ERROR && (g_run.failure == GATHER_OUTPUT_IN_SERIES || g_run.failure == GATHER_OUTPUT_UNDECIDED)) {
            ++cRefused;
            cNeedless += fOutputFile && !fOutputLevel;
        }
        ASSERT_TRUE(problems.empty()) << "seed " << uSeed << " (replay: BRENVIK_SHAPES_SEED=" << uSeed << ")\nshape: "
                                      << story.str() << "\nseries " << folderTyped << ", output " << output << ": "
                                      << result << " (failure " << g_run.failure << ")\n" << problems;
    }
    EXPECT_TRUE(RunUnix("Z:\\bin\\rm -rf \"" + drives + "/q:\" \"" + unix + "\"", unix, false));
    std::printf("%u shapes: %d outputs refused, %d of them existing files that were no level file\n", cSeeds, cRefused,
                cNeedless);
}

}  // namespace
