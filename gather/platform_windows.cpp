// Only the files and code pages of <windows.h>: the window system stays out.
#define WIN32_LEAN_AND_MEAN
#define NOUSER
#define NOGDI
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "platform.h"

// At the end of a name Windows drops trailing spaces ("%-3d").
const bool kNamesLoseTrailingSpaces = true;
const bool kTextEndsAtCtrlZ = true;

namespace {

// The OS handle behind a stream; the runtime hands it out as an integer.
HANDLE StreamHandle(FILE* pFile)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pFile)));  // NOLINT(performance-no-int-to-ptr)
}

// errno for the last error of a call given a path: ENOENT when the path
// names nothing (no such file or folder, an invalid name), ENAMETOOLONG for
// one longer than a narrow call takes, EACCES for anything else. A path too
// long to look at may name a file that a shorter spelling opens (the
// literal prefix adds four characters): a guard cannot take it for nothing.
int PathErrno()
{
    DWORD dwError = GetLastError();
    if (dwError == ERROR_FILENAME_EXCED_RANGE)
        return ENAMETOOLONG;
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_NAME
               ? ENOENT
               : EACCES;
}

// A path that reaches the file system as it stands: after \\?\, or after
// \??\, the system's own name for the same place, which the full-path rule
// would take for a folder "??" of the current drive while opening it opens
// the path after it.
bool IsLiteralPath(const char* pszPath)
{
    return strncmp(pszPath, "\\\\?\\", 4) == 0 || strncmp(pszPath, "\\??\\", 4) == 0;
}

// What follows \\?\ reaches the file system as it stands, where a '/' is
// no separator but no character of a name either (NTFS refuses it), so no
// file opens through a path that holds one there.
bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// What this layer keeps between calls: two names being compared, and one
// batch of a folder's listing, aligned as its entries need.
struct PlatformBuffers {
    NameChar rgchA[FULL_PATH_CAPACITY];
    NameChar rgchB[FULL_PATH_CAPACITY];
    LONGLONG rgllListing[64 * 1024 / sizeof(LONGLONG)];
} g_platform;

}  // namespace

// --- Separators.

const char* LastSeparator(const char* pszPath, size_t cch)
{
    const char* pszLast = NULL;
    for (size_t i = 0; i < cch; ++i) {
        if (IsSeparator(pszPath[i]))
            pszLast = pszPath + i;
        else if (IsDBCSLeadByte(static_cast<BYTE>(pszPath[i])) && i + 1 < cch)
            ++i;  // its second byte, whatever its value
    }
    return pszLast;
}

const char* NextSeparator(const char* pszFrom)
{
    for (const char* p = pszFrom; *p != '\0'; ++p) {
        if (IsSeparator(*p))
            return p;
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            ++p;
    }
    return NULL;
}

const char* FileNamePart(const char* pszPath)
{
    const char* pszSeparator = LastSeparator(pszPath, strlen(pszPath));
    return pszSeparator != NULL ? pszSeparator + 1 : pszPath;
}

bool SameSpelling(const char* pszA, const char* pszB)
{
    for (; *pszA == *pszB || (IsSeparator(*pszA) && IsSeparator(*pszB)); ++pszA, ++pszB)
        if (*pszA == '\0')
            return true;
    return false;
}

bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut)
{
    // A root keeps its separator: "\", "C:\".
    int cch = static_cast<int>(pszSeparator - pszPath);
    int cchOut = snprintf(pszOut, cbOut, "%.*s", cch == 0 || pszPath[cch - 1] == ':' ? cch + 1 : cch, pszPath);
    return cchOut >= 0 && static_cast<size_t>(cchOut) < cbOut;
}

// --- Names: UTF-16, compared as NTFS does.

bool ToNameText(const char* psz, size_t cch, NameChar* pOut, size_t cchOut, size_t* pcchName)
{
    *pcchName = 0;
    if (cch == 0)
        return true;
    if (cch > static_cast<size_t>(INT_MAX) || cchOut > static_cast<size_t>(INT_MAX))
        return false;
    int cchWide = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, psz, static_cast<int>(cch), pOut,
                                      static_cast<int>(cchOut));
    if (cchWide <= 0)
        return false;
    *pcchName = static_cast<size_t>(cchWide);
    return true;
}

