// A series: where its level files are and how their names are spelled. A
// run builds it once, from the folder and the checked format; it tells the
// level number a name or a path stands for.
#pragma once

#include <stddef.h>

#include "name_format.h"
#include "platform.h"

// One spelling of a level file's path, as name text: the path up to the
// numbered name (its separator included), the text before and after the
// number, and the path below the numbered name.
struct SeriesPath {
    NameChar rgchLead[FULL_PATH_CAPACITY];
    size_t cchLead;
    NameChar rgchHead[FULL_PATH_CAPACITY];
    size_t cchHead;
    NameChar rgchTail[FULL_PATH_CAPACITY];
    size_t cchTail;
    NameChar rgchBelow[FULL_PATH_CAPACITY];
    size_t cchBelow;
};

struct Series {
    const NameFormat* pFmt;
    // The folder as given: the level files are named from it.
    char szGiven[MAX_PATH];
    // The folder that holds the numbered names ("/" or "C:\" for a root);
    // as the file system resolves it, spelled so that it is opened as the
    // level files' paths open it (FolderAsOpened).
    char szFolder[FULL_PATH_CAPACITY];
    // The path below the numbered name when the number names a folder
    // ("%d/level.txt"): empty, or from a separator on.
    char szBelow[FULL_PATH_CAPACITY];
    // The path made full, ".." and "." taken as written: what the text
    // check compares.
    SeriesPath byText;
    // The path as the file system resolves it: what names in the folder
    // and identities are compared with.
    SeriesPath onDisk;
};

// Builds *pSeries from the folder and the checked format: GATHER_OK;
// GATHER_NUMBER_LOST when a ".." after the number makes every number name
// the same file; GATHER_OUTPUT_UNDECIDED when a part does not fit or is no
// valid text, so that no name can be judged against it.
GatherFailure MakeSeries(const char* pszFolder, const NameFormat* pFmt, Series* pSeries);

// The level number (1 or more) whose numbered name this is in the series'
// folder, as the file system compares names; 0 for none. fEndsThePath: the
// name is the last of its path, where Windows drops trailing spaces.
int SeriesNumberOfName(const Series* pSeries, const NameChar* pch, size_t cch, bool fEndsThePath);

// The level number whose whole path, made full, this path is (lead, name,
// path below), as the file system compares names; 0 for none.
int SeriesNumberOfPath(const Series* pSeries, const NameChar* pch, size_t cch);

// The path of the file below the series' folder entry pszEntry: the
// folder, a separator, the entry and the path below the numbered name.
// False when it does not fit in cbOut bytes.
bool SeriesEntryPath(const Series* pSeries, const char* pszEntry, char* pszOut, size_t cbOut);

// Identifies the file below the series' folder entry pszEntry. False as for
// IdentifyPath, with errno 0 for a name too long to build, which the
// gathering cannot open either.
bool IdentifySeriesEntry(const Series* pSeries, const char* pszEntry, FileIdentity* pId);
