// A POSIX shell: single quotes, a quote inside written '\'', as coreutils
// writes file names in its messages.
#include "shell_word.h"

const char kShellQuote = '\'';
const char kShellSpecials[] = " \"'\\$`*?[](){}<>|&;!";
const char kShellSpecialsFirst[] = "~#";
const char kShellQuotedQuote[] = "'\\''";
