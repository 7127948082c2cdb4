// What only a POSIX system can set up: links, directories in the series, a
// file whose reading fails.
#include <dirent.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "gather.h"
#include "test_folder.h"

namespace {

class GatherPosix : public TempFolderTest {
protected:
    std::string Convert(const std::string& output)
    {
        return ConvertLevels(dir_.string().c_str(), "screen.%d", output.c_str());
    }
    // Every level file below the folder, by its path.
    static std::map<std::string, std::string> Levels(const fs::path& folder)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (!entry.is_symlink() && (entry.path().filename().string().rfind("screen.", 0) == 0 ||
                                        entry.path().filename() == "level.txt"))
                files[entry.path().string()] = ReadBytes(entry.path());
        return files;
    }
    std::map<std::string, std::string> Levels() const { return Levels(dir_); }
};

TEST_F(GatherPosix, OutputThatIsALevelFileUnderAnotherNameIsRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    auto before = Levels();
    fs::create_hard_link(At("screen.3"), At("hard.xsb"));
    for (const char* pszName : {"a", "b", "c", "d", "e", "f", "g", "h"})  // listed before screen.3 or after
        fs::create_hard_link(At("screen.3"), At(pszName));
    fs::create_hard_link(At("screen.1"), At(".hidden"));  // no "." or ".."
    fs::create_hard_link(At("screen.2"), At("two"));       // the link's target has another name
    fs::create_symlink(At("screen.2"), At("soft.xsb"));
    fs::create_symlink(At("screen.1"), At("relative.xsb"));
    fs::create_directory_symlink(dir_, At("alias"));
    for (const fs::path& output : {At("hard.xsb"), At(".hidden"), At("soft.xsb"), At("relative.xsb"), At("alias") / "screen.4"}) {
        EXPECT_EQ(Convert(output.string()), STATUS_ERROR) << output;  // screen.4: the next number
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_EQ(Levels(), before);
    EXPECT_FALSE(fs::exists(At("screen.4")));

    // A relative output path is judged from the working directory.
    fs::path cwd = fs::current_path();
    fs::current_path(dir_);
    for (const char* pszOutput : {"screen.4", "./alias/../screen.2"}) {
        EXPECT_EQ(Convert(pszOutput), STATUS_ERROR) << pszOutput;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << pszOutput;
    }
    EXPECT_EQ(Convert("collection.xsb"), "3");
    fs::current_path(cwd);
    EXPECT_EQ(Levels(), before);
    EXPECT_EQ(ReadBytes(At("collection.xsb")), "a\n\nb\n\nc\n\n");
}

TEST_F(GatherPosix, SeriesReachedThroughALinkedFolderIsProtected)
{
    fs::path real = dir_ / "real";
    fs::create_directory(real);
    WriteBytes(real / "screen.1", "a\n");
    fs::create_directory_symlink(real, At("link"));
    fs::create_hard_link(real / "screen.1", At("hard.xsb"));
    for (const fs::path& output : {real / "screen.2", At("hard.xsb")}) {
        EXPECT_STREQ(ConvertLevels(Str("link").c_str(), "screen.%d", output.c_str()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_FALSE(fs::exists(real / "screen.2"));
    EXPECT_EQ(ReadBytes(real / "screen.1"), "a\n");
}

TEST_F(GatherPosix, DirectoryInPlaceOfALevelFileEndsTheSeries)
{
    WriteSeries("screen.%d", {"a\n", "b\n"});
    fs::create_directory(At("screen.3"));
    WriteBytes(At("screen.4"), "d\n");
    EXPECT_EQ(Convert(Str("out.xsb")), "2");

    fs::create_directory(At("dir1"));
    EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), "dir%d", Str("out2.xsb").c_str()), STATUS_ERROR);
    EXPECT_FALSE(fs::exists(At("out2.xsb")));
    // The root keeps its separator as the folder of a missing level file.
    EXPECT_STREQ(ConvertLevels("/", "brenvik-none-%d", Str("out3.xsb").c_str()), STATUS_ERROR);
    EXPECT_STREQ(g_run.szFolder, "/");
}

TEST_F(GatherPosix, LevelThatCannotBeReadIsAnErrorNotTheEnd)
{
    // Reading /proc/self/mem from its start fails with EIO; a link to itself
    // cannot be opened, even by root. A link to the output, which writing
    // would make, is refused before anything is written.
    std::string big(size_t{100} * 1024, '#');
    for (auto [pszTarget, failure] : {std::pair{"/proc/self/mem", GATHER_READ_FAILED},
                                      {"screen.2", GATHER_LEVEL_UNOPENED},
                                      {"out.xsb", GATHER_OUTPUT_IN_SERIES}}) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteSeries("screen.%d", {big + "\n"});
        fs::create_symlink(pszTarget, At("screen.2"));
        WriteBytes(At("screen.3"), "c\n");
        EXPECT_EQ(Convert(Str("out.xsb")), STATUS_ERROR) << pszTarget;
        EXPECT_EQ(g_run.failure, failure) << pszTarget;
        EXPECT_EQ(g_run.nLevel, 2);
        // What was written before stays.
        EXPECT_EQ(ReadBytes(At("out.xsb")), failure == GATHER_OUTPUT_IN_SERIES ? "" : big + "\n\n");
    }
}

