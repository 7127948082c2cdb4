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

// The series spelled for each step, and the output's paths and name text.
Series g_seriesByText;
Series g_seriesOnDisk;
char g_szOutputFull[FULL_PATH_CAPACITY];
char g_szOutputOnDisk[FULL_PATH_CAPACITY];
char g_szWriteTarget[FULL_PATH_CAPACITY];
char g_szFolderPart[FULL_PATH_CAPACITY];
char g_szOutputFolder[FULL_PATH_CAPACITY];
char g_szLevelPath[FULL_PATH_CAPACITY];
char g_szLinkTarget[FULL_PATH_CAPACITY];
NameChar g_rgchOutput[FULL_PATH_CAPACITY];
NameChar g_rgchSeriesLeaf[FULL_PATH_CAPACITY];

bool IsDotName(const char* pszName)
{
    return pszName[0] == '\0' || strcmp(pszName, ".") == 0 || strcmp(pszName, "..") == 0;
}

GatherFailure JudgeByText(const char* pszOutput, int* pnLevel)
{
    size_t cch;
    if (!FullPath(pszOutput, g_szOutputFull, sizeof(g_szOutputFull)) ||
        !ToNameText(g_szOutputFull, strlen(g_szOutputFull), g_rgchOutput, FULL_PATH_CAPACITY, &cch))
        return GATHER_OUTPUT_UNDECIDED;
    *pnLevel = SeriesNumberOfPath(&g_seriesByText, g_rgchOutput, cch);
    return *pnLevel != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK;
}

// Identifies the folder that holds pszLeaf, the name part of pszPath, read
// as the system reads it there: in the middle of the path.
bool IdentifyFolderOf(const char* pszPath, const char* pszLeaf, FileIdentity* pId)
{
    g_szFolderPart[0] = '.';  // the working folder, for a name without one
    g_szFolderPart[1] = '\0';
    if ((pszLeaf != pszPath && !CopyFolderPart(pszPath, pszLeaf - 1, g_szFolderPart, sizeof(g_szFolderPart))) ||
        !FolderAsOpened(g_szFolderPart, g_szOutputFolder, sizeof(g_szOutputFolder))) {
        errno = ENAMETOOLONG;
        return false;
    }
    return IdentifyPath(g_szOutputFolder, pId);
}

bool SameName(const char* pszA, const char* pszB)
{
    size_t cchA;
    size_t cchB;
    return ToNameText(pszA, strlen(pszA), g_rgchOutput, FULL_PATH_CAPACITY, &cchA) &&
           ToNameText(pszB, strlen(pszB), g_rgchSeriesLeaf, FULL_PATH_CAPACITY, &cchB) && cchA == cchB &&
           NameTextEqual(g_rgchOutput, g_rgchSeriesLeaf, cchA);
}

GatherFailure JudgeByFolder(const char* pszOutput, const char* pszLeaf, int* pnLevel)
{
    size_t cchLeaf;
    if (!ToNameText(pszLeaf, strlen(pszLeaf), g_rgchOutput, FULL_PATH_CAPACITY, &cchLeaf))
        return GATHER_OUTPUT_UNDECIDED;
    if (g_seriesOnDisk.szBelow[0] != '\0') {
        const char* pszSeriesLeaf = FileNamePart(g_seriesOnDisk.szBelow);
        size_t cchSeriesLeaf;
        if (!ToNameText(pszSeriesLeaf, strlen(pszSeriesLeaf), g_rgchSeriesLeaf, FULL_PATH_CAPACITY, &cchSeriesLeaf) ||
            (cchSeriesLeaf == cchLeaf && NameTextEqual(g_rgchSeriesLeaf, g_rgchOutput, cchLeaf)))
            return GATHER_OUTPUT_UNDECIDED;
        return GATHER_OK;
    }
    *pnLevel = SeriesNumberOfName(&g_seriesOnDisk, g_rgchOutput, cchLeaf, true);
    if (*pnLevel == 0)
        return GATHER_OK;
    FileIdentity idOutputFolder;
    FileIdentity idSeriesFolder;
    // A folder that is not there is not the series'; one that cannot be
    // identified may be.
    if (IdentifyFolderOf(pszOutput, pszLeaf, &idOutputFolder) && IdentifyPath(g_seriesOnDisk.szFolder, &idSeriesFolder)) {
        if (IsSameFile(&idOutputFolder, &idSeriesFolder))
            return GATHER_OUTPUT_IN_SERIES;
    } else if (!NamesNothing(errno)) {
        return GATHER_OUTPUT_UNDECIDED;
    }
    *pnLevel = 0;
    return GATHER_OK;
}

