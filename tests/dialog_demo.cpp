// Shows the tool at work without a human: starts brenvik.exe, fills its
// fields, presses Convert, prints the count, the output path and where the
// dialog is on the screen, then waits (bounded) for a file that says the
// screenshot is taken, and closes the dialog.
//   dialog_demo BRENVIK_EXE FOLDER OUTPUT DONE_FILE
#include <windows.h>

#include <stdio.h>

#include <string>

#include "dialog_driver.h"
#include "resource.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: dialog_demo BRENVIK_EXE FOLDER OUTPUT DONE_FILE\n");
        return 2;
    }
    PROCESS_INFORMATION pi = {};
    HWND hDlg = NULL;
    if (!StartBrenvik(argv[1], &pi, &hDlg)) {
        fprintf(stderr, "dialog_demo: the dialog did not appear\n");
        return 1;
    }
    SetWindowTextRemote(GetDlgItem(hDlg, IDC_FOLDER), argv[2]);
    SetWindowTextRemote(GetDlgItem(hDlg, IDC_OUTPUT), argv[3]);
    std::string count = PressConvert(hDlg);
    // Drawn as the window in use: with no window manager nothing activates it.
    SetForegroundWindow(hDlg);
    SendMessageA(hDlg, WM_NCACTIVATE, TRUE, 0);

    RECT rc;
    GetWindowRect(hDlg, &rc);
    printf("count: %s\noutput: %s\nwindow: %ldx%ld+%ld+%ld\n", count.c_str(), argv[3], rc.right - rc.left,
           rc.bottom - rc.top, rc.left, rc.top);
    fflush(stdout);

    WaitUntil([&] { return GetFileAttributesA(argv[4]) != INVALID_FILE_ATTRIBUTES; }, 60000);
    CloseBrenvik(&pi, hDlg);
    return count == "ERROR " || count.empty() ? 1 : 0;
}
