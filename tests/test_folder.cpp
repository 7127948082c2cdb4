#include "test_folder.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void TempFolderTest::SetUp()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("brenvik-") + info->test_suite_name() + "-" + info->name() + "-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    for (char& ch : name)
        if (ch == '/')
            ch = '_';
    dir_ = fs::temp_directory_path() / name;
    root_ = dir_;
    fs::create_directories(dir_);
}

void TempFolderTest::TearDown()
{
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void TempFolderTest::WriteSeries(const char* pszFormat, std::initializer_list<std::string> levels)
{
    int n = 1;
    for (const std::string& level : levels) {
        char name[256];
        std::snprintf(name, sizeof(name), pszFormat, n++);
        WriteBytes(At(name), level);
    }
}