bool NameTextEqual(const NameChar* pA, const NameChar* pB, size_t cch)
{
    // The rule NTFS follows: ordinal, with the simple upper-case mapping.
    // NTFS folds case by the table stored on the volume when it was made,
    // which may differ from this system's for letters added to Unicode
    // since, and Wine folds by its own. Two names this rule holds apart but
    // a volume holds equal are one existing file, which the guard's look by
    // identity finds; a level that does not exist cannot be written.
    return cch == 0 || CompareStringOrdinal(pA, static_cast<int>(cch), pB, static_cast<int>(cch), TRUE) ==
                           CSTR_EQUAL;
}

bool SameName(const char* pA, size_t cchA, const char* pB, size_t cchB)
{
    size_t cchTextA;
    size_t cchTextB;
    return ToNameText(pA, cchA, g_platform.rgchA, FULL_PATH_CAPACITY, &cchTextA) &&
           ToNameText(pB, cchB, g_platform.rgchB, FULL_PATH_CAPACITY, &cchTextB) && cchTextA == cchTextB &&
           NameTextEqual(g_platform.rgchA, g_platform.rgchB, cchTextA);
}

// On NTFS "screen.3::$DATA" is screen.3's data and "screen.3:x" a stream of
// it, which an identity may not tell apart from the file; Wine takes ':' as
// a character of the name. A ':' in a file name is refused for both.
bool IsStreamName(const char* pszName) { return strchr(pszName, ':') != NULL; }

const bool kNamesHoldQuotes = false;

// A '?' is never the second byte of a double-byte character (those start
// at 0x40), so a byte scan finds only the character.
unsigned CodePageLosing(const char* pszPath)
{
    const char* pszNames = IsLiteralPath(pszPath) ? pszPath + 4 : pszPath;
    return strchr(pszNames, '?') != NULL ? GetACP() : 0;
}

// --- Paths.

bool FullPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    // What follows \\?\ reaches the file system unchanged, so it is full as
    // it stands; the full-path rule would drop a dot in its middle (lv.\).
    // \??\ is spelled as \\?\, which opens the same.
    if (!IsLiteralPath(pszPath))
        return _fullpath(pszOut, pszPath, cbOut) != NULL;
    int cch = snprintf(pszOut, cbOut, "\\\\?\\%s", pszPath + 4);
    return cch > 0 && static_cast<size_t>(cch) < cbOut;
}

bool ResolvablePath(const char* pszPath, char* pszOut, size_t cbOut) { return FullPath(pszPath, pszOut, cbOut); }

bool WorkingFolderSpelled(const char* pszPath)
{
    // The system takes any character before a ':' for a drive, and no second
    // byte of a character is a ':'.
    bool fDrive = pszPath[0] != '\0' && pszPath[1] == ':';
    // Skipped: a literal path, a share's or one from a drive's root hangs from no working folder.
    if (IsLiteralPath(pszPath) || (IsSeparator(pszPath[0]) && IsSeparator(pszPath[1])) ||
        (fDrive && IsSeparator(pszPath[2])))
        return true;
    // The folder it hangs from: its drive's own ("Z:lv"), the working
    // drive's root ("\lv"), or the working folder.
    char szBase[4] = {fDrive ? pszPath[0] : IsSeparator(pszPath[0]) ? '\\' : '.', fDrive ? ':' : '\0', '.', '\0'};
    // Both spellings must lead to one folder, or both to none.
    char szFull[MAX_PATH];
    FileIdentity idOpened = {0, 0, false, false};
    FileIdentity idSpelled = idOpened;
    bool fOpened = IdentifyPath(szBase, &idOpened);
    bool fSpelled = _fullpath(szFull, szBase, sizeof(szFull)) != NULL && IdentifyPath(szFull, &idSpelled);
    return fOpened ? fSpelled && IsSameFile(&idOpened, &idSpelled) : !fSpelled;
}

