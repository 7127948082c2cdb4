#include "file_identity.h"

#ifdef _WIN32
#include <io.h>
#include <string.h>

#include "windows_files.h"
#else
#include <sys/stat.h>
#endif

#ifdef _WIN32

bool IdentifyHandle(void* hFile, FileIdentity* pId)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (hFile == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(hFile, &info))
        return false;
    pId->ullVolume = info.dwVolumeSerialNumber;
    pId->ullIndex = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    pId->fDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    pId->cLinks = info.nNumberOfLinks;
    pId->ullIndexHigh = 0;
    return true;
}

bool IdentifyHandleCheaply(void* hFile, FileIdentity* pId)
{
    // The id of the file alone: GetFileInformationByHandle also asks the
    // volume for its serial, which under Wine costs more than copying a
    // level. Windows before 8 and some file systems lack this class; there
    // the full call serves, and the same file always takes the same way.
    FILE_ID_INFO info;
    if (!GetFileInformationByHandleEx(hFile, FileIdInfo, &info, sizeof(info)))
        return IdentifyHandle(hFile, pId);
    unsigned long long rgull[2];
    memcpy(rgull, info.FileId.Identifier, sizeof(rgull));
    pId->ullVolume = info.VolumeSerialNumber;
    pId->ullIndex = rgull[0];
    pId->ullIndexHigh = rgull[1];
    pId->fDirectory = false;  // not asked: only files are identified this way
    pId->cLinks = 0;
    return true;
}

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    // No access rights are asked for: this only reads the file's identity and
    // must not be refused because another program has the file open.
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    bool fOk = IdentifyHandle(hFile, pId);
    CloseHandle(hFile);
    return fOk;
}

bool IdentifyWriteTarget(const char* pszPath, FileIdentity* pId, bool* pfDangling)
{
    *pfDangling = false;
    return IdentifyPath(pszPath, pId);
}

bool IdentifyStream(FILE* pFile, FileIdentity* pId)
{
    // The runtime hands out the OS handle as an integer.
    return IdentifyHandleCheaply(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pFile))),  // NOLINT(performance-no-int-to-ptr)
                          pId);
}

#else

void IdentityFromStat(const struct stat* pSt, FileIdentity* pId)
{
    pId->ullVolume = static_cast<unsigned long long>(pSt->st_dev);
    pId->ullIndex = static_cast<unsigned long long>(pSt->st_ino);
    pId->fDirectory = S_ISDIR(pSt->st_mode);
    pId->cLinks = static_cast<unsigned long>(pSt->st_nlink);
    pId->ullIndexHigh = 0;
}

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    struct stat st;
    if (stat(pszPath, &st) != 0)
        return false;
    IdentityFromStat(&st, pId);
    return true;
}

bool IdentifyStream(FILE* pFile, FileIdentity* pId)
{
    struct stat st;
    if (fstat(fileno(pFile), &st) != 0)
        return false;
    IdentityFromStat(&st, pId);
    return true;
}

bool IdentifyWriteTarget(const char* pszPath, FileIdentity* pId, bool* pfDangling)
{
    struct stat st;
    *pfDangling = false;
    if (lstat(pszPath, &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode) && stat(pszPath, &st) != 0) {
        *pfDangling = true;
        return false;
    }
    IdentityFromStat(&st, pId);
    return true;
}

#endif

bool IsSameFile(const FileIdentity* pA, const FileIdentity* pB)
{
    return pA->ullVolume == pB->ullVolume && pA->ullIndex == pB->ullIndex && pA->ullIndexHigh == pB->ullIndexHigh;
}
