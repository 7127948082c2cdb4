// Random folder shapes, each with the series and the output spelled through
// them at random. Whatever the shape, no level file changes, and a count k
// means the output holds levels 1 to k and is no level file. Environment:
// BRENVIK_SHAPES=N tries N seeds (300 by default, a second or two),
// BRENVIK_SHAPES_SEED=S replays one; a failure prints how its case was made.
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gather.h"
#include "test_folder.h"

namespace {

struct Shape {
    std::mt19937 rng;
    std::ostringstream story;
    std::vector<fs::path> folders, names, mounts;
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    template <class T> const T& Any(const std::vector<T>& items) { return items[Pick(static_cast<int>(items.size()))]; }
    std::string Leaf()
    {
        const char* rgpsz[] = {"screen.1", "screen.2", "screen.4", "screen.9", "SCREEN.2", ".screen.1", ".h", "x", "out.xsb"};
        return rgpsz[Pick(9)];
    }
};

// Levels 1 to 3 and 9 beyond a gap, then links, hard links and names made at random.
void MakeShape(Shape* p, const fs::path& root, bool fMount)
{
    fs::path s = root / "s";
    p->folders = {root, s, root / "o", s / "sub", root / "o" / "deep"};
    for (const fs::path& folder : p->folders)
        fs::create_directories(folder);
    for (const char* pszLevel : {"1", "2", "3", "9"})
        WriteBytes(s / (std::string("screen.") + pszLevel), std::string("level ") + pszLevel + "\n");
    if (fMount && p->Pick(2) == 0 && mount(s.c_str(), (root / "o" / "deep").c_str(), nullptr, MS_BIND, nullptr) == 0) {
        p->mounts.push_back(root / "o" / "deep");
        p->story << "bind mount o/deep of s; ";
    }
    for (int cOps = 4 + p->Pick(8); cOps > 0; --cOps) {
        fs::path at = p->Any(p->folders) / p->Leaf();
        fs::path target;
        std::error_code ec;
        switch (p->Pick(5)) {
        case 0: target = p->Any(p->folders) / p->Leaf(); break;            // a file, or nothing
        case 1: target = p->Pick(2) ? p->Any(p->folders) : fs::path(".."); break;  // a folder, a parent
        case 2: target = at; break;                                          // itself: a loop
        case 3: fs::create_hard_link(p->Any(p->folders) / p->Leaf(), at, ec); break;
        default:
            if (!fs::exists(fs::symlink_status(at)))  // never written through a link
                std::ofstream(at) << "other\n";
            break;
        }
        if (!target.empty()) {
            if (p->Pick(2))
                target = target.lexically_relative(at.parent_path());
            fs::create_symlink(target, at, ec);
        }
        p->story << at.lexically_relative(root).string() << (target.empty() ? "" : " -> " + target.string()) << "; ";
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::error_code ec;
        (entry.is_symlink() && entry.is_directory(ec) ? p->folders : p->names).push_back(entry.path());
    }
}

// A name in some folder of the shape, reached with "." and ".." on the way.
fs::path Spell(Shape* p)
{
    fs::path path = p->Any(p->folders);
    for (int cSteps = p->Pick(3); cSteps > 0; --cSteps)
        path /= p->Pick(2) ? "." : "..";
    return path / (p->Pick(2) ? p->Leaf() : p->Any(p->names).filename().string());
}

class FolderShapes : public TempFolderTest {};

TEST_F(FolderShapes, NoShapeLosesALevelOrPassesOffAWrongCollection)
{
    const char* pszSeed = std::getenv("BRENVIK_SHAPES_SEED");
    const char* pszCount = std::getenv("BRENVIK_SHAPES");
    unsigned uFirst = pszSeed ? static_cast<unsigned>(std::strtoul(pszSeed, nullptr, 10)) : 1;
    unsigned cSeeds = pszSeed ? 1 : pszCount ? static_cast<unsigned>(std::strtoul(pszCount, nullptr, 10)) : 300;
    bool fMount = true;
    int cNeedless = 0;
    int cRefused = 0;
    for (unsigned uSeed = uFirst; uSeed < uFirst + cSeeds; ++uSeed) {
        Shape shape{std::mt19937(uSeed), {}, {}, {}, {}};
        // Two spare folders above: a relative link reached through the mount
        // may climb higher than where it was made.
        fs::path root = dir_ / std::to_string(uSeed) / "a" / "b";
        MakeShape(&shape, root, fMount);
        fMount = fMount && (shape.mounts.empty() ? geteuid() == 0 : true);
        fs::path s = root / "s";
        std::vector<fs::path> seriesSpellings = {s, s / "sub" / "..", s / ".", root / "o" / ".." / "s"};
        seriesSpellings.insert(seriesSpellings.end(), shape.mounts.begin(), shape.mounts.end());
        fs::path folder = shape.Any(seriesSpellings);
        fs::path output = shape.Pick(3) ? Spell(&shape) : shape.Any(shape.names);
        // Each level file by identity, with a path to it and its content: as
        // the gathering sees it through the folder typed, and through s,
        // where a relative link may lead elsewhere.
        std::map<std::pair<dev_t, ino_t>, std::pair<fs::path, std::string>> levels;
        std::string expected;
        for (const fs::path& seen : {s, folder}) {
            bool fGap = false;
            expected.clear();
            for (int n = 1; n <= 12; ++n) {
                struct stat st;
                fs::path level = seen / ("screen." + std::to_string(n));
                if (stat(level.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                    fGap = true;
                    continue;
                }
                levels[{st.st_dev, st.st_ino}] = {level, ReadBytes(level)};
                if (!fGap)
                    expected += ReadBytes(level) + "\n";  // every file of a shape ends its line
            }
        }
        struct stat stOut;
        bool fOutputFile = stat(output.c_str(), &stOut) == 0 && S_ISREG(stOut.st_mode);
        bool fOutputLevel = fOutputFile && levels.count({stOut.st_dev, stOut.st_ino}) != 0;
        std::string result = ConvertLevels(folder.c_str(), "screen.%d", output.c_str());
        std::string problems;
        for (const auto& [id, level] : levels)
            if (ReadBytes(level.first) != level.second)
                problems += "level file changed: " + level.first.string() + "\n";
        if (result != STATUS_ERROR) {
            if (fOutputLevel || ReadBytes(output) != expected)
                problems += "a count with an output that is not levels 1 to that count\n";
        } else if (g_run.failure == GATHER_OUTPUT_IN_SERIES || g_run.failure == GATHER_OUTPUT_UNDECIDED) {
            ++cRefused;
            cNeedless += fOutputFile && !fOutputLevel;
        }
        for (const fs::path& mounted : shape.mounts)
            umount(mounted.c_str());
        ASSERT_TRUE(problems.empty()) << "seed " << uSeed << " (replay: BRENVIK_SHAPES_SEED=" << uSeed << ")\n"
                                      << "shape: " << shape.story.str() << "\nseries " << folder << ", output "
                                      << output << ": " << result << " (failure " << g_run.failure << ")\n"
                                      << problems;
        fs::remove_all(dir_ / std::to_string(uSeed));
    }
    std::printf("%u shapes%s: %d outputs refused, %d of them existing files that were no level file\n", cSeeds,
                fMount ? ", bind mounts among them" : ", no bind mounts (not allowed here)", cRefused, cNeedless);
}

}  // namespace
