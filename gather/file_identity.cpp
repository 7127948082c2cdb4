#include "file_identity.h"

#ifdef _WIN32
#include <io.h>
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
    return true;
}

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    // No access rights are asked for: this only reads the file's identity and
    // must not be refused because another program has the file open.
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        DWORD dwError = GetLastError();
        errno = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_NAME
                    ? ENOENT
                    : EACCES;
        return false;
    }
    bool fOk = IdentifyHandle(hFile, pId);
    // A device has no identity and holds no level.
    if (!fOk)
        errno = GetFileType(hFile) != FILE_TYPE_DISK ? ENOENT : EIO;
    CloseHandle(hFile);
    return fOk;
}

bool IdentifyWriteTarget(const char* pszPath, FileIdentity* pId, bool* pfDangling)
{
    *pfDangling = false;
    return IdentifyPath(pszPath, pId);
}

bool IsSameOpenFile(FILE* pA, FILE* pB)
{
    // The runtime hands out the OS handle as an integer.
    HANDLE hA = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pA)));  // NOLINT(performance-no-int-to-ptr)
    HANDLE hB = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pB)));  // NOLINT(performance-no-int-to-ptr)
    // A full identity asks the volume, which costs more than copying a level
    // (about 600 us under Wine); the size is the file's own and one file has
    // one size. Only files of equal size are identified.
    FILE_STANDARD_INFO infoA;
    FILE_STANDARD_INFO infoB;
    if (GetFileInformationByHandleEx(hA, FileStandardInfo, &infoA, sizeof(infoA)) &&
        GetFileInformationByHandleEx(hB, FileStandardInfo, &infoB, sizeof(infoB)) &&
        infoA.EndOfFile.QuadPart != infoB.EndOfFile.QuadPart)
        return false;
    FileIdentity idA;
    FileIdentity idB;
    return !IdentifyHandle(hA, &idA) || !IdentifyHandle(hB, &idB) || IsSameFile(&idA, &idB);
}

#else

void IdentityFromStat(const struct stat* pSt, FileIdentity* pId)
{
    pId->ullVolume = static_cast<unsigned long long>(pSt->st_dev);
    pId->ullIndex = static_cast<unsigned long long>(pSt->st_ino);
    pId->fDirectory = S_ISDIR(pSt->st_mode);
    pId->cLinks = static_cast<unsigned long>(pSt->st_nlink);
}

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    struct stat st;
    if (stat(pszPath, &st) != 0)
        return false;
    IdentityFromStat(&st, pId);
    return true;
}

bool IsSameOpenFile(FILE* pA, FILE* pB)
{
    struct stat stA;
    struct stat stB;
    return fstat(fileno(pA), &stA) != 0 || fstat(fileno(pB), &stB) != 0 ||
           (stA.st_dev == stB.st_dev && stA.st_ino == stB.st_ino);
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
    return pA->ullVolume == pB->ullVolume && pA->ullIndex == pB->ullIndex;
}
