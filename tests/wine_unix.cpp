#include "wine_unix.h"

#include <windows.h>

std::string UnixName(const fs::path& path)
{
    // cppcheck-suppress cstyleCast ; a function pointer type, not a cast
    using UnixNameProc = char*(CDECL*)(LPCWSTR);
    FARPROC pfnProc = GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    auto pfnUnixName = reinterpret_cast<UnixNameProc>(reinterpret_cast<void*>(pfnProc));
    return pfnUnixName != NULL ? pfnUnixName(path.wstring().c_str()) : "";
}

bool RunUnix(const std::string& command, const std::string& path, bool fLeads)
{
    std::string line = command;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 1000 && fs::exists("Z:" + path) != fLeads; ++i)
        Sleep(10);
    return fs::exists("Z:" + path) == fLeads;
}

std::string DrivesFolder()
{
    std::string drives = UnixName("C:\\");  // dosdevices/c:/
    drives.resize(drives.empty() ? 0 : drives.find("/c:"));
    return drives;
}

bool MakeUnixFolders(const fs::path& parent, const std::vector<std::string>& names)
{
    std::string unix = UnixName(parent);
    std::string script = "cd '" + unix + "' && mkdir";
    for (const std::string& name : names)
        script += " '" + name + "'";
    return !unix.empty() && RunUnix("Z:\\bin\\sh -c \"" + script + " && touch ready\"", unix + "/ready", true);
}
