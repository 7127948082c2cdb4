#include "series_guard.h"

#include <limits.h>
#include <string.h>

#include "file_identity.h"
#include "full_path.h"
#include "gather.h"

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

// Reads the number a conversion would have written: padding spaces, an
// optional 0x, then digits. Returns 0 when the text is no such number.
int ReadLevelNumber(const char* pch, size_t cch, char chConv)
{
    size_t i = 0;
    while (i < cch && pch[i] == ' ')
        ++i;
    int nBase = 10;
    if (chConv == 'x' || chConv == 'X') {
        nBase = 16;
        if (i + 1 < cch && pch[i] == '0' && (pch[i + 1] == 'x' || pch[i + 1] == 'X'))
            i += 2;
    }
    long long llValue = 0;
    size_t cDigits = 0;
    for (; i < cch; ++i, ++cDigits) {
        char ch = pch[i];
        int nDigit;
        if (ch >= '0' && ch <= '9')
            nDigit = ch - '0';
        else if (nBase == 16 && ch >= 'a' && ch <= 'f')
            nDigit = ch - 'a' + 10;
        else if (nBase == 16 && ch >= 'A' && ch <= 'F')
            nDigit = ch - 'A' + 10;
        else
            break;
        llValue = llValue * nBase + nDigit;
        if (llValue > INT_MAX)
            return 0;
    }
    while (i < cch && pch[i] == ' ')
        ++i;
    if (i != cch || cDigits == 0)
        return 0;
    return static_cast<int>(llValue);
}

// Does the output's full path spell a level file's full path for some number?
bool NamesLevelFile(const char* pszMarked, const char* pszOutput, const char* pszFormat,
                    const NameFormat* pFmt)
{
    const char* pszMark = strchr(pszMarked, kNumberMark);
    size_t cchHead = static_cast<size_t>(pszMark - pszMarked);
    size_t cchTail = strlen(pszMark + 1);
    size_t cchOutput = strlen(pszOutput);
    if (cchOutput <= cchHead + cchTail)
        return false;
    if (!PathEqualN(pszOutput, pszMarked, cchHead) ||
        !PathEqualN(pszOutput + cchOutput - cchTail, pszMark + 1, cchTail))
        return false;
    const char* pchNumber = pszOutput + cchHead;
    size_t cchNumber = cchOutput - cchHead - cchTail;
    int nLevel = ReadLevelNumber(pchNumber, cchNumber, pFmt->chConv);
    if (nLevel < 1)
        return false;
    char szNumber[MAX_PATH];
    if (!ExpandConversion(szNumber, sizeof(szNumber), pszFormat, pFmt, nLevel))
        return false;
    return strlen(szNumber) == cchNumber && PathEqualN(szNumber, pchNumber, cchNumber);
}

// Is the existing output one of the existing level files under another name?
bool IsExistingLevelFile(const FileIdentity* pIdOutput, const char* pszFolder, const char* pszFormat)
{
    char szName[MAX_PATH];
    for (int nLevel = 1;; ++nLevel) {
        FileIdentity idLevel;
        if (!ExpandLevelName(szName, sizeof(szName), pszFolder, pszFormat, nLevel) ||
            !IdentifyPath(szName, &idLevel))
            return false;
        if (IsSameFile(&idLevel, pIdOutput))
            return true;
        if (nLevel == INT_MAX)
            return false;
    }
}

}  // namespace

bool OutputOutsideSeries(const char* pszFolder, const char* pszFormat, const NameFormat* pFmt,
                         const char* pszOutput)
{
    char szMarked[MAX_PATH * 2];
    char szMarkedFull[kFullPathCapacity];
    char szOutputFull[kFullPathCapacity];
    if (!BuildMarkedPattern(pszFolder, pszFormat, pFmt, szMarked, sizeof(szMarked)) ||
        !FullPath(szMarked, szMarkedFull, sizeof(szMarkedFull)) ||
        !FullPath(pszOutput, szOutputFull, sizeof(szOutputFull)))
        return false;
    // The mark must survive: a ".." after the number would make every number
    // name the same file.
    const char* pszMark = strchr(szMarkedFull, kNumberMark);
    if (pszMark == NULL)
        return false;
    if (NamesLevelFile(szMarkedFull, szOutputFull, pszFormat, pFmt))
        return false;

    // An existing output that can be reached by another name may be a level
    // file: compare it with each of them before it is truncated.
    FileIdentity idOutput;
    return !(IdentifyPath(pszOutput, &idOutput) && MayHaveOtherNames(&idOutput) &&
             IsExistingLevelFile(&idOutput, pszFolder, pszFormat));
}
