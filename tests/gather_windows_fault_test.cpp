// Calls of the Windows platform layer failed one at a time where Wine
// cannot make the system fail: this test's build forces windows_faults.h
// into that layer, whose calls then come here.
#include "windows_faults.h"
#undef CreateFileA
#undef GetFileInformationByHandle
#undef GetFileInformationByHandleEx
#undef SetFilePointerEx
#undef SetEndOfFile

#include <string>
#include <tuple>

#include "gather.h"
#include "test_folder.h"

namespace {

// The call to fail (or to change, for "zero ids" and "replace"), on a
// handle or path whose name ends so; errno-free: the Windows error it sets.
struct Fault {
    std::string call;
    std::string nameEnd;
    DWORD dwError = 0;
    int nth = 1;
    int cSeen = 0;
    std::string replaceWith;  // for "replace": moved over the output before its nth opening
};
Fault g_fault;

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Strikes(const char* pszCall, const std::string& name)
{
    if (g_fault.call != pszCall || !EndsWith(name, g_fault.nameEnd) || ++g_fault.cSeen != g_fault.nth)
        return false;
    SetLastError(g_fault.dwError);
    return true;
}

std::string NameOf(HANDLE hFile)
{
    char szPath[MAX_PATH * 2] = "";
    DWORD cch = GetFinalPathNameByHandleA(hFile, szPath, sizeof(szPath), 0);
    return cch > 0 && cch < sizeof(szPath) ? szPath : "";
}

}  // namespace

HANDLE WINAPI FaultyCreateFileA(LPCSTR pszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES pSecurity,
                                DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate)
{
    if ((dwAccess & GENERIC_WRITE) != 0 && Strikes("replace", pszName))
        MoveFileExA(g_fault.replaceWith.c_str(), pszName, MOVEFILE_REPLACE_EXISTING);
    return CreateFileA(pszName, dwAccess, dwShare, pSecurity, dwDisposition, dwFlags, hTemplate);
}

BOOL WINAPI FaultyGetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION pInfo)
{
    return !Strikes("identity", NameOf(hFile)) && GetFileInformationByHandle(hFile, pInfo);
}

BOOL WINAPI FaultyGetFileInformationByHandleEx(HANDLE hFile, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID pInfo,
                                               DWORD cbInfo)
{
    bool fListing = infoClass == FileIdBothDirectoryInfo || infoClass == FileIdBothDirectoryRestartInfo;
    if (Strikes(fListing ? "listing" : "size", NameOf(hFile)))
        return FALSE;
    BOOL fOk = GetFileInformationByHandleEx(hFile, infoClass, pInfo, cbInfo);
    if (fOk && fListing && g_fault.call == "zero ids") {
        for (BYTE* pb = static_cast<BYTE*>(pInfo);; ) {
            auto* pEntry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(pb);
            pEntry->FileId.QuadPart = 0;  // as some shares list them
            if (pEntry->NextEntryOffset == 0)
                break;
            pb += pEntry->NextEntryOffset;
        }
    }
    return fOk;
}

BOOL WINAPI FaultySetFilePointerEx(HANDLE hFile, LARGE_INTEGER llMove, PLARGE_INTEGER pllAt, DWORD dwMethod)
{
    return !Strikes("seek", NameOf(hFile)) && SetFilePointerEx(hFile, llMove, pllAt, dwMethod);
}

BOOL WINAPI FaultySetEndOfFile(HANDLE hFile) { return !Strikes("truncate", NameOf(hFile)) && SetEndOfFile(hFile); }

namespace {

class GatherWindowsFaults : public TempFolderTest {};

TEST_F(GatherWindowsFaults, EachFailedCallGivesItsOutcomeAndLeavesNothingOpen)
{
    WriteSeries("screen.%d", {"a\n", "b\n", "c\n"});
    std::string out = Str("out.xsb");
    const GatherFailure kUndecided = GATHER_OUTPUT_UNDECIDED;
    // Rows: the call, on what, the error, the output there before, the
    // outcome, what the output holds then (nullptr: it is not there).
    const std::tuple<const char*, const char*, DWORD, bool, GatherFailure, const char*> rows[] = {
        {"seek", "out.xsb", ERROR_ACCESS_DENIED, true, GATHER_OUTPUT_UNOPENED, "old\n"},  // emptying
        {"truncate", "out.xsb", ERROR_DISK_FULL, true, GATHER_OUTPUT_UNOPENED, "old\n"},
        {"size", "screen.2", ERROR_NETNAME_DELETED, false, GATHER_LEVEL_UNOPENED, "a\r\n\r\n"},
        {"identity", "out.xsb", ERROR_NETNAME_DELETED, false, kUndecided, nullptr},  // the new output's
        {"identity", "out.xsb", ERROR_NETNAME_DELETED, true, kUndecided, "old\n"},
        {"listing", "", ERROR_ACCESS_DENIED, true, GATHER_FOLDER_UNLISTED, "old\n"},
        {"listing", "", ERROR_NETNAME_DELETED, false, GATHER_FOLDER_UNLISTED, nullptr},
        {"zero ids", "", 0, true, GATHER_OUTPUT_IN_SERIES, "c\n"},  // the output a hard link to level 3
        {"replace", "out.xsb", 0, false, GATHER_OUTPUT_REPLACED, "c\n"}};  // by level 3's before level 2
    DWORD cHandles = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &cHandles));
    for (const auto& [pszCall, pszOn, dwError, fPresent, failure, pszHolds] : rows) {
        DeleteFileA(out.c_str());
        g_fault = Fault();
        g_fault.call = pszCall;
        g_fault.nameEnd = pszOn;
        g_fault.dwError = dwError;
        if (g_fault.call == "zero ids")
            ASSERT_TRUE(CreateHardLinkA(out.c_str(), Str("screen.3").c_str(), NULL));
        else if (fPresent)
            WriteBytes(out, "old\n");
        if (g_fault.call == "replace") {
            ASSERT_TRUE(CreateHardLinkA(Str("spare").c_str(), Str("screen.3").c_str(), NULL));
            g_fault.replaceWith = Str("spare");
            g_fault.nth = 2;
        }
        const char* pszStatus = ConvertLevels(dir_.string().c_str(), "screen.%d", out.c_str());
        g_fault = Fault();
        SCOPED_TRACE(std::string(pszCall) + " on " + pszOn);
        EXPECT_EQ(g_run.failure, failure);
        EXPECT_STREQ(pszStatus, STATUS_ERROR);
        EXPECT_EQ(fs::exists(out), pszHolds != nullptr);
        if (pszHolds != nullptr) {
            EXPECT_EQ(ReadBytes(out), pszHolds);
        }
        EXPECT_EQ(ReadBytes(At("screen.3")), "c\n");
        DWORD cNow = 0;
        EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &cNow) && cNow == cHandles) << "a handle left open";
    }
    DeleteFileA(out.c_str());  // the last row's: level 3
    EXPECT_STREQ(ConvertLevels(dir_.string().c_str(), "screen.%d", out.c_str()), "3");  // without faults
    EXPECT_EQ(ReadBytes(out), "a\r\n\r\nb\r\n\r\nc\r\n\r\n");
}

}  // namespace
