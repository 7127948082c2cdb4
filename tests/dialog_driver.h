// Driving another process's dialog with window messages: what the dialog
// tests and the demo run share. Every wait is bounded.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

const DWORD kDriverTimeoutMs = 20000;

// Polls until done() holds; false when msTimeout passes first.
bool WaitUntil(const std::function<bool()>& done, DWORD msTimeout = kDriverTimeoutMs);

std::string WindowText(HWND hwnd);
bool SetWindowTextRemote(HWND hwnd, const std::string& text);

// A visible dialog window of the thread (optionally with this caption),
// other than the ones excluded.
HWND FindThreadDialog(DWORD dwThreadId, const char* pszCaption, HWND hExclude1 = NULL,
                      HWND hExclude2 = NULL);

// Starts brenvik.exe and waits for its main dialog.
bool StartBrenvik(const std::string& exe, PROCESS_INFORMATION* pPi, HWND* phDlg);

// Presses Convert in the main dialog and returns what the count shows.
std::string PressConvert(HWND hDlg);

// Closes the dialog and waits for the process; TerminateProcess if it hangs.
void CloseBrenvik(PROCESS_INFORMATION* pPi, HWND hDlg);
