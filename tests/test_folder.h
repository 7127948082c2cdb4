// A temporary folder per test, and small helpers to fill and read it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

// What text-mode writing makes of "\n" here.
#ifdef _WIN32
#define NL "\r\n"
#else
#define NL "\n"
#endif

void WriteBytes(const fs::path& path, const std::string& bytes);
std::string ReadBytes(const fs::path& path);

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes level files name(1..) with the given contents.
    void WriteSeries(const char* pszFormat, std::initializer_list<std::string> levels);
    fs::path At(const std::string& name) const { return dir_ / name; }
    std::string Str(const std::string& name) const { return At(name).string(); }

    fs::path dir_;
    fs::path root_;  // what TearDown removes, whatever dir_ became
};
