// Telling whether two names lead to the same file (links, other spellings).
#pragma once

#include <stdio.h>

struct FileIdentity {
    unsigned long long ullVolume;
    unsigned long long ullIndex;
    unsigned long long ullIndexHigh;  // where file ids have 128 bits
    bool fDirectory;
    unsigned long cLinks;  // hard links to the file
};

// Identifies the file a path leads to, following links. False when there is
// no such file.
bool IdentifyPath(const char* pszPath, FileIdentity* pId);

// Identifies the file behind an open stream at next to no cost, so that
// each level file can be checked against the output as it is opened. Only
// identities taken this way compare with each other.
bool IdentifyStream(FILE* pFile, FileIdentity* pId);

bool IsSameFile(const FileIdentity* pA, const FileIdentity* pB);

#ifdef _WIN32
// Identifies the file behind an open Windows handle (asking its volume).
bool IdentifyHandle(void* hFile, FileIdentity* pId);
// IdentifyStream for a handle.
bool IdentifyHandleCheaply(void* hFile, FileIdentity* pId);
#else
struct stat;
void IdentityFromStat(const struct stat* pSt, FileIdentity* pId);
#endif

// The file that writing to pszPath would write into: false when there is
// none yet and writing creates a new one. *pfDangling is set for a symbolic
// link to nothing, through which writing would create whatever it points to.
bool IdentifyWriteTarget(const char* pszPath, FileIdentity* pId, bool* pfDangling);
