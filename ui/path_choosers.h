// The two browse buttons: the shell's folder chooser and the save dialog.
#pragma once

#include <windows.h>

// Lets the user pick the level folder; shows it in IDC_FOLDER.
void BrowseForFolder(HWND hDlg);

// Lets the user pick the output file; shows it in IDC_OUTPUT.
void BrowseForOutputFile(HWND hDlg);
