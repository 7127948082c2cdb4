#include "series_folder.h"

#include <stdio.h>
#include <string.h>

#include "gather.h"

#ifdef _WIN32
#include "windows_files.h"
#else
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#endif

namespace {

const size_t kPathCapacity = NAME_TEXT_CAPACITY;

// Identifies pszFolder, a separator, the entry and pszRest.
bool IdentifyEntryPath(const char* pszFolder, const char* pszEntry, const char* pszRest, FileIdentity* pId)
{
    char szPath[kPathCapacity];
    errno = 0;  // stays 0 for a name too long to build
    int cch = snprintf(szPath, sizeof(szPath), "%s%c%s%s", pszFolder, PATH_SEPARATOR, pszEntry, pszRest);
    // A name too long to build is one the gathering cannot open either.
    return cch > 0 && static_cast<size_t>(cch) < sizeof(szPath) && IdentifyPath(szPath, pId);
}

}  // namespace

#ifdef _WIN32

namespace {

// One listing buffer, aligned as the entries need.
LONGLONG g_rgllListing[64 * 1024 / sizeof(LONGLONG)];

// The entry's level number, 0 when it is none.
int SeriesEntryNumber(const NumberedName* pNumbered, const FILE_ID_BOTH_DIR_INFO* pInfo)
{
    // Either name opens the file, so the format may spell either.
    int nLevel = LevelNumberOf(pNumbered, pInfo->FileName, pInfo->FileNameLength / sizeof(WCHAR));
    if (nLevel == 0 && pInfo->ShortNameLength > 0)
        nLevel = LevelNumberOf(pNumbered, pInfo->ShortName, pInfo->ShortNameLength / sizeof(WCHAR));
    return nLevel;
}

// Whether the listed entry, on the folder's volume, is the file: 1 or 0, -1
// when that cannot be told.
int EntryIsFile(const char* pszFolder, const FileIdentity* pIdFolder, const FILE_ID_BOTH_DIR_INFO* pInfo,
                 const char* pszRest, const FileIdentity* pIdFile)
{
    if (pszRest[0] == '\0' && (pInfo->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return pIdFolder->ullVolume == pIdFile->ullVolume &&
               static_cast<unsigned long long>(pInfo->FileId.QuadPart) == pIdFile->ullIndex ? 1 : 0;
    // Links, junctions and folders on the way are opened to see what they lead to.
    char szEntry[MAX_PATH * 2];
    int cb = WideCharToMultiByte(CP_ACP, 0, pInfo->FileName, static_cast<int>(pInfo->FileNameLength / sizeof(WCHAR)),
                                 szEntry, sizeof(szEntry) - 1, NULL, NULL);
    if (cb <= 0)
        return 0;
    szEntry[cb] = '\0';
    FileIdentity id;
    if (!IdentifyEntryPath(pszFolder, szEntry, pszRest, &id))
        return errno == 0 || NamesNothing(errno) ? 0 : -1;
    return IsSameFile(&id, pIdFile) ? 1 : 0;
}

}  // namespace

bool FindInSeriesFolder(const char* pszFolder, const NumberedName* pNumbered, const char* pszRest,
                        const FileIdentity* pIdFile, int* pnLevel)
{
    *pnLevel = 0;
    HANDLE hFolder = CreateFileA(pszFolder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFolder == INVALID_HANDLE_VALUE) {
        DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
    }
    FileIdentity idFolder;
    bool fOk = IdentifyHandle(hFolder, &idFolder);
    FILE_INFO_BY_HANDLE_CLASS infoClass = FileIdBothDirectoryRestartInfo;
    while (fOk && *pnLevel == 0) {
        if (!GetFileInformationByHandleEx(hFolder, infoClass, g_rgllListing, sizeof(g_rgllListing))) {
            fOk = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
        infoClass = FileIdBothDirectoryInfo;
        const BYTE* pb = reinterpret_cast<const BYTE*>(g_rgllListing);
        for (;;) {
            const FILE_ID_BOTH_DIR_INFO* pInfo = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(pb);
            int nLevel = SeriesEntryNumber(pNumbered, pInfo);
            int nIsFile = nLevel != 0 ? EntryIsFile(pszFolder, &idFolder, pInfo, pszRest, pIdFile) : 0;
            if (nIsFile < 0)
                fOk = false;
            if (nIsFile != 0) {
                *pnLevel = nIsFile > 0 ? nLevel : 0;
                break;
            }
            if (pInfo->NextEntryOffset == 0)
                break;
            pb += pInfo->NextEntryOffset;
        }
    }
    CloseHandle(hFolder);
    return fOk;
}

#else

bool FindInSeriesFolder(const char* pszFolder, const NumberedName* pNumbered, const char* pszRest,
                        const FileIdentity* pIdFile, int* pnLevel)
{
    *pnLevel = 0;
    DIR* pDir = opendir(pszFolder);
    if (pDir == NULL)
        return errno == ENOENT || errno == ENOTDIR;
    bool fLeaf = pszRest[0] == '\0';
    // With a single hard link a plain entry can only be the file by its own
    // name, which the caller has judged already.
    bool fOtherHardLinks = pIdFile->cLinks > 1;
    for (;;) {
        errno = 0;
        const struct dirent* pEntry = readdir(pDir);
        if (pEntry == NULL)
            break;
        if (fLeaf && pEntry->d_type != DT_LNK && pEntry->d_type != DT_UNKNOWN && !fOtherHardLinks)
            continue;
        int nLevel = LevelNumberOf(pNumbered, pEntry->d_name, strlen(pEntry->d_name));
        if (nLevel == 0)
            continue;
        FileIdentity id;
        struct stat st;
        bool fIdentified = fLeaf ? fstatat(dirfd(pDir), pEntry->d_name, &st, 0) == 0
                                 : IdentifyEntryPath(pszFolder, pEntry->d_name, pszRest, &id);
        if (!fIdentified) {
            // A link to nothing or a name too long holds no level; a file
            // that cannot be identified may be the one.
            if (errno == 0 || NamesNothing(errno) || errno == ELOOP)
                continue;
            break;
        }
        if (fLeaf)
            IdentityFromStat(&st, &id);
        if (IsSameFile(&id, pIdFile)) {
            *pnLevel = nLevel;
            break;
        }
    }
    bool fOk = *pnLevel != 0 || errno == 0;
    (void)closedir(pDir);
    return fOk;
}

#endif
