// How the guard decides whether writing the output could touch a file of
// the series:
//  1. By text. The output's full path is compared with the series' full
//     path, ".." taken as written and names compared as the file system
//     compares them: the path of level n is level n.
//  2. By folder, with both paths as the system resolves them. Where the
//     number is in the file name, an output named as level n in a folder
//     that is the series' folder (by identity: through a link, a mount,
//     another spelling) is level n. Where the number names a folder, which
//     folders lead to the numbered ones is more than a cheap check can know,
//     so an output with the level files' own name is refused.
//  3. By file. An existing output may be a level file under another name (a
//     hard link, a link, a short name): one pass over the series' folder
//     compares identities.
// Whatever cannot be told is refused: text that is no valid name, a stream,
// a link to nothing, a file or folder that cannot be identified, a folder
// that cannot be read through.
#include "series_guard.h"

#include <string.h>

#include "gather_testing.h"
#include "series.h"

namespace {

// The series spelled for each step, and the output's paths and name text.
Series g_seriesByText;
Series g_seriesOnDisk;
char g_szOutputFull[FULL_PATH_CAPACITY];
char g_szOutputOnDisk[FULL_PATH_CAPACITY];
char g_szOutputFolder[FULL_PATH_CAPACITY];
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
    g_szOutputFolder[0] = '.';  // the working folder, for a name without one
    g_szOutputFolder[1] = '\0';
    FileIdentity idOutputFolder;
    FileIdentity idSeriesFolder;
    if (pszLeaf == pszOutput || CopyFolderPart(pszOutput, pszLeaf - 1, g_szOutputFolder, sizeof(g_szOutputFolder))) {
        // A folder that is not there is not the series'; one that cannot be
        // identified may be.
        if (IdentifyPath(g_szOutputFolder, &idOutputFolder) && IdentifyPath(g_seriesOnDisk.szFolder, &idSeriesFolder)) {
            if (IsSameFile(&idOutputFolder, &idSeriesFolder))
                return GATHER_OUTPUT_IN_SERIES;
        } else if (!NamesNothing(errno)) {
            return GATHER_OUTPUT_UNDECIDED;
        }
    }
    *pnLevel = 0;
    return GATHER_OK;
}

GatherFailure JudgeByFile(const char* pszOutput, int* pnLevel)
{
    FileIdentity idOutput;
    bool fDangling;
    if (!IdentifyWriteTarget(pszOutput, &idOutput, &fDangling))
        return fDangling || !NamesNothing(errno) ? GATHER_OUTPUT_UNDECIDED : GATHER_OK;
    if (idOutput.fDirectory)
        return GATHER_OK;
    if (!FindInSeriesFolder(&g_seriesOnDisk, &idOutput, pnLevel))
        return GATHER_OUTPUT_UNDECIDED;
    return *pnLevel != 0 ? GATHER_OUTPUT_IN_SERIES : GATHER_OK;
}

}  // namespace

GatherFailure JudgeOutput(const char* pszFolder, const NameFormat* pFmt, const char* pszOutput, int* pnLevel)
{
    *pnLevel = 0;
    GatherFailure verdict = MakeSeries(pszFolder, pFmt, SPELLED_FULL, &g_seriesByText);
    if (verdict == GATHER_OK)
        verdict = JudgeByText(pszOutput, pnLevel);
    if (verdict == GATHER_OK)
        verdict = MakeSeries(pszFolder, pFmt, SPELLED_AS_RESOLVED, &g_seriesOnDisk);
    if (verdict != GATHER_OK)
        return verdict;
    if (!ResolvablePath(pszOutput, g_szOutputOnDisk, sizeof(g_szOutputOnDisk)))
        return GATHER_OUTPUT_UNDECIDED;
    const char* pszLeaf = FileNamePart(g_szOutputOnDisk);
    if (IsDotName(pszLeaf))
        return GATHER_OK;  // names a folder, which cannot be opened for writing
    if (IsStreamName(pszLeaf))
        return GATHER_OUTPUT_UNDECIDED;  // of which file is another question
    verdict = JudgeByFolder(g_szOutputOnDisk, pszLeaf, pnLevel);
    return verdict == GATHER_OK ? JudgeByFile(g_szOutputOnDisk, pnLevel) : verdict;
}

bool OutputOutsideSeries(const char* pszFolder, const NameFormat* pFmt, const char* pszOutput)
{
    int nLevel;
    return JudgeOutput(pszFolder, pFmt, pszOutput, &nLevel) == GATHER_OK;
}
