// What only the Windows runtime does: text-mode translation, case-blind and
// dot-trimming names.
#include <map>
#include <string>

#include "gather.h"
#include "test_folder.h"

namespace {

class GatherWindows : public TempFolderTest {
protected:
    std::string Convert(const std::string& output)
    {
        return ConvertLevels(dir_.string().c_str(), "screen.%d", output.c_str());
    }
};

TEST_F(GatherWindows, TextModeTranslatesLineEnds)
{
    WriteSeries("screen.%d", {"lf\nlf\n", "crlf\r\ncrlf\r\n", "lone\rcr\n", "mixed\r\n\n"});
    EXPECT_EQ(Convert(Str("out.xsb")), "4");
    EXPECT_EQ(ReadBytes(At("out.xsb")),
              "lf\r\nlf\r\n\r\n" "crlf\r\ncrlf\r\n\r\n" "lone\rcr\r\n\r\n" "mixed\r\n\r\n\r\n");
}

TEST_F(GatherWindows, CtrlZEndsALevelFile)
{
    WriteSeries("screen.%d", {"kept\n\x1a" "dropped\n", "next\n"});
    EXPECT_EQ(Convert(Str("out.xsb")), "2");
    EXPECT_EQ(ReadBytes(At("out.xsb")), "kept\r\n\r\nnext\r\n\r\n");
}

TEST_F(GatherWindows, OtherSpellingsOfALevelFileAreRefused)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    for (const std::string& output :
         {Str("SCREEN.2"), Str("Screen.4"), Str("screen.3."), Str("screen.4 "),
          dir_.string() + "/screen.1", dir_.string() + "\\.\\screen.2"}) {
        EXPECT_EQ(Convert(output), STATUS_ERROR) << output;
    }
    EXPECT_EQ(ReadBytes(At("screen.1")), "a\n");
    EXPECT_EQ(ReadBytes(At("screen.2")), "b\n");
    EXPECT_EQ(ReadBytes(At("screen.3")), "c\n");
    EXPECT_FALSE(fs::exists(At("screen.4")));
}

}  // namespace
