// Fuzzes ConvertLevels with arbitrary folder, format and output texts (split
// at NUL bytes, cut to their buffer sizes) against a small level folder, and
// checks what must always hold: the result is "ERROR " or a count; no level
// file of the series changes; a refused format touches nothing at all. The
// run ending is libFuzzer's -timeout; buffer overruns are the sanitizers'.
//
// Every path is kept inside a sandbox folder: relative paths resolve there
// (it is the working directory), absolute ones are put below it, and texts
// that climb out of it with "..", by their text or through its links, are
// skipped. The links let the guard be tried against the file system's own
// resolution, not only against text: lnk/../screen.1 is screen.1.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "gather.h"

namespace fs = std::filesystem;

namespace {

fs::path g_sandbox;
std::map<std::string, std::string> g_original;  // sandbox-relative path -> content
std::map<ino_t, std::string> g_byInode;          // the same, by file identity

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void Write(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void RemoveSandbox() { fs::remove_all(g_sandbox); }

void MakeSandbox()
{
    char szTemplate[] = "/tmp/brenvik-fuzz-XXXXXX";
    g_sandbox = mkdtemp(szTemplate);
    fs::create_directories(g_sandbox / "sub");
    fs::create_directories(g_sandbox / "100% done");
    const char* levels[][2] = {
        {"screen.1", "#####\n#@$.#\n#####\n"}, {"screen.2", "two\r\n"}, {"screen.3", "three"},
        {"soko001.txt", "s1\n"},                {"soko002.txt", ""},      {"sub/x1", "x1\n"},
        {"100% done/screen.1", "pct\n"},        {"lv0x1", "hex\n"},       {"screen.0", "zero\n"}};
    for (auto& level : levels)
        Write(g_sandbox / level[0], level[1]);
    // Other names for level files: the output must not reach them either.
    fs::create_hard_link(g_sandbox / "screen.3", g_sandbox / "hard.xsb");
    fs::create_symlink("screen.2", g_sandbox / "soft.xsb");
    fs::create_directory_symlink("sub", g_sandbox / "lnk");
    fs::create_directory_symlink("..", g_sandbox / "sub" / "up");
    for (const auto& entry : fs::recursive_directory_iterator(g_sandbox)) {
        if (entry.is_regular_file()) {
            std::string rel = fs::relative(entry.path(), g_sandbox).string();
            g_original[rel] = ReadAll(entry.path());
            struct stat st;
            stat(entry.path().c_str(), &st);
            g_byInode[st.st_ino] = g_original[rel];
        }
    }
    if (chdir(g_sandbox.c_str()) != 0)
        abort();
    atexit(RemoveSandbox);
}

// Puts the sandbox back as it was: new files go, changed files are restored.
void RestoreSandbox()
{
    for (const char* dir : {".", "sub", "100% done"}) {
        for (const auto& entry : fs::directory_iterator(g_sandbox / dir)) {
            std::string rel = fs::relative(entry.path(), g_sandbox).string();
            if (rel == "sub" || rel == "100% done" || rel == "soft.xsb" || rel == "lnk" || rel == "sub/up")
                continue;
            auto original = g_original.find(rel);
            if (original == g_original.end())
                fs::remove_all(entry.path());
            else if (ReadAll(entry.path()) != original->second)
                Write(entry.path(), original->second);
        }
    }
}

bool Below(const fs::path& path)
{
    auto rel = path.lexically_relative(g_sandbox);
    return !rel.empty() && *rel.begin() != "..";
}

// Inside the sandbox by text and as the system resolves the path.
bool StaysInside(const std::string& path)
{
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(g_sandbox / path, ec);
    return !ec && Below((g_sandbox / path).lexically_normal()) && Below(resolved);
}

std::string Confine(const std::string& text)
{
    return !text.empty() && text[0] == '/' ? (g_sandbox.string() + text) : text;
}

bool IsCount(const char* psz)
{
    if (psz[0] < '1' || psz[0] > '9')
        return false;
    for (const char* p = psz; *p != '\0'; ++p)
        if (*p < '0' || *p > '9')
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_sandbox.empty())
        MakeSandbox();

    std::string parts[3];
    size_t part = 0;
    for (size_t i = 0; i < size && part < 3; ++i) {
        if (data[i] == '\0')
            ++part;
        else
            parts[part] += static_cast<char>(data[i]);
    }
    std::string folder = Confine(parts[0]).substr(0, MAX_PATH - 1);
    std::string format = parts[1].substr(0, FORMAT_CAPACITY - 1);
    std::string output = Confine(parts[2]).substr(0, MAX_PATH - 1);
    if (!StaysInside(folder + "/" + format) || !StaysInside(output) || !StaysInside(folder))
        return -1;

    const char* pszStatus = ConvertLevels(folder.c_str(), format.c_str(), output.c_str());
    bool fError = strcmp(pszStatus, STATUS_ERROR) == 0;
    if (!fError && !IsCount(pszStatus)) {
        fprintf(stderr, "status neither a count nor ERROR: [%s]\n", pszStatus);
        abort();
    }

    NameFormat fmt;
    if (CheckNameFormat(format.c_str(), &fmt) != GATHER_OK) {
        // A refused format touches nothing.
        for (auto& [rel, content] : g_original)
            if (ReadAll(g_sandbox / rel) != content) {
                fprintf(stderr, "refused format changed %s\n", rel.c_str());
                abort();
            }
    } else {
        // Every level file the run looked at is as it was.
        for (int n = 1; n <= g_nLevel && n > 0; ++n) {
            char szName[4 * MAX_PATH];
            if (!ExpandLevelName(folder.c_str(), &fmt, n, szName, sizeof(szName)))
                break;
            struct stat st;
            if (stat(szName, &st) != 0)
                continue;
            auto original = g_byInode.find(st.st_ino);
            if (original != g_byInode.end() && ReadAll(szName) != original->second) {
                fprintf(stderr, "level file %s changed (output %s)\n", szName, output.c_str());
                abort();
            }
            if (n == INT32_MAX)
                break;
        }
    }
    RestoreSandbox();
    return 0;
}