// Judges one spelling of the output by text and by folder.
GatherFailure JudgeName(const char* pszOutput, int* pnLevel)
{
    GatherFailure verdict = JudgeByText(pszOutput, pnLevel);
    if (verdict != GATHER_OK)
        return verdict;
    if (!ResolvablePath(pszOutput, g_szOutputOnDisk, sizeof(g_szOutputOnDisk)))
        return GATHER_OUTPUT_UNDECIDED;
    const char* pszLeaf = FileNamePart(g_szOutputOnDisk);
    if (IsDotName(pszLeaf))
        return GATHER_OK;  // names a folder, which cannot be opened for writing
    if (IsStreamName(pszLeaf))
        return GATHER_OUTPUT_UNDECIDED;  // of which file is another question
    return JudgeByFolder(g_szOutputOnDisk, pszLeaf, pnLevel);
}

// The pass over the series' folder for the file the output writes: one
// that exists, by its identity; a new one, by the folder it is made in and
// its name.
struct FileSearch {
    const char* pszFolder;  // as typed: level names are made from it
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
           ExpandLevelName(pSearch->pszFolder, g_seriesOnDisk.pFmt, static_cast<int>(llLevel), g_szLevelPath,
                           sizeof(g_szLevelPath)) &&
           IdentifyPath(g_szLevelPath, &id) && MayBeSameFile(&id, &pSearch->id);
}

// The base the format writes its number in.
int NumberBase() { return g_seriesOnDisk.pFmt->chConv == 'x' || g_seriesOnDisk.pFmt->chConv == 'X' ? 16 : 10; }

// The level number an entry's name spells as the format does, 0 for none.
int SpelledNumber(const char* pszName)
{
    size_t cch;
    return ToNameText(pszName, strlen(pszName), g_rgchOutput, FULL_PATH_CAPACITY, &cch)
               ? SeriesNumberOfName(&g_seriesOnDisk, g_rgchOutput, cch, g_seriesOnDisk.szBelow[0] == '\0')
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
    if (g_seriesOnDisk.szBelow[0] == '\0' && !pEntry->fMayLead)
        return true;
    if (!SeriesEntryPath(&g_seriesOnDisk, pEntry->pszName, g_szLevelPath, sizeof(g_szLevelPath)))
        return true;  // a name too long holds no level
    if (!WriteTargetPath(g_szLevelPath, g_szLinkTarget, sizeof(g_szLinkTarget))) {
        pSearch->fUndecided = errno != ELOOP;
        return !pSearch->fUndecided;
    }
    const char* pszLeaf = FileNamePart(g_szLinkTarget);
    FileIdentity idFolder;
    if (strcmp(g_szLinkTarget, g_szLevelPath) == 0 || !SameName(pszLeaf, pSearch->pszLeaf))
        return true;
    if (!IdentifyFolderOf(g_szLinkTarget, pszLeaf, &idFolder)) {
        pSearch->fUndecided = !NamesNothing(errno);
        return !pSearch->fUndecided;
    }
    if (!IsSameFile(&idFolder, &pSearch->id))
        return true;
    pSearch->nLevel = SpelledNumber(pEntry->pszName);
    // A name holding no digit of the number is no level in any case; any
    // other may be one in another case, which is not told here.
    const char* pch = pEntry->pszName;
    while (*pch != '\0' && DigitValue(*pch, NumberBase()) < 0)
        ++pch;
    pSearch->fUndecided = pSearch->nLevel == 0 && *pch != '\0';
    return !pSearch->fUndecided && pSearch->nLevel == 0;
}