TEST_F(GatherPosix, NamesTheKernelResolvesIntoTheSeriesAreRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    WriteBytes(At("screen.9"), "after a gap\n");
    fs::create_directories(At("sub"));
    fs::create_directories(At("other"));
    fs::create_directory_symlink(At("sub"), At("other") / "lnk");  // lnk/.. is the level folder
    fs::create_symlink(At("screen.9"), At("other") / "soft9.xsb");
    fs::create_symlink(At("screen.6"), At("dangling.xsb"));  // writing would create level 6
    WriteBytes(At("other") / "target.xsb", "level 8\n");
    fs::create_symlink(At("other") / "target.xsb", At("screen.8"));  // a level that leads out of the folder
    fs::create_symlink("other/lnk/../other/made.xsb", At("screen.11"));  // a level writing the output would make
    // One more so through a chain of 40 links, as many as the kernel follows.
    fs::create_directories(At("chain"));
    fs::create_symlink(At("chain") / "c1", At("screen.12"));
    for (int n = 1; n < 39; ++n)
        fs::create_symlink("c" + std::to_string(n + 1), At("chain") / ("c" + std::to_string(n)));
    fs::create_symlink(At("other") / "end.xsb", At("chain") / "c39");
    auto before = Levels();
    for (const fs::path& output : {At("other") / "lnk/../screen.1", At("other") / "lnk/../screen.7",
                                   At("other") / "soft9.xsb", At("dangling.xsb"), At("other") / "target.xsb",
                                   At("other") / "made.xsb", At("other") / "end.xsb"}) {
        EXPECT_EQ(Convert(output.string()), STATUS_ERROR) << output;
        EXPECT_EQ(g_run.failure, GATHER_OUTPUT_IN_SERIES) << output;
    }
    EXPECT_EQ(Levels(), before);
    EXPECT_EQ(ReadBytes(At("other") / "target.xsb"), "level 8\n");
    EXPECT_FALSE(fs::exists(At("other") / "made.xsb") || fs::exists(At("other") / "end.xsb"));

    // The kernel may resolve a ".." below the number anywhere: refused. So
    // is a folder holding the byte the guard marks the number with.
    fs::create_directories(At("1") / "a");
    fs::create_directories(At("mark\x01"));
    WriteBytes(At("mark\x01") / "screen.1", "a\n");
    for (const char* pszFormat : {"%d/a/../b", "%d/a/.."}) {
        EXPECT_STREQ(ConvertLevels(dir_.c_str(), pszFormat, Str("o.xsb").c_str()), STATUS_ERROR);
        EXPECT_EQ(g_run.failure, GATHER_NUMBER_LOST) << pszFormat;
    }
    EXPECT_STREQ(ConvertLevels(Str("mark\x01").c_str(), "screen.%d", Str("o.xsb").c_str()), STATUS_ERROR);
    EXPECT_EQ(g_run.failure, GATHER_OUTPUT_UNDECIDED);
}

