#include "path_choosers.h"

#include <commdlg.h>
#include <shlobj.h>
#include <string.h>

#include "path_buffers.h"
#include "platform.h"
#include "resource.h"

namespace {

// The extension of Sokoban level collections.
const char kCollectionExtension[] = ".xsb";

// Starts the chooser on the folder it was given (the last one chosen).
int CALLBACK BrowseCallbackProc(HWND hwnd, UINT uMsg, LPARAM /*lParam*/, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED)
        SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}

}  // namespace

void BrowseForFolder(HWND hDlg)
{
    // The chooser writes a display name ("Desktop", "My Computer") here; it
    // must never take the place of the folder path.
    char szDisplayName[MAX_PATH];
    BROWSEINFOA bi;
    memset(&bi, 0, sizeof(bi));
    bi.hwndOwner = hDlg;
    bi.pidlRoot = NULL;
    bi.pszDisplayName = szDisplayName;
    bi.lpszTitle = NULL;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallbackProc;
    bi.lParam = reinterpret_cast<LPARAM>(g_szFolder);

    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (pidl == NULL)
        return;
    char szPath[MAX_PATH];
    BOOL fPath = SHGetPathFromIDListA(pidl, szPath);
    CoTaskMemFree(pidl);
    if (!fPath)
        return;  // no file system folder: keep what the field had
    memcpy(g_szFolder, szPath, strlen(szPath) + 1);  // both MAX_PATH bytes

    // A drive root (C:\) loses its backslash, so that joining the folder and
    // the format gives a single one.
    if (strlen(g_szFolder) == 3)
        g_szFolder[2] = '\0';
    SetWindowTextA(GetDlgItem(hDlg, IDC_FOLDER), g_szFolder);
}

void BrowseForOutputFile(HWND hDlg)
{
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFile = g_szOutput;
    ofn.nMaxFile = sizeof(g_szOutput);
    ofn.lpstrTitle = "save as";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&ofn))
        return;

    // A name without an extension becomes a level collection. Only the part
    // after the last backslash counts: C:\my.dir\set1 has none. A real
    // backslash, not the second byte of a double-byte character such as the
    // kanji for "table" (0x95 0x5C), which would hide an extension before it.
    const char* pszName = FileNamePart(g_szOutput);
    size_t cchOutput = strlen(g_szOutput);
    if (strchr(pszName, '.') == NULL && cchOutput + sizeof(kCollectionExtension) <= sizeof(g_szOutput))
        memcpy(g_szOutput + cchOutput, kCollectionExtension, sizeof(kCollectionExtension));
    SetWindowTextA(GetDlgItem(hDlg, IDC_OUTPUT), g_szOutput);
}
