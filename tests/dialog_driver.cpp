#include "dialog_driver.h"

#include <string.h>

#include "resource.h"

namespace {

const char kCaption[] = "Sokoban - Brenvik by Olmsvey ver1.0";

struct FindData {
    const char* pszCaption;
    HWND hExclude1, hExclude2;
    HWND hFound;
};

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lParam)
{
    FindData* pData = reinterpret_cast<FindData*>(lParam);  // NOLINT(performance-no-int-to-ptr)
    char szClass[32];
    GetClassNameA(hwnd, szClass, sizeof(szClass));
    if (strcmp(szClass, "#32770") != 0 || !IsWindowVisible(hwnd) || hwnd == pData->hExclude1 ||
        hwnd == pData->hExclude2)
        return TRUE;
    if (pData->pszCaption != NULL && WindowText(hwnd) != pData->pszCaption)
        return TRUE;
    pData->hFound = hwnd;
    return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD msTimeout)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > msTimeout)
            return false;
        Sleep(20);
    }
    return true;
}

std::string WindowText(HWND hwnd)
{
    char sz[1024] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(sz), reinterpret_cast<LPARAM>(sz), SMTO_ABORTIFHUNG,
                        kDriverTimeoutMs, &result);
    return sz;
}

bool SetWindowTextRemote(HWND hwnd, const std::string& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kDriverTimeoutMs, &result) != 0;
}

HWND FindThreadDialog(DWORD dwThreadId, const char* pszCaption, HWND hExclude1, HWND hExclude2)
{
    FindData data = {pszCaption, hExclude1, hExclude2, NULL};
    EnumThreadWindows(dwThreadId, FindDialogProc, reinterpret_cast<LPARAM>(&data));
    return data.hFound;
}

bool StartBrenvik(const std::string& exe, PROCESS_INFORMATION* pPi, HWND* phDlg)
{
    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    // An option the program must ignore.
    std::string cmd = "\"" + exe + "\" --ignored-option";
    if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, pPi))
        return false;
    return WaitUntil([&] { return (*phDlg = FindThreadDialog(pPi->dwThreadId, kCaption)) != NULL; });
}

std::string PressConvert(HWND hDlg)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)), SMTO_ABORTIFHUNG, kDriverTimeoutMs,
                        &result);
    return WindowText(GetDlgItem(hDlg, IDC_COUNT));
}

void CloseBrenvik(PROCESS_INFORMATION* pPi, HWND hDlg)
{
    if (pPi->hProcess == NULL)
        return;
    if (WaitForSingleObject(pPi->hProcess, 0) == WAIT_TIMEOUT) {
        PostMessageA(hDlg, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pPi->hProcess, kDriverTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(pPi->hProcess, 1);
    }
    CloseHandle(pPi->hThread);
    CloseHandle(pPi->hProcess);
    pPi->hProcess = NULL;
}