TEST_F(GatherPosix, SeriesFolderWithASecondPathIsProtected)
{
    // s holds the series, m is a bind mount of s and up one of the folder
    // above: one folder, two paths, no link inside. Rows: the series' folder
    // and format, the output and, where it is a link, where it leads.
    fs::path s = At("s");
    fs::path m = At("m");
    fs::path up = At("up");
    fs::path o = At("o");
    for (const fs::path& folder : {s, m, up, o, s / "1", s / "2"})
        fs::create_directories(folder);
    for (const char* pszName : {"screen.1", "screen.2", "screen.3", "screen.9", "1/level.txt", "2/level.txt"})
        WriteBytes(s / pszName, pszName);
    if (mount(s.c_str(), m.c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here (" << strerror(errno) << "): needs root with CAP_SYS_ADMIN";
    bool fUp = mount(dir_.c_str(), up.c_str(), nullptr, MS_BIND, nullptr) == 0;
    // An overlay of s shows its files with their own inode numbers under
    // the overlay's device number.
    fs::path ov = At("ov");
    for (const char* pszName : {"ov", "ov.upper", "ov.work"})
        fs::create_directories(At(pszName));
    std::string options = "lowerdir=" + s.string() + ",upperdir=" + At("ov.upper").string() + ",workdir=" + At("ov.work").string();
    bool fOverlay = mount("overlay", ov.c_str(), "overlay", 0, options.c_str()) == 0;
    std::string overlayError = strerror(errno);
    // A file mounted over a name: the listing shows the name's own number.
    WriteBytes(o / "over.xsb", "over");
    ASSERT_EQ(mount((o / "over.xsb").c_str(), (s / "screen.9").c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::tuple<fs::path, const char*, fs::path, fs::path> rows[] = {
        {s, "screen.%d", m / "screen.3", ""},            {s, "screen.%d", o / "out.xsb", m / "screen.3"},
        {s, "screen.%d", o / "one.xsb", m / "screen.1"}, {s, "screen.%d", o / "up.xsb", up / "s/screen.2"},
        {m, "screen.%d", o / "s.xsb", s / "screen.9"},   {s, "%d/level.txt", o / "lvl.xsb", m / "2/level.txt"},
        {s, "screen.%d", o / "SCREEN.xsb", m / "SCREEN.2"}, {s, "screen.%d", o / "over.xsb", ""},
        {ov, "screen.%d", s / "screen.3", ""},           {s, "screen.%d", ov / "screen.2", ""}};
    std::map<std::string, std::string> before = Levels(s);
    std::vector<std::string> wrong;
    for (const auto& [folder, pszFormat, output, target] : rows) {
        if ((!fUp && target.parent_path().parent_path() == up) || (!fOverlay && (folder == ov || output.parent_path() == ov)))
            continue;
        if (!target.empty())
            fs::create_symlink(target, output);
        std::string result = ConvertLevels(folder.c_str(), pszFormat, output.c_str());
        bool fLevel = target.filename() != "SCREEN.2";  // where case counts, another file
        // Where the number names a folder, the level files' own name is refused unjudged.
        GatherFailure refusal = target.filename() == "level.txt" ? GATHER_OUTPUT_UNDECIDED : GATHER_OUTPUT_IN_SERIES;
        if ((result == STATUS_ERROR) != fLevel || (fLevel && g_run.failure != refusal))
            wrong.push_back(output.string() + ": " + result + " " + std::to_string(g_run.failure));
    }
    std::map<std::string, std::string> after = Levels(s);
    umount((s / "screen.9").c_str());
    umount(m.c_str());
    if (fUp)
        umount(up.c_str());
    if (fOverlay)
        umount(ov.c_str());
    EXPECT_TRUE(fOverlay) << "no overlay mount: " << overlayError;
    EXPECT_EQ(after, before);
    EXPECT_EQ(wrong, std::vector<std::string>());

    // Such a mount in another mount namespace, the series reached through
    // /proc/PID/root: this process's list of mounts does not show it.
    int rgfdReady[2];
    int rgfdDone[2];
    ASSERT_TRUE(pipe(rgfdReady) == 0 && pipe(rgfdDone) == 0);
    WriteBytes(o / "far.xsb", "far");
    pid_t pid = fork();
    if (pid == 0) {
        close(rgfdDone[1]);  // so that the parent's close ends the wait
        bool fMounted = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                        mount((o / "far.xsb").c_str(), (s / "screen.9").c_str(), nullptr, MS_BIND, nullptr) == 0;
        char ch = fMounted ? 1 : 0;
        _exit(write(rgfdReady[1], &ch, 1) == 1 && read(rgfdDone[0], &ch, 1) >= 0 ? 0 : 1);
    }
    char chMounted = 0;
    close(rgfdReady[1]);
    ASSERT_EQ(read(rgfdReady[0], &chMounted, 1), 1);
    std::string far = "/proc/" + std::to_string(pid) + "/root" + s.string();
    if (chMounted) {
        EXPECT_STREQ(ConvertLevels(far.c_str(), "screen.%d", (o / "far.xsb").c_str()), STATUS_ERROR);
        EXPECT_EQ(ReadBytes(o / "far.xsb"), "far");
    }
    close(rgfdDone[1]);
    waitpid(pid, nullptr, 0);
    close(rgfdReady[0]);
    close(rgfdDone[0]);
}

TEST_F(GatherPosix, LevelFilesThatAreNoFilesEndTheSeriesAtOnce)
{
    // None may be waited on or read for ever, nor left open; as level 1 they
    // are an error.
    WriteSeries("screen.%d", {"a\n"});
    WriteSeries("z%d", {"a\n"});
    WriteSeries("d%d", {"a\n"});
    ASSERT_EQ(mkfifo(At("screen.2").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", At("z2"));
    fs::create_directory(At("d2"));
    ASSERT_EQ(mkfifo(At("fifo1").c_str(), 0600), 0);
    auto cOpen = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    auto cOpenBefore = cOpen();
    for (const auto& [pszFormat, pszResult] :
         {std::pair{"screen.%d", "1"}, {"z%d", "1"}, {"d%d", "1"}, {"fifo%d", STATUS_ERROR}})
        EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), pszFormat, Str("out.xsb").c_str()), pszResult) << pszFormat;
    EXPECT_EQ(cOpen(), cOpenBefore);
}

TEST_F(GatherPosix, AWriteCutShortIsAnErrorNotACount)
{
    // A file size limit reached inside level 2, as a full disk would be.
    std::string big(size_t{100} * 1024, '#');
    WriteSeries("screen.%d", {big + "\n", big + "\n"});
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = {rlim_t{150} * 1024, old.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string result = Convert(Str("out.xsb"));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, STATUS_ERROR);
    EXPECT_EQ(g_run.failure, GATHER_WRITE_FAILED);
}

TEST_F(GatherPosix, ListingsThatGiveNoEntryTypesAreExaminedEntryByEntry)
{
    // ext2 made without the filetype feature types no entry (DT_UNKNOWN), as
    // older XFS and several network file systems do not. Levels 1, 2, then
    // 9 beyond a gap, and 10, a link to a file outside.
    fs::path image = At("untyped.img");
    fs::path mnt = At("untyped");
    fs::create_directories(mnt);
    std::string make = "mkfs.ext2 -q -F -O ^filetype '" + image.string() + "' 4M >/dev/null 2>&1";
    std::string mount = "mount -o loop '" + image.string() + "' '" + mnt.string() + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0 || std::system(mount.c_str()) != 0)  // NOLINT(cert-env33-c)
        GTEST_SKIP() << "cannot loop-mount an ext2 image here: needs root, loop devices and mkfs.ext2";
    fs::path set = mnt / "set";
    fs::path other = mnt / "other";
    fs::create_directories(set);
    fs::create_directories(other);
    for (const char* pszName : {"screen.1", "screen.2", "screen.9"})
        WriteBytes(set / pszName, pszName);
    WriteBytes(other / "target.xsb", "level 10\n");
    fs::create_symlink(other / "target.xsb", set / "screen.10");
    fs::create_hard_link(set / "screen.9", other / "hard9.xsb");
    fs::create_symlink(set / "screen.9", other / "soft9.xsb");
    fs::create_symlink(other / "made.xsb", set / "screen.11");
    DIR* pDir = opendir(set.c_str());
    bool fUntyped = true;
    for (const dirent* pEntry; (pEntry = readdir(pDir)) != nullptr;)
        fUntyped = fUntyped && pEntry->d_type == DT_UNKNOWN;
    closedir(pDir);
    std::vector<GatherFailure> failures;
    for (const char* pszOutput : {"hard9.xsb", "soft9.xsb", "target.xsb", "made.xsb"}) {
        (void)ConvertLevels(set.c_str(), "screen.%d", (other / pszOutput).c_str());
        failures.push_back(g_run.failure);
    }
    std::string levels = ReadBytes(set / "screen.9") + ReadBytes(other / "target.xsb");
    umount(mnt.c_str());
    EXPECT_TRUE(fUntyped);
    EXPECT_EQ(failures, std::vector<GatherFailure>(4, GATHER_OUTPUT_IN_SERIES));
    EXPECT_EQ(levels, "screen.9level 10\n");
}

}  // namespace
