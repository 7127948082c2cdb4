// Brenvik's whole user interface: one modal dialog.
#include <windows.h>

#include "gather.h"
#include "path_buffers.h"
#include "path_choosers.h"
#include "resource.h"

namespace {

const char kDefaultFormat[] = "screen.%d";

// Reads the three fields, gathers, and shows the count or "ERROR ".
void OnConvert(HWND hDlg)
{
    HWND hCount = GetDlgItem(hDlg, IDC_COUNT);
    // Empty while the run goes, as shown: the run holds the thread, so the
    // field is painted now or not before it ends.
    SetWindowTextA(hCount, "");
    UpdateWindow(hCount);
    GetWindowTextA(GetDlgItem(hDlg, IDC_FOLDER), g_szFolder, sizeof(g_szFolder));
    GetWindowTextA(GetDlgItem(hDlg, IDC_FORMAT), g_szFormat, sizeof(g_szFormat));
    GetWindowTextA(GetDlgItem(hDlg, IDC_OUTPUT), g_szOutput, sizeof(g_szOutput));
    SetWindowTextA(hCount, ConvertLevels(g_szFolder, g_szFormat, g_szOutput));
}

INT_PTR CALLBACK DlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM /*lParam*/)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        SetWindowTextA(GetDlgItem(hDlg, IDC_FORMAT), kDefaultFormat);
        return TRUE;

    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;

    case WM_COMMAND:
        // Only the control id counts; Escape's IDCANCEL is left alone so that
        // it does not close the dialog.
        switch (LOWORD(wParam)) {
        case IDOK:
            OnConvert(hDlg);
            return TRUE;
        case IDC_BROWSE_FOLDER:
            BrowseForFolder(hDlg);
            return TRUE;
        case IDC_BROWSE_OUTPUT:
            BrowseForOutputFile(hDlg);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nShowCmd*/)
{
    // Closing the dialog ends it with 0. A dialog that could not be made (no
    // display, a template that does not load) is a failure, not a success.
    INT_PTR nResult = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, DlgProc, 0);
    return nResult == -1 ? 1 : 0;
}
