// Telling whether two names lead to the same file (links, other spellings).
#pragma once

#include <stdio.h>

struct FileIdentity {
    unsigned long long ullVolume;
    unsigned long long ullIndex;
    bool fDirectory;
    unsigned long cLinks;  // hard links to the file
};

// Identifies the file a path leads to, following links. False when there is
// no such file.
bool IdentifyPath(const char* pszPath, FileIdentity* pId);

// Identifies the file behind an open stream.
bool IdentifyStream(FILE* pFile, FileIdentity* pId);

bool IsSameFile(const FileIdentity* pA, const FileIdentity* pB);

// Could the file be reached by a name that the full-path rule does not see
// through? Elsewhere than on Windows only a second hard link can do that;
// Windows also has short 8.3 names, junctions and the like.
bool MayHaveOtherNames(const FileIdentity* pId);
