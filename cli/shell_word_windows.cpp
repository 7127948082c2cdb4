// cmd.exe: double quotes around a name that holds a character it reads
// otherwise (the ones its own file name completion quotes). A Windows file
// name holds no double quote. A % is left as it is: quotes do not keep
// cmd.exe from reading it.
#include "shell_word.h"

const char kShellQuote = '"';
const char kShellSpecials[] = " &()[]{}^=;!'+,`~<>|";
const char kShellSpecialsFirst[] = "";
const char kShellHelp[] = "/?";
const char kShellQuotedQuote[] = "";

// cmd.exe reads no control character in a word, and Windows holds none in a
// file name: it stands as '?', the pattern of any one character, so that
// the line stays one line and still matches the name.
void ShellControl(unsigned char /*ch*/, char* pszOut)
{
    pszOut[0] = '?';
    pszOut[1] = '\0';
}
