// How the guard decides whether writing the output could touch a file of
// the series:
//  1. By text. The output's full path is compared with the series' full
//     path, ".." taken as written and names compared as the file system
//     compares them: the path of level n is level n.
//  2. By folder, with both paths as the system resolves them, and each
//     folder read as it is in the middle of a path, where the level files'
//     paths have it. Where the number is in the file name, an output named
//     as level n in a folder that is the series' folder (by identity:
//     through a link, a mount, another spelling) is level n. Where the
//     number names a folder, which folders lead to the numbered ones is more
//     than a cheap check can know, so an output with the level files' own
//     name is refused.
//  Both steps judge the name typed and, where it is a symbolic link, the
//  name its links finally lead to, which writing creates or writes.
//  3. By file. An existing output may be a level file under any other name
//     (a hard link, a link, a short name, another case where the file system
//     ignores case): its identity is compared with every entry of the
//     series' folder, whatever the entry's name. A new output is made where
//     its links end, and a level name that is a link to nothing ending
//     there would be made by writing it: every entry that may lead
//     elsewhere is read as a link (on Windows only a reparse point may;
//     Wine shows a Unix link as a plain file, so there a link to a new
//     output is not seen).
// The run then writes the file judged and no other: the one identified, or
// a new one made only where nothing is yet.
// Whatever cannot be told is refused: text that is no valid name, a stream,
// a file, folder or link that cannot be identified or read (an I/O error,
// access denied, a name too long), a folder that cannot be listed. A link
// in a loop or to nothing leads to no file, which is told: it is no
// existing output, and a loop makes no new one.
#include "series_guard.h"

#include <limits.h>
#include <string.h>

#include "series.h"

