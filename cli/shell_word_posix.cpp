// A POSIX shell: single quotes, a quote inside written '\'', as coreutils
// writes file names in its messages; a control character as $'\n' (ANSI-C
// quoting, which bash, ksh, zsh and the POSIX shell of 2024 read).
#include "shell_word.h"

#include <stdio.h>

const char kShellQuote = '\'';
const char kShellSpecials[] = " \"'\\$`*?[](){}<>|&;!";
const char kShellSpecialsFirst[] = "~#";
const char kShellHelp[] = "";
const char kShellQuotedQuote[] = "'\\''";

void ShellControl(unsigned char ch, char* pszOut)
{
    const char* pszShort = ch == '\n' ? "n" : ch == '\t' ? "t" : ch == '\r' ? "r" : NULL;
    if (pszShort != NULL)
        (void)snprintf(pszOut, SHELL_CONTROL_CAPACITY, "'$'\\%s''", pszShort);
    else
        (void)snprintf(pszOut, SHELL_CONTROL_CAPACITY, "'$'\\%03o''", ch);
}
