#include "series_guard.h"

#include <string.h>

#include "file_identity.h"
#include "full_path.h"
#include "gather.h"
#include "name_text.h"
#include "numbered_name.h"
#include "path_text.h"
#include "series_folder.h"

namespace {

// Stands for the number while the pattern is brought to its full path; a
// control character cannot be part of a name a user can type.
const char kNumberMark = '\x01';

// Room for a full path, which may be longer than the texts it came from.
const size_t kFullPathCapacity = 4096;

// Copies format text, turning "%%" into '%'.
bool AppendLiteral(char* pszOut, size_t* pcch, size_t cbOut, const char* pszFrom, int cchFrom)
{
    for (int i = 0; i < cchFrom; ++i) {
        if (pszFrom[i] == '%' && pszFrom[i + 1] == '%')
            ++i;
        if (*pcch + 1 >= cbOut)
            return false;
        pszOut[(*pcch)++] = pszFrom[i];
    }
    pszOut[*pcch] = '\0';
    return true;
}

// The level file path with the mark where the number goes.
bool BuildMarkedPattern(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                        char* pszOut, size_t cbOut)
{
    // A mark in the texts themselves could stand in for a lost number.
    if (strchr(pszFolder, kNumberMark) != NULL || strchr(pszFormat, kNumberMark) != NULL)
        return false;
    size_t cchFolder = strlen(pszFolder);
    if (cchFolder + 2 >= cbOut)
        return false;
    memcpy(pszOut, pszFolder, cchFolder);
    size_t cch = cchFolder;
    pszOut[cch++] = PATH_SEPARATOR;
    pszOut[cch] = '\0';
    const char* pszAfter = pszFormat + pFmt->nConvStart + pFmt->nConvLength;
    if (!AppendLiteral(pszOut, &cch, cbOut, pszFormat, pFmt->nConvStart) || cch + 1 >= cbOut)
        return false;
    pszOut[cch++] = kNumberMark;
    pszOut[cch] = '\0';
    return AppendLiteral(pszOut, &cch, cbOut, pszAfter, static_cast<int>(strlen(pszAfter)));
}

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

// The folder part of a path up to pszSeparator; a root keeps its separator.
bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut)
{
    size_t cch = static_cast<size_t>(pszSeparator - pszPath);
    if (cch == 0 || pszPath[cch - 1] == ':')
        ++cch;  // "/" or "C:\"
    if (cch >= cbOut)
        return false;
    memcpy(pszOut, pszPath, cch);
    pszOut[cch] = '\0';
    return true;
}

bool HasParentStep(const char* pszPath)
{
    for (const char* p = pszPath; (p = strstr(p, "..")) != NULL; p += 2)
        if ((p == pszPath || p[-1] == PATH_SEPARATOR) && (p[2] == '\0' || p[2] == PATH_SEPARATOR))
            return true;
    return false;
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
    const char* pszMark = strchr(pszPattern, kNumberMark);
    const char* pszSeparator = LastSeparator(pszPattern, static_cast<size_t>(pszMark - pszPattern));
    const char* pszRest = NextSeparator(pszMark + 1);
    if (pszRest == NULL)
        pszRest = pszMark + strlen(pszMark);
    char szFolder[kFullPathCapacity];
    if (pszSeparator == NULL || HasParentStep(pszRest))
        return OUTPUT_NUMBER_LOST;
    if (!CopyFolderPart(pszPattern, pszSeparator, szFolder, sizeof(szFolder)) ||
        !MakeNumberedName(pszSeparator + 1, static_cast<size_t>(pszMark - pszSeparator - 1), pszMark + 1,
                          static_cast<size_t>(pszRest - pszMark - 1), pszFormat, pFmt, &s_numbered))
        return OUTPUT_UNDECIDED;

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
            (pszLeaf == pszOutput || CopyFolderPart(pszOutput, pszLeaf - 1, szParent, sizeof(szParent))) &&
            IdentifyPath(szParent, &idParent) && IdentifyPath(szFolder, &idFolder) &&
            IsSameFile(&idParent, &idFolder))
            return OUTPUT_IN_SERIES;
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
        return fDangling ? OUTPUT_UNDECIDED : OUTPUT_OUTSIDE;
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
