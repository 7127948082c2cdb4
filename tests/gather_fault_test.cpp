// System calls of the gathering failed or cut short one at a time, at the
// platform layer's edge: the test executable is linked with --wrap for
// each, so the product's code is the one that ships. Each row says what
// the run must give, and no row may leave a descriptor open.
#include <dirent.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>

#include "gather.h"
#include "test_folder.h"

// The linker's names for the calls wrapped and wrapping.
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" {
int __real_open(const char* pszPath, int nFlags, ...);
int __real_close(int fd);
int __real_fstat(int fd, struct stat* pSt);
int __real_fstatat(int fd, const char* pszName, struct stat* pSt, int nFlags);
int __real_stat(const char* pszPath, struct stat* pSt);
int __real_ftruncate(int fd, off_t cb);
ssize_t __real_write(int fd, const void* pb, size_t cb);
ssize_t __real_readlink(const char* pszPath, char* pszOut, size_t cb);
FILE* __real_fopencookie(void* pCookie, const char* pszMode, cookie_io_functions_t functions);
}
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

namespace {

// The one call to fail: the nth call of its kind on the output (by its
// descriptor's path), or on any file where no output is named.
struct Fault {
    std::string call;
    int nth = 0;
    int nError = 0;  // 0: cut short (a write that writes half)
    std::string output;
    std::string replaceWith;  // for "open": what replaces the output before the nth opening, or none
    std::string entry;        // for "fstatat": the entry failed, also by its path for stat
    int cSeen = 0;
};
Fault g_fault;

bool IsOutput(int fd)
{
    if (g_fault.output.empty())
        return true;
    char szFd[64];
    char szTarget[4096];
    (void)snprintf(szFd, sizeof(szFd), "/proc/self/fd/%d", fd);
    ssize_t cch = __real_readlink(szFd, szTarget, sizeof(szTarget) - 1);  // NOLINT(readability-suspicious-call-argument)
    return cch > 0 && g_fault.output == std::string(szTarget, static_cast<size_t>(cch));
}

// Whether this call is the one to fail; sets errno for it.
bool Strikes(const char* pszCall, bool fConcerned)
{
    if (g_fault.call != pszCall || !fConcerned || ++g_fault.cSeen != g_fault.nth)
        return false;
    errno = g_fault.nError;
    return true;
}

}  // namespace

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" {

int __wrap_open(const char* pszPath, int nFlags, ...)
{
    va_list args;
    va_start(args, nFlags);
    mode_t mode = (nFlags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
    va_end(args);
    // Not a failure: the output is replaced or removed before this opening.
    if (Strikes("open", g_fault.output == pszPath))
        (void)(g_fault.replaceWith.empty() ? unlink(pszPath) : rename(g_fault.replaceWith.c_str(), pszPath));
    return __real_open(pszPath, nFlags, mode);
}

int __wrap_close(int fd)
{
    bool fFails = Strikes("close", IsOutput(fd));
    int nResult = __real_close(fd);  // closed all the same, as NFS does
    return fFails ? -1 : nResult;
}

int __wrap_fstat(int fd, struct stat* pSt) { return Strikes("fstat", IsOutput(fd)) ? -1 : __real_fstat(fd, pSt); }

int __wrap_fstatat(int fd, const char* pszName, struct stat* pSt, int nFlags)
{
    return Strikes("fstatat", g_fault.entry == pszName) ? -1 : __real_fstatat(fd, pszName, pSt, nFlags);
}

int __wrap_stat(const char* pszPath, struct stat* pSt)
{
    // The entry failed through the open folder fails by its path too.
    std::string path = pszPath;
    bool fEntry = !g_fault.entry.empty() && path.size() > g_fault.entry.size() &&
                  path.compare(path.size() - g_fault.entry.size() - 1, std::string::npos, "/" + g_fault.entry) == 0;
    if (g_fault.call == "fstatat" && fEntry) {
        errno = g_fault.nError;
        return -1;
    }
    return Strikes("stat", true) ? -1 : __real_stat(pszPath, pSt);
}

int __wrap_ftruncate(int fd, off_t cb) { return Strikes("ftruncate", IsOutput(fd)) ? -1 : __real_ftruncate(fd, cb); }

ssize_t __wrap_write(int fd, const void* pb, size_t cb)
{
    if (!Strikes("write", IsOutput(fd)))
        return __real_write(fd, pb, cb);
    return g_fault.nError != 0 ? -1 : __real_write(fd, pb, cb / 2);  // a short write is no error
}

ssize_t __wrap_readlink(const char* pszPath, char* pszOut, size_t cb)
{
    return Strikes("readlink", true) ? -1 : __real_readlink(pszPath, pszOut, cb);
}

FILE* __wrap_fopencookie(void* pCookie, const char* pszMode, cookie_io_functions_t functions)
{
    return Strikes("fopencookie", g_fault.output == pszMode) ? NULL : __real_fopencookie(pCookie, pszMode, functions);
}

}  // extern "C"
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