bool FolderAsOpened(const char* pszFolder, char* pszOut, size_t cbOut)
{
    // The literal spelling of a full path: a drive path, or a device path
    // (\\.\, whose parts are rewritten as a drive path's are), after \\?\; a
    // share's path as \\?\UNC\. What follows \\?\ goes to the file system as
    // it stands, so "lv " and "CON" there are the folders of those names.
    const char* pszPrefix = "\\\\?\\";
    const char* pszRest = pszFolder;
    if (IsLiteralPath(pszFolder) || strncmp(pszFolder, "\\\\.\\", 4) == 0) {
        pszRest = pszFolder + 4;
    } else if (strncmp(pszFolder, "\\\\", 2) == 0) {
        pszPrefix = "\\\\?\\UNC\\";
        pszRest = pszFolder + 2;
    } else if (pszFolder[0] == '\0' || pszFolder[1] != ':') {
        pszPrefix = "";  // no full path: left as it is
    }
    int cch = snprintf(pszOut, cbOut, "%s%s", pszPrefix, pszRest);
    return cch > 0 && static_cast<size_t>(cch) < cbOut;
}

// --- File identities.

namespace {

// What every device is identified as.
const FileIdentity kDevice = {~0ULL, ~0ULL, false, true};

bool IdentifyHandle(void* hFile, FileIdentity* pId)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (hFile == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(hFile, &info))
        return false;
    pId->ullVolume = info.dwVolumeSerialNumber;
    pId->ullIndex = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    pId->fDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    pId->fDevice = false;
    return true;
}

}  // namespace

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    // No access rights are asked for: this only reads the file's identity and
    // must not be refused because another program has the file open.
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        // A device name (CON, NUL.txt) is one wherever it stands: it holds
        // no level, even where it cannot be opened (CON without a console).
        char szFull[MAX_PATH];
        errno = PathErrno();
        if (_fullpath(szFull, pszPath, sizeof(szFull)) != NULL && strncmp(szFull, "\\\\.\\", 4) == 0 &&
            strchr(szFull + 4, '\\') == NULL)
            errno = ENOENT;
        return false;
    }
    // A device holds no level; all are identified as one.
    bool fOk = GetFileType(hFile) != FILE_TYPE_DISK || IdentifyHandle(hFile, pId);
    if (GetFileType(hFile) != FILE_TYPE_DISK)
        *pId = kDevice;
    else if (!fOk)
        errno = EIO;
    CloseHandle(hFile);
    return fOk;
}

bool WriteTargetPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    // Links here are opened by the system, which the identity of an existing
    // output follows; Wine shows none, so no more is claimed.
    if (FullPath(pszPath, pszOut, cbOut))
        return true;
    errno = ENAMETOOLONG;
    return false;
}

namespace {

// The size of an open file, what its mark holds here.
bool MarkHandle(HANDLE hFile, FileMark* pMark)
{
    FILE_STANDARD_INFO info;
    if (!GetFileInformationByHandleEx(hFile, FileStandardInfo, &info, sizeof(info)))
        return false;
    pMark->ullFirst = static_cast<unsigned long long>(info.EndOfFile.QuadPart);
    pMark->ullSecond = info.Directory ? 1 : 0;
    return true;
}

}  // namespace

