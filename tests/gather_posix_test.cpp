// What only a POSIX system can set up: links, directories in the series, a
// file whose reading fails.
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "gather.h"
#include "test_folder.h"

namespace {

class GatherPosix : public TempFolderTest {
protected:
    std::string Convert(const std::string& output)
    {
        return ConvertLevels(dir_.string().c_str(), "screen.%d", output.c_str());
    }
    std::map<std::string, std::string> Levels() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().filename().string().rfind("screen.", 0) == 0 && !entry.is_symlink())
                files[entry.path().filename().string()] = ReadBytes(entry.path());
        return files;
    }
};

TEST_F(GatherPosix, OutputThatIsALevelFileUnderAnotherNameIsRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    auto before = Levels();
    fs::create_hard_link(At("screen.3"), At("hard.xsb"));
    fs::create_symlink(At("screen.2"), At("soft.xsb"));
    fs::create_symlink(At("screen.1"), At("relative.xsb"));
    fs::create_directory_symlink(dir_, At("alias"));
    EXPECT_EQ(Convert(Str("hard.xsb")), STATUS_ERROR);
    EXPECT_EQ(Convert(Str("soft.xsb")), STATUS_ERROR);
    EXPECT_EQ(Convert(Str("relative.xsb")), STATUS_ERROR);
    EXPECT_EQ(Convert((At("alias") / "screen.4").string()), STATUS_ERROR);  // next number
    EXPECT_EQ(Levels(), before);
    EXPECT_FALSE(fs::exists(At("screen.4")));

    // A relative output path is judged from the working directory.
    fs::path cwd = fs::current_path();
    fs::current_path(dir_);
    EXPECT_EQ(Convert("screen.4"), STATUS_ERROR);
    EXPECT_EQ(Convert("./alias/../screen.2"), STATUS_ERROR);
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
    EXPECT_STREQ(ConvertLevels(Str("link").c_str(), "screen.%d", (real / "screen.2").string().c_str()),
                 STATUS_ERROR);
    EXPECT_FALSE(fs::exists(real / "screen.2"));
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
}

TEST_F(GatherPosix, LevelThatCannotBeReadIsAnErrorNotTheEnd)
{
    // Reading /proc/self/mem from its start fails with EIO; a link to itself
    // cannot be opened, even by root. The output to the link is the output.
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
        EXPECT_EQ(g_failure.failure, failure) << pszTarget;
        EXPECT_EQ(g_failure.nLevel, 2);
        EXPECT_EQ(ReadBytes(At("out.xsb")), big + "\n\n");  // what was written before stays
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
    auto before = Levels();
    for (const fs::path& output : {At("other") / "lnk/../screen.1", At("other") / "lnk/../screen.7",
                                   At("other") / "soft9.xsb", At("dangling.xsb"), At("other") / "target.xsb"})
        EXPECT_EQ(Convert(output.string()), STATUS_ERROR) << output;
    EXPECT_EQ(Levels(), before);
    EXPECT_EQ(ReadBytes(At("other") / "target.xsb"), "level 8\n");

    // The kernel may resolve a ".." below the number anywhere: refused. So
    // is a folder holding the byte the guard marks the number with.
    fs::create_directories(At("1") / "a");
    fs::create_directories(At("mark\x01"));
    WriteBytes(At("mark\x01") / "screen.1", "a\n");
    EXPECT_STREQ(ConvertLevels(dir_.c_str(), "%d/a/../b", Str("o.xsb").c_str()), STATUS_ERROR);
    EXPECT_STREQ(ConvertLevels(Str("mark\x01").c_str(), "screen.%d", Str("o.xsb").c_str()), STATUS_ERROR);
}

TEST_F(GatherPosix, SeriesFolderMountedElsewhereIsProtected)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    fs::create_directories(At("mnt"));
    if (mount(dir_.c_str(), At("mnt").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here (" << strerror(errno) << "): needs root with CAP_SYS_ADMIN";
    std::string result = Convert((At("mnt") / "screen.3").string());
    umount(At("mnt").c_str());
    EXPECT_EQ(result, STATUS_ERROR);
    EXPECT_EQ(ReadBytes(At("screen.3")), "c\n");
}

TEST_F(GatherPosix, LevelFilesThatAreNoFilesEndTheSeriesAtOnce)
{
    // Neither may be waited on or read for ever; as level 1 they are an error.
    WriteSeries("screen.%d", {"a\n"});
    WriteSeries("z%d", {"a\n"});
    ASSERT_EQ(mkfifo(At("screen.2").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", At("z2"));
    ASSERT_EQ(mkfifo(At("fifo1").c_str(), 0600), 0);
    for (const auto& [pszFormat, pszResult] : {std::pair{"screen.%d", "1"}, {"z%d", "1"}, {"fifo%d", STATUS_ERROR}})
        EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), pszFormat, Str("out.xsb").c_str()), pszResult) << pszFormat;
}

}  // namespace
