// Forced into the Windows platform layer of the fault tests' build only:
// the calls named here go to the test's stand-ins, which fail one of them
// on request and otherwise call the system.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define NOUSER
#define NOGDI
#include <windows.h>

HANDLE WINAPI FaultyCreateFileA(LPCSTR pszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES pSecurity,
                                DWORD dwDisposition, DWORD dwFlags, HANDLE hTemplate);
BOOL WINAPI FaultyGetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION pInfo);
BOOL WINAPI FaultyGetFileInformationByHandleEx(HANDLE hFile, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID pInfo,
                                               DWORD cbInfo);
BOOL WINAPI FaultySetFilePointerEx(HANDLE hFile, LARGE_INTEGER llMove, PLARGE_INTEGER pllAt, DWORD dwMethod);
BOOL WINAPI FaultySetEndOfFile(HANDLE hFile);

#define CreateFileA FaultyCreateFileA
#define GetFileInformationByHandle FaultyGetFileInformationByHandle
#define GetFileInformationByHandleEx FaultyGetFileInformationByHandleEx
#define SetFilePointerEx FaultySetFilePointerEx
#define SetEndOfFile FaultySetEndOfFile
