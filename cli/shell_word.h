// How the system's shell reads a word back: a POSIX shell, or cmd.exe on
// Windows. shell_word_posix.cpp and shell_word_windows.cpp define it; the
// build picks one.
#pragma once

#include <stddef.h>

// Writes pszName into pszOut as the shell takes it for one word: as it is
// where it can be, else quoted. Cut short, still closed, when cbOut is too
// small.
void WriteShellWord(const char* pszName, char* pszOut, size_t cbOut);
