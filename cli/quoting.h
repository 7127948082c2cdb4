// Names in the messages of the command line, written so that they paste
// back into the system's shell as one word.
#pragma once

// Room for the names of one message: each call takes the next of these
// buffers, so that one line may quote this many names.
#define QUOTED_NAMES 4

// The name quoted where the shell needs it. A path typed with a doubled
// separator gives one (a leading pair, as in \\server, stays).
const char* Quoted(const char* pszName);
