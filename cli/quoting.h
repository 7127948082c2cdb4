// Names in the messages of the command line, written so that they paste
// back into the system's shell as one word.
#pragma once

// Room for the names of one message: each call takes the next of these
// buffers, so that one line may quote this many names.
#define QUOTED_NAMES 4

// The name quoted where the shell needs it, never otherwise altered; a
// control character is written as the shell reads it back, so that a name
// with a line end stays on one line.
const char* Quoted(const char* pszName);