namespace {

int OpenDescriptors()
{
    int c = 0;
    DIR* pDir = opendir("/proc/self/fd");
    while (pDir != NULL && readdir(pDir) != NULL)
        ++c;
    if (pDir != NULL)
        closedir(pDir);
    return c;
}

class GatherFaults : public TempFolderTest {};

TEST_F(GatherFaults, EachFailedCallGivesItsOutcomeAndLeavesNothingOpen)
{
    fs::create_directories(At("set"));
    for (const char* pszName : {"screen.1", "screen.2", "screen.3", "a", "b", "c", "d", "e", "f"})
        WriteBytes(At("set") / pszName, std::string(pszName) + "\n" + std::string(3000, '#') + "\n");
    fs::remove(At("set") / "b");
    fs::create_symlink("a", At("set") / "b");  // a link: the listing's type is not enough
    std::string set = Str("set");
    std::string levels;
    for (const char* pszLevel : {"screen.1", "screen.2", "screen.3"})
        levels += ReadBytes(At("set") / pszLevel) + "\n";
    auto levelFile = [&](const char* pszName) { return ReadBytes(At("set") / pszName); };
    std::string level3 = levelFile("screen.3");
    const GatherFailure kUndecided = GATHER_OUTPUT_UNDECIDED;
    // Rows: what fails (call, which one, errno), on the output or any file,
    // whether the output is there before, the outcome, what it then holds
    // (its old text, levels 1 to n, level 3's text, or nothing).
    const std::tuple<const char*, int, int, bool, bool, GatherFailure, const char*> rows[] = {
        {"fstatat", 1, EIO, false, true, kUndecided, "old"},  // an entry beside others
        {"fstatat", 1, EACCES, false, true, kUndecided, "old"},
        {"readlink", 1, EIO, false, false, kUndecided, nullptr},   // a new output, then the link among
        {"readlink", 3, EACCES, false, false, kUndecided, nullptr},  // the entries (after the folder's own)
        {"stat", 1, EIO, false, false, kUndecided, nullptr},       // the new output's identity ...
        {"stat", 2, EIO, false, false, kUndecided, nullptr},       // ... and its folder's
        {"stat", 1, EIO, false, false, kUndecided, "named"},       // the folder of one named as a level
        {"fstat", 1, EIO, true, false, kUndecided, nullptr},       // the output's status at level 1 ...
        {"fstat", 1, EIO, true, true, kUndecided, "old"},
        {"fstat", 3, EIO, true, false, kUndecided, "1"},           // ... and when reopened for level 2
        {"ftruncate", 1, EIO, true, true, GATHER_OUTPUT_UNOPENED, "old"},
        {"fopencookie", 1, ENOMEM, false, false, GATHER_OUTPUT_UNOPENED, nullptr},
        {"close", 2, EIO, true, false, GATHER_WRITE_FAILED, "2"},  // the output's, after level 2
        {"write", 1, 0, true, false, GATHER_OK, "3"},              // cut short, then the rest
        {"write", 2, EIO, true, false, GATHER_WRITE_FAILED, nullptr},
        {"open", 2, 0, true, false, GATHER_OUTPUT_UNOPENED, nullptr},  // gone before level 2
        {"open", 2, 0, true, false, GATHER_OUTPUT_REPLACED, "L3"},  // made level 3, before level 2 ...
        {"open", 1, 0, true, false, GATHER_OUTPUT_REPLACED, "L3"},  // ... or after the guard's look
        {"open", 1, 0, true, true, GATHER_OUTPUT_REPLACED, "L3"}};
    int cOpen = OpenDescriptors();
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        const auto& [pszCall, nth, nError, fOnOutput, fPresent, failure, pszNamed] = rows[i];
        // "named": the output is named as level 5, in another folder.
        bool fNamed = pszNamed != nullptr && std::string(pszNamed) == "named";
        const char* pszHolds = fNamed ? nullptr : pszNamed;
        std::string out = fNamed ? Str("screen.5") : Str("out.xsb");
        fs::remove(out);
        if (fPresent)
            WriteBytes(out, "old\n");
        g_fault = Fault();
        g_fault.call = pszCall;
        g_fault.nth = nth;
        g_fault.nError = nError;
        bool fEntry = g_fault.call == "fstatat";
        g_fault.entry = fEntry ? "b" : "";
        if (fOnOutput || g_fault.call == "open")
            g_fault.output = out;
        if (g_fault.call == "fopencookie")
            g_fault.output = "a";  // the output's stream
        if (failure == GATHER_OUTPUT_REPLACED) {
            fs::create_hard_link(At("set") / "screen.3", At("spare"));
            g_fault.replaceWith = Str("spare");
        }
        const char* pszStatus = ConvertLevels(set.c_str(), "screen.%d", out.c_str());
        g_fault = Fault();
        SCOPED_TRACE(std::string("row ") + std::to_string(i) + ": " + pszCall + " #" + std::to_string(nth));
        EXPECT_EQ(g_run.failure, failure);
        EXPECT_STREQ(pszStatus, failure == GATHER_OK ? "3" : STATUS_ERROR);
        if (pszHolds == nullptr)
            EXPECT_TRUE(failure == GATHER_WRITE_FAILED || !fs::exists(out)) << "a file left behind";
        else if (std::string(pszHolds) == "old")
            EXPECT_EQ(ReadBytes(out), "old\n");
        else if (std::string(pszHolds) == "L3")
            EXPECT_EQ(ReadBytes(out), level3);
        else
            EXPECT_EQ(ReadBytes(out), levels.substr(0, (levels.size() / 3) * static_cast<size_t>(*pszHolds - '0')));
        EXPECT_EQ(levelFile("screen.3"), level3);
        EXPECT_EQ(OpenDescriptors(), cOpen) << "a descriptor left open";
        fs::remove(At("spare"));
    }
}

}  // namespace