namespace {

// What one judgment works in: the series, and the output's paths and name
// text.
struct GuardBuffers {
    const Series* pSeries;
    char szFull[FULL_PATH_CAPACITY];          // a spelling of the output made full
    char szOnDisk[FULL_PATH_CAPACITY];        // and as the system resolves it
    char szFolderPart[FULL_PATH_CAPACITY];    // a folder that holds a name
    char szFolderOpened[FULL_PATH_CAPACITY];  // that folder as a path's middle reads it
    char szLevelPath[FULL_PATH_CAPACITY];
    char szLinkTarget[FULL_PATH_CAPACITY];
    NameChar rgchName[FULL_PATH_CAPACITY];
} g_guard;

// The value of a digit in base 10 or 16 (either case), -1 for none.
int DigitValue(int ch, int nBase)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (nBase == 16 && ((ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')))
        return (ch | 0x20) - 'a' + 10;
    return -1;
}

bool IsDotName(const char* pszName)
{
    return pszName[0] == '\0' || strcmp(pszName, ".") == 0 || strcmp(pszName, "..") == 0;
}

bool IsSameName(const char* pszA, const char* pszB) { return SameName(pszA, strlen(pszA), pszB, strlen(pszB)); }

GatherFailure JudgeByText(const char* pszOutput, char* pszFull, int* pnLevel)
{
    size_t cch;
    if (!FullPath(pszOutput, pszFull, FULL_PATH_CAPACITY) ||
        !ToNameText(pszFull, strlen(pszFull), g_guard.rgchName, FULL_PATH_CAPACITY, &cch))
        return GATHER_OUTPUT_UNDECIDED;
    *pnLevel = SeriesNumberOfPath(g_guard.pSeries, g_guard.rgchName, cch);
    return *pnLevel != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK;
}

// Identifies the folder that holds pszLeaf, the name part of pszPath, read
// as the system reads it there: in the middle of the path.
bool IdentifyFolderOf(const char* pszPath, const char* pszLeaf, FileIdentity* pId)
{
    g_guard.szFolderPart[0] = '.';  // the working folder, for a name without one
    g_guard.szFolderPart[1] = '\0';
    if ((pszLeaf != pszPath && !CopyFolderPart(pszPath, pszLeaf - 1, g_guard.szFolderPart, sizeof(g_guard.szFolderPart))) ||
        !FolderAsOpened(g_guard.szFolderPart, g_guard.szFolderOpened, sizeof(g_guard.szFolderOpened))) {
        errno = ENAMETOOLONG;
        return false;
    }
    return IdentifyPath(g_guard.szFolderOpened, pId);
}

GatherFailure JudgeByFolder(const char* pszOutput, const char* pszLeaf, int* pnLevel)
{
    const Series* pSeries = g_guard.pSeries;
    size_t cchLeaf;
    if (!ToNameText(pszLeaf, strlen(pszLeaf), g_guard.rgchName, FULL_PATH_CAPACITY, &cchLeaf))
        return GATHER_OUTPUT_UNDECIDED;
    if (pSeries->szBelow[0] != '\0')
        return IsSameName(FileNamePart(pSeries->szBelow), pszLeaf) ? GATHER_OUTPUT_UNDECIDED : GATHER_OK;
    *pnLevel = SeriesNumberOfName(pSeries, g_guard.rgchName, cchLeaf, true);
    if (*pnLevel == 0)
        return GATHER_OK;
    FileIdentity idOutputFolder;
    FileIdentity idSeriesFolder;
    // A folder that is not there is not the series'; one that cannot be
    // identified may be.
    if (IdentifyFolderOf(pszOutput, pszLeaf, &idOutputFolder) && IdentifyPath(pSeries->szFolder, &idSeriesFolder)) {
        if (IsSameFile(&idOutputFolder, &idSeriesFolder))
            return GATHER_OUTPUT_IN_SERIES;
    } else if (!NamesNothing(errno)) {
        return GATHER_OUTPUT_UNDECIDED;
    }
    *pnLevel = 0;
    return GATHER_OK;
}

// Judges one spelling of the output by text, made full into pszFull, and by
// folder.
GatherFailure JudgeName(const char* pszOutput, char* pszFull, JudgedOutput* pJudged)
{
    GatherFailure verdict = JudgeByText(pszOutput, pszFull, &pJudged->nLevel);
    if (verdict != GATHER_OK)
        return verdict;
    if (!ResolvablePath(pszOutput, g_guard.szOnDisk, sizeof(g_guard.szOnDisk)))
        return GATHER_OUTPUT_UNDECIDED;
    const char* pszLeaf = FileNamePart(g_guard.szOnDisk);
    if (IsDotName(pszLeaf))
        return GATHER_OK;  // names a folder, which cannot be opened for writing
    if (IsStreamName(pszLeaf))
        return GATHER_OUTPUT_UNDECIDED;  // of which file is another question
    return JudgeByFolder(g_guard.szOnDisk, pszLeaf, &pJudged->nLevel);
}

// The pass over the series' folder for the file the output writes: one
// that exists, by its identity; a new one, by the folder it is made in and
// its name.
struct FileSearch {
    bool fExists;
    FileIdentity id;        // the output, or the folder it is made in
    const char* pszLeaf;    // the name a new output is made with
    int nLevel;
    bool fUndecided;
};

bool OpensTheOutput(const FileSearch* pSearch, long long llLevel)
{
    FileIdentity id;
    return llLevel >= 1 && llLevel <= INT_MAX &&
           ExpandLevelName(g_guard.pSeries->szGiven, g_guard.pSeries->pFmt, static_cast<int>(llLevel),
                           g_guard.szLevelPath, sizeof(g_guard.szLevelPath)) &&
           IdentifyPath(g_guard.szLevelPath, &id) && MayBeSameFile(&id, &pSearch->id);
}

// The base the format writes its number in.
int NumberBase() { return g_guard.pSeries->pFmt->chConv == 'x' || g_guard.pSeries->pFmt->chConv == 'X' ? 16 : 10; }

// The level number an entry's name spells as the format does, 0 for none.
int SpelledNumber(const char* pszName)
{
    size_t cch;
    return ToNameText(pszName, strlen(pszName), g_guard.rgchName, FULL_PATH_CAPACITY, &cch)
               ? SeriesNumberOfName(g_guard.pSeries, g_guard.rgchName, cch, g_guard.pSeries->szBelow[0] == '\0')
               : 0;
}

// The level number of an entry that is the output: the number either of its
// names spells; else, where the file system compares names its own way
// (case, forms of a letter), any number its name holds whose level name
// opens the output.
int LevelNumberOfEntry(const FileSearch* pSearch, const FolderEntry* pEntry)
{
    int nLevel = SpelledNumber(pEntry->pszName);
    if (nLevel == 0)
        nLevel = SpelledNumber(pEntry->pszShortName);
    if (nLevel != 0)
        return nLevel;
    int nBase = NumberBase();
    for (const char* pszStart = pEntry->pszName; *pszStart != '\0'; ++pszStart) {
        long long llLevel = 0;
        for (const char* p = pszStart; DigitValue(*p, nBase) >= 0 && llLevel <= INT_MAX; ++p) {
            llLevel = llLevel * nBase + DigitValue(*p, nBase);
            if (OpensTheOutput(pSearch, llLevel))
                return static_cast<int>(llLevel);
        }
    }
    return 0;
}

// A level name that is a link to nothing, ending where a new output is
// made, would be made by writing it.
bool SearchLink(FileSearch* pSearch, const FolderEntry* pEntry)
{
    if (g_guard.pSeries->szBelow[0] == '\0' && !pEntry->fMayLead)
        return true;
    if (!SeriesEntryPath(g_guard.pSeries, pEntry->pszName, g_guard.szLevelPath, sizeof(g_guard.szLevelPath)))
        return true;  // a name too long holds no level
    if (!WriteTargetPath(g_guard.szLevelPath, g_guard.szLinkTarget, sizeof(g_guard.szLinkTarget))) {
        pSearch->fUndecided = errno != ELOOP;
        return !pSearch->fUndecided;
    }
    const char* pszLeaf = FileNamePart(g_guard.szLinkTarget);
    FileIdentity idFolder;
    if (strcmp(g_guard.szLinkTarget, g_guard.szLevelPath) == 0 || !IsSameName(pszLeaf, pSearch->pszLeaf))
        return true;
    if (!IdentifyFolderOf(g_guard.szLinkTarget, pszLeaf, &idFolder)) {
        pSearch->fUndecided = !NamesNothing(errno);
        return !pSearch->fUndecided;
    }
    if (!IsSameFile(&idFolder, &pSearch->id))
        return true;
    pSearch->nLevel = SpelledNumber(pEntry->pszName);
    // A name holding no digit of the number is no level in any case; any
    // other may be one in another case, which is not told here.
    const char* pszDigits = NumberBase() == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    pSearch->fUndecided = pSearch->nLevel == 0 && strpbrk(pEntry->pszName, pszDigits) != NULL;
    return !pSearch->fUndecided && pSearch->nLevel == 0;
}

bool SearchEntry(const FolderEntry* pEntry, void* pContext)
{
    FileSearch* pSearch = static_cast<FileSearch*>(pContext);
    if (!pSearch->fExists)
        return SearchLink(pSearch, pEntry);
    FileIdentity id = pEntry->id;
    if (!(pEntry->fIdentified && g_guard.pSeries->szBelow[0] == '\0') &&
        !IdentifySeriesEntry(g_guard.pSeries, pEntry->pszName, &id)) {
        // A link to nothing or in a loop, or a name too long, holds no
        // level; a file that cannot be identified may be the one.
        pSearch->fUndecided = !(errno == 0 || NamesNothing(errno) || errno == ELOOP);
        return !pSearch->fUndecided;
    }
    if (MayBeSameFile(&id, &pSearch->id))
        pSearch->nLevel = LevelNumberOfEntry(pSearch, pEntry);
    return pSearch->nLevel == 0;
}

GatherFailure JudgeByFile(const char* pszOutput, JudgedOutput* pJudged)
{
    FileSearch search = {true, {0, 0, false, false}, NULL, 0, false};
    pJudged->fExists = IdentifyPath(pszOutput, &pJudged->id);
    search.id = pJudged->id;
    if (!pJudged->fExists) {
        if (!NamesNothing(errno))
            return GATHER_OUTPUT_UNDECIDED;
        // Writing makes a new file where the output's links end: no level,
        // unless a level name is a link that ends there too.
        search.fExists = false;
        search.pszLeaf = FileNamePart(pJudged->szTarget);
        if (!IdentifyFolderOf(pJudged->szTarget, search.pszLeaf, &search.id))
            return NamesNothing(errno) ? GATHER_OK : GATHER_OUTPUT_UNDECIDED;  // no folder, no file made
    } else if (search.id.fDirectory || search.id.fDevice) {
        return GATHER_OK;  // cannot be opened for writing, or holds no level
    }
    // A folder that does not exist holds no files.
    if (!ListFolder(g_guard.pSeries->szFolder, search.fExists, SearchEntry, &search) && !NamesNothing(errno))
        return GATHER_FOLDER_UNLISTED;
    if (search.fUndecided)
        return GATHER_OUTPUT_UNDECIDED;
    pJudged->nLevel = search.nLevel;
    return pJudged->nLevel != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK;
}

}  // namespace

GatherFailure JudgeOutput(const Series* pSeries, const char* pszOutput, JudgedOutput* pJudged)
{
    g_guard.pSeries = pSeries;
    pJudged->szFull[0] = '\0';
    pJudged->szTarget[0] = '\0';
    pJudged->fExists = false;
    pJudged->id = FileIdentity{0, 0, false, false};
    pJudged->nLevel = 0;
    GatherFailure verdict = JudgeName(pszOutput, pJudged->szFull, pJudged);
    if (verdict == GATHER_OK && !WriteTargetPath(pszOutput, pJudged->szTarget, sizeof(pJudged->szTarget)))
        verdict = GATHER_OUTPUT_UNDECIDED;
    if (verdict == GATHER_OK && strcmp(pJudged->szTarget, g_guard.szOnDisk) != 0)
        verdict = JudgeName(pJudged->szTarget, g_guard.szFull, pJudged);
    return verdict == GATHER_OK ? JudgeByFile(pszOutput, pJudged) : verdict;
}
