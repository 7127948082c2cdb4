// Telling whether two names lead to the same file (links, other spellings).
#pragma once

#include <errno.h>
#include <stdio.h>

struct FileIdentity {
    unsigned long long ullVolume;
    unsigned long long ullIndex;
    bool fDirectory;
    unsigned long cLinks;  // hard links to the file
};

// Identifies the file a path leads to, following links. False when there is
// no such file (errno ENOENT or ENOTDIR, see NamesNothing) or when it cannot
// be identified (any other errno): a guard must not take the one for the
// other.
bool IdentifyPath(const char* pszPath, FileIdentity* pId);

inline bool NamesNothing(int nError) { return nError == ENOENT || nError == ENOTDIR; }

bool IsSameFile(const FileIdentity* pA, const FileIdentity* pB);

// Whether two open streams read or write the same file, at next to no cost
// when they do not, so that every level file can be checked against the
// output. True also when that cannot be told.
bool IsSameOpenFile(FILE* pA, FILE* pB);

#ifdef _WIN32
// Identifies the file behind an open Windows handle.
bool IdentifyHandle(void* hFile, FileIdentity* pId);
#else
struct stat;
void IdentityFromStat(const struct stat* pSt, FileIdentity* pId);
#endif

// The file that writing to pszPath would write into: false when there is
// none yet and writing creates a new one, or when it cannot be told (errno
// as for IdentifyPath). *pfDangling is set for a symbolic
// link to nothing, through which writing would create whatever it points to.
bool IdentifyWriteTarget(const char* pszPath, FileIdentity* pId, bool* pfDangling);
