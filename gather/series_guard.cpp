#include "series_guard.h"

#include <string.h>

#include "file_identity.h"
#include "full_path.h"
#include "gather.h"
#include "name_text.h"
#include "numbered_name.h"
#include "path_text.h"
#include "series_folder.h"
#include "series_pattern.h"

namespace {

// Room for a full path, which may be longer than the texts it came from.
const size_t kFullPathCapacity = 4096;

// The level number whose full path the output's full path spells, 0 for
// none. *pfJudged is false when that cannot be told (text that is no valid
// name), which the caller refuses.
int LevelNamedByText(const char* pszMarked, const char* pszOutput, const char* pszFormat,
                     const NameFormat* pFmt, bool* pfJudged)
{
    static NumberedName s_pattern;  // too big for a small stack
    static NameChar s_rgchOutput[NAME_TEXT_CAPACITY];
    const char* pszMark = strchr(pszMarked, kNumberMark);
    size_t cchOutput;
    *pfJudged = MakeNumberedName(pszMarked, static_cast<size_t>(pszMark - pszMarked), pszMark + 1,
                                 strlen(pszMark + 1), pszFormat, pFmt, &s_pattern) &&
                ToNameText(pszOutput, strlen(pszOutput), s_rgchOutput, NAME_TEXT_CAPACITY, &cchOutput);
    return *pfJudged ? LevelNumberOf(&s_pattern, s_rgchOutput, cchOutput) : 0;
}

bool IsDotName(const char* pszName)
{
    return pszName[0] == '\0' || strcmp(pszName, ".") == 0 || strcmp(pszName, "..") == 0;
}

// Where writing pszOutput lands, judged the way the system resolves paths,
// against the series of pszPattern (the level path with the mark). On
// Windows both are full paths already, as the system makes them before the
// file system sees them; elsewhere both are as given, and the kernel
// resolves their links and ".." steps by itself: identities decide.
SeriesVerdict JudgeByResolution(const char* pszPattern, const char* pszOutput, const char* pszFormat,
                                const NameFormat* pFmt, int* pnLevel)
{
    // The series: a folder, a name holding the number, and the path after it.
    static NumberedName s_numbered;
    static NameChar s_rgchLeaf[NAME_TEXT_CAPACITY];
    char szFolder[kFullPathCapacity];
    const char* pszRest;
    switch (SplitMarkedPattern(pszPattern, pszFormat, pFmt, szFolder, sizeof(szFolder), &s_numbered, &pszRest)) {
    case SPLIT_DONE:
        break;
    case SPLIT_NUMBER_LOST:
        return OUTPUT_NUMBER_LOST;
    case SPLIT_FAILED:
        return OUTPUT_UNDECIDED;
    }

    const char* pszLeaf = FileNamePart(pszOutput);
    if (IsDotName(pszLeaf))
        return OUTPUT_OUTSIDE;  // names a folder, which cannot be opened for writing
#ifdef _WIN32
    if (strchr(pszLeaf, ':') != NULL)
        return OUTPUT_UNDECIDED;  // a stream of a file: of which file is another question
#endif
    size_t cchLeaf;
    if (!ToNameText(pszLeaf, strlen(pszLeaf), s_rgchLeaf, NAME_TEXT_CAPACITY, &cchLeaf))
        return OUTPUT_UNDECIDED;

    if (pszRest[0] == '\0') {
        // A series name in the series' folder, reached by whatever path.
        char szParent[kFullPathCapacity] = ".";
        FileIdentity idFolder;
        FileIdentity idParent;
        *pnLevel = LevelNumberOf(&s_numbered, s_rgchLeaf, cchLeaf);
        if (*pnLevel != 0 &&
            (pszLeaf == pszOutput || CopyFolderPart(pszOutput, pszLeaf - 1, szParent, sizeof(szParent)))) {
            // A folder that is not there is not the series'; one that cannot
            // be identified may be.
            if (IdentifyPath(szParent, &idParent) && IdentifyPath(szFolder, &idFolder)) {
                if (IsSameFile(&idParent, &idFolder))
                    return OUTPUT_IN_SERIES;
            } else if (!NamesNothing(errno)) {
                return OUTPUT_UNDECIDED;
            }
        }
        *pnLevel = 0;
    } else {
        // Which folders the numbered one can be reached through is more than
        // a cheap check can know: the file name alone decides.
        const char* pszSeriesLeaf = FileNamePart(pszRest);
        static NameChar s_rgchSeriesLeaf[NAME_TEXT_CAPACITY];
        size_t cchSeriesLeaf;
        if (!ToNameText(pszSeriesLeaf, strlen(pszSeriesLeaf), s_rgchSeriesLeaf, NAME_TEXT_CAPACITY,
                        &cchSeriesLeaf) ||
            (cchSeriesLeaf == cchLeaf && NameTextEqual(s_rgchSeriesLeaf, s_rgchLeaf, cchLeaf)))
            return OUTPUT_UNDECIDED;
    }

    // An existing output may be a file of the series under another name: a
    // hard link, a link, a short name.
    FileIdentity idOutput;
    bool fDangling;
    if (!IdentifyWriteTarget(pszOutput, &idOutput, &fDangling))
        return fDangling || !NamesNothing(errno) ? OUTPUT_UNDECIDED : OUTPUT_OUTSIDE;
    if (idOutput.fDirectory)
        return OUTPUT_OUTSIDE;
    if (!FindInSeriesFolder(szFolder, &s_numbered, pszRest, &idOutput, pnLevel))
        return OUTPUT_UNDECIDED;
    return *pnLevel != 0 ? OUTPUT_IN_SERIES : OUTPUT_OUTSIDE;
}

}  // namespace

SeriesVerdict JudgeOutput(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                          const char* pszOutput, int* pnLevel)
{
    *pnLevel = 0;
    char szMarked[MAX_PATH * 2];
    static char s_szMarkedFull[kFullPathCapacity];
    static char s_szOutputFull[kFullPathCapacity];
    if (!BuildMarkedPattern(pszFolder, pszFormat, pFmt, szMarked, sizeof(szMarked)) ||
        !FullPath(szMarked, s_szMarkedFull, sizeof(s_szMarkedFull)) ||
        !FullPath(pszOutput, s_szOutputFull, sizeof(s_szOutputFull)))
        return OUTPUT_UNDECIDED;
    // The mark must survive: a ".." after the number would make every number
    // name the same file.
    if (strchr(s_szMarkedFull, kNumberMark) == NULL)
        return OUTPUT_NUMBER_LOST;
    // What the text says, with ".." taken as written and letter case as the
    // file system folds it...
    bool fJudged;
    *pnLevel = LevelNamedByText(s_szMarkedFull, s_szOutputFull, pszFormat, pFmt, &fJudged);
    if (!fJudged)
        return OUTPUT_UNDECIDED;
    if (*pnLevel != 0)
        return OUTPUT_IN_SERIES;
    // ...and where the system really puts it.
#ifdef _WIN32
    return JudgeByResolution(s_szMarkedFull, s_szOutputFull, pszFormat, pFmt, pnLevel);
#else
    return JudgeByResolution(szMarked, pszOutput, pszFormat, pFmt, pnLevel);
#endif
}

bool OutputOutsideSeries(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                         const char* pszOutput)
{
    int nLevel;
    return JudgeOutput(pszFolder, pszFormat, pFmt, pszOutput, &nLevel) == OUTPUT_OUTSIDE;
}