bool SearchEntry(const FolderEntry* pEntry, void* pContext)
{
    FileSearch* pSearch = static_cast<FileSearch*>(pContext);
    if (!pSearch->fExists)
        return SearchLink(pSearch, pEntry);
    FileIdentity id = pEntry->id;
    if (!(pEntry->fIdentified && g_seriesOnDisk.szBelow[0] == '\0') &&
        !IdentifySeriesEntry(&g_seriesOnDisk, pEntry->pszName, &id)) {
        // A link to nothing or in a loop, or a name too long, holds no
        // level; a file that cannot be identified may be the one.
        pSearch->fUndecided = !(errno == 0 || NamesNothing(errno) || errno == ELOOP);
        return !pSearch->fUndecided;
    }
    if (MayBeSameFile(&id, &pSearch->id))
        pSearch->nLevel = LevelNumberOfEntry(pSearch, pEntry);
    return pSearch->nLevel == 0;
}

GatherFailure JudgeByFile(const char* pszFolder, const char* pszOutput, int* pnLevel, JudgedOutput* pJudged)
{
    FileSearch search = {pszFolder, true, {0, 0, false, false}, NULL, 0, false};
    pJudged->fExists = IdentifyPath(pszOutput, &pJudged->id);
    search.id = pJudged->id;
    if (!pJudged->fExists) {
        if (!NamesNothing(errno))
            return GATHER_OUTPUT_UNDECIDED;
        // Writing makes a new file where the output's links end: no level,
        // unless a level name is a link that ends there too.
        search.fExists = false;
        search.pszLeaf = FileNamePart(g_szWriteTarget);
        if (!IdentifyFolderOf(g_szWriteTarget, search.pszLeaf, &search.id))
            return NamesNothing(errno) ? GATHER_OK : GATHER_OUTPUT_UNDECIDED;  // no folder, no file made
    } else if (search.id.fDirectory || search.id.fDevice) {
        return GATHER_OK;  // cannot be opened for writing, or holds no level
    }
    // A folder that does not exist holds no files.
    if (!ListFolder(g_seriesOnDisk.szFolder, search.fExists, SearchEntry, &search) && !NamesNothing(errno))
        return GATHER_FOLDER_UNLISTED;
    if (search.fUndecided)
        return GATHER_OUTPUT_UNDECIDED;
    *pnLevel = search.nLevel;
    return *pnLevel != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK;
}

}  // namespace

GatherFailure JudgeOutput(const char* pszFolder, const NameFormat* pFmt, const char* pszOutput, int* pnLevel,
                          JudgedOutput* pJudged)
{
    *pnLevel = 0;
    pJudged->fExists = false;
    pJudged->id = FileIdentity{0, 0, false, false};
    pJudged->pszNewPath = g_szWriteTarget;
    GatherFailure verdict = MakeSeries(pszFolder, pFmt, SPELLED_FULL, &g_seriesByText);
    if (verdict == GATHER_OK)
        verdict = MakeSeries(pszFolder, pFmt, SPELLED_AS_RESOLVED, &g_seriesOnDisk);
    if (verdict == GATHER_OK)
        verdict = JudgeName(pszOutput, pnLevel);
    if (verdict == GATHER_OK && !WriteTargetPath(pszOutput, g_szWriteTarget, sizeof(g_szWriteTarget)))
        verdict = GATHER_OUTPUT_UNDECIDED;
    if (verdict == GATHER_OK && strcmp(g_szWriteTarget, g_szOutputOnDisk) != 0)
        verdict = JudgeName(g_szWriteTarget, pnLevel);
    return verdict == GATHER_OK ? JudgeByFile(pszFolder, pszOutput, pnLevel, pJudged) : verdict;
}

const char* GuardedFolder() { return g_seriesOnDisk.szFolder; }