OutputCheck CheckOutput(FILE* pLevel, const FileMark* pLevelMark, FILE* pOutput, FileIdentity* pOutputId, bool fTake)
{
    // A volume serial of 0 is none: Wine answers 0 where it could not ask
    // the volume (its mount manager busy after a drive letter changed), and
    // the same path's file index then still tells the file.
    // A level file is always a disk file, so a device or pipe is none of
    // them; it keeps an identity of its own for the reopenings.
    HANDLE hOutput = StreamHandle(pOutput);
    FileIdentity id = kDevice;
    FileMark mark = {~0ULL, 0};
    bool fDisk = GetFileType(hOutput) == FILE_TYPE_DISK;
    if (fDisk && (!IdentifyHandle(hOutput, &id) || !MarkHandle(hOutput, &mark))) {
        errno = EIO;
        return OUTPUT_UNTOLD;
    }
    if (fTake)
        *pOutputId = id;
    else if (id.ullIndex != pOutputId->ullIndex ||
             (id.ullVolume != pOutputId->ullVolume && id.ullVolume != 0 && pOutputId->ullVolume != 0))
        return OUTPUT_REPLACED;
    // One file has one size, so only a level of the output's size is
    // identified in full.
    if (!fDisk || pLevelMark->ullFirst != mark.ullFirst)
        return OUTPUT_APART;
    FileIdentity idLevel;
    if (!IdentifyHandle(StreamHandle(pLevel), &idLevel)) {
        errno = EIO;
        return OUTPUT_UNTOLD;
    }
    return MayBeSameFile(&idLevel, &id) ? OUTPUT_IS_LEVEL : OUTPUT_APART;
}

FILE* OpenOutput(const char* pszPath, bool fCreate)
{
    // As fopen's "at" opens it, but a new file only where none is there.
    HANDLE hFile = CreateFileA(pszPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               fCreate ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        DWORD dwError = GetLastError();
        errno = dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS ? EEXIST : PathErrno();
        return NULL;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(hFile), _O_APPEND | _O_TEXT);
    FILE* pOutput = fd >= 0 ? _fdopen(fd, "at") : NULL;
    if (pOutput == NULL) {
        int nError = fd >= 0 ? errno : EMFILE;
        if (fd >= 0)
            (void)_close(fd);
        else
            CloseHandle(hFile);
        if (fCreate)
            (void)DeleteFileA(pszPath);  // made here a moment ago
        errno = nError;
    }
    return pOutput;
}

bool EmptyOutput(FILE* pOutput)
{
    HANDLE hOutput = StreamHandle(pOutput);
    LARGE_INTEGER llStart = {};
    if (GetFileType(hOutput) != FILE_TYPE_DISK)
        return true;
    if (fflush(pOutput) == 0 && SetFilePointerEx(hOutput, llStart, NULL, FILE_BEGIN) && SetEndOfFile(hOutput))
        return true;
    errno = EACCES;
    return false;
}

// --- Level files.

namespace {

// Why fopen found no file to read: a name that names nothing or a folder
// ends the series; anything else (access denied, a sharing violation, too
// many open files) is a failure, with the runtime's errno kept.
LevelOpening WhyNotOpened(const char* pszName)
{
    int nError = errno;
    DWORD dwAttributes = GetFileAttributesA(pszName);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        // A name too long to look at ends the series only where the runtime
        // could not open it either; one it opens and finds locked is there.
        int nWhy = PathErrno();
        if (nWhy == ENOENT || (nWhy == ENAMETOOLONG && nError == ENOENT)) {
            errno = nWhy;
            return LEVEL_ABSENT;
        }
    } else if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;  // opening a folder is "access denied" here
        return LEVEL_ABSENT;
    }
    errno = nError;
    return LEVEL_FAILED;
}

}  // namespace

LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel, FileMark* pMark)
{
    *ppLevel = fopen(pszName, "rt");
    if (*ppLevel == NULL)
        return WhyNotOpened(pszName);
    // A device opens like a file here and would be read for ever.
    HANDLE hFile = StreamHandle(*ppLevel);
    LevelOpening opening = LEVEL_OPENED;
    if (GetFileType(hFile) != FILE_TYPE_DISK) {
        errno = 0;  // no system error: a file of the wrong kind
        opening = LEVEL_ABSENT;
    } else if (!MarkHandle(hFile, pMark)) {
        errno = EIO;
        opening = LEVEL_FAILED;
    } else if (pMark->ullSecond != 0) {
        errno = EISDIR;
        opening = LEVEL_ABSENT;
    }
    if (opening != LEVEL_OPENED) {
        int nError = errno;
        (void)fclose(*ppLevel);
        *ppLevel = NULL;
        errno = nError;
    }
    return opening;
}

