// How the system's shell reads a word back: a POSIX shell, or cmd.exe on
// Windows. shell_word_posix.cpp and shell_word_windows.cpp define it; the
// build picks one.
#pragma once

// The quote that keeps a word whole.
extern const char kShellQuote;
// The characters that make a name need it, anywhere or at its start.
extern const char kShellSpecials[];
extern const char kShellSpecialsFirst[];
// How a quote inside quotes is written ("" where a name holds none).
extern const char kShellQuotedQuote[];
// What asks a program for its help there besides --help ("" for nothing):
// Windows' own tools take /?, which elsewhere is a path.
extern const char kShellHelp[];
// How a control character, which no quote keeps, is written inside quotes:
// into pszOut, which has room for SHELL_CONTROL_CAPACITY bytes.
#define SHELL_CONTROL_CAPACITY 12
void ShellControl(unsigned char ch, char* pszOut);