unsigned long long BytesLeftOutAtCtrlZ(const FileMark* pMark, unsigned long long cbRead, unsigned long long cLineEnds)
{
    // The file's size (its mark) less what was read, less a CR for each
    // line end, less the Ctrl+Z itself.
    unsigned long long cbAccounted = cbRead + cLineEnds + 1;
    return pMark->ullFirst > cbAccounted ? pMark->ullFirst - cbAccounted : 0;
}

void ReadAsBytes(FILE* pFile) { (void)_setmode(_fileno(pFile), _O_BINARY); }

// --- Folders.

namespace {

// Hands each entry of one batch of the listing to pfnEntry: false when it
// stopped the listing.
bool ListBatch(const FileIdentity* pIdFolder, FolderEntryProc pfnEntry, void* pContext)
{
    char szName[MAX_PATH * 2];
    char szShortName[32];
    FolderEntry entry = {szName, szShortName, true, false, *pIdFolder};
    for (const BYTE* pb = reinterpret_cast<const BYTE*>(g_platform.rgllListing);;) {
        const FILE_ID_BOTH_DIR_INFO* pInfo = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(pb);
        int cb = WideCharToMultiByte(CP_ACP, 0, pInfo->FileName, static_cast<int>(pInfo->FileNameLength / sizeof(WCHAR)),
                                     szName, sizeof(szName) - 1, NULL, NULL);
        int cbShort = WideCharToMultiByte(CP_ACP, 0, pInfo->ShortName, static_cast<int>(pInfo->ShortNameLength / sizeof(WCHAR)),
                                          szShortName, sizeof(szShortName) - 1, NULL, NULL);
        szName[cb > 0 ? cb : 0] = '\0';
        // NTFS stores a short name with the file, FAT makes one with the
        // entry, Wine makes one from the name's hash: each opens the file, so
        // an entry that is the output counts as a level by either name.
        szShortName[cbShort > 0 ? cbShort : 0] = '\0';
        // Assumes a listed file id is the one an open handle reports, as on
        // NTFS; a link's id is its own, and 0 is no id (some shares).
        entry.fMayLead = (pInfo->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.fIdentified = !entry.fMayLead && pInfo->FileId.QuadPart != 0;
        entry.id.ullIndex = static_cast<unsigned long long>(pInfo->FileId.QuadPart);
        entry.id.fDirectory = (pInfo->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (cb > 0 && strcmp(szName, ".") != 0 && strcmp(szName, "..") != 0 && !pfnEntry(&entry, pContext))
            return false;
        if (pInfo->NextEntryOffset == 0)
            return true;
        pb += pInfo->NextEntryOffset;
    }
}

}  // namespace

bool ListFolder(const char* pszFolder, bool /*fIdentify*/, FolderEntryProc pfnEntry, void* pContext)
{
    // A search in what is no folder fails alike for every reason; the
    // attributes tell them apart.
    DWORD dwAttributes = GetFileAttributesA(pszFolder);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        errno = PathErrno();
        return false;
    }
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errno = ENOTDIR;
        return false;
    }
    HANDLE hFolder = CreateFileA(pszFolder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    FileIdentity idFolder;
    bool fOk = hFolder != INVALID_HANDLE_VALUE && IdentifyHandle(hFolder, &idFolder);
    FILE_INFO_BY_HANDLE_CLASS infoClass = FileIdBothDirectoryRestartInfo;
    while (fOk) {
        if (!GetFileInformationByHandleEx(hFolder, infoClass, g_platform.rgllListing, sizeof(g_platform.rgllListing))) {
            fOk = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
        infoClass = FileIdBothDirectoryInfo;
        if (!ListBatch(&idFolder, pfnEntry, pContext))
            break;
    }
    if (hFolder != INVALID_HANDLE_VALUE)
        CloseHandle(hFolder);
    if (!fOk)
        errno = EACCES;
    return fOk;
}
