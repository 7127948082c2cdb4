#include "level_file.h"

#include <errno.h>

#ifdef _WIN32
#include <io.h>

#include "windows_files.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

namespace {

// Why fopen found no file to read: a name that names nothing or a folder
// ends the series; anything else (access denied, a sharing violation, too
// many open files) is a failure, with the runtime's errno kept.
LevelOpening WhyNotOpened(const char* pszName)
{
    int nError = errno;
    DWORD dwAttributes = GetFileAttributesA(pszName);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        DWORD dwError = GetLastError();
        if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_NAME ||
            dwError == ERROR_FILENAME_EXCED_RANGE) {
            errno = ENOENT;
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

LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel)
{
    *ppLevel = fopen(pszName, "rt");
    if (*ppLevel == NULL)
        return WhyNotOpened(pszName);
    // A device opens like a file here and would be read for ever.
    HANDLE hFile = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(*ppLevel)));  // NOLINT(performance-no-int-to-ptr)
    FILE_STANDARD_INFO info;
    LevelOpening opening = LEVEL_OPENED;
    if (GetFileType(hFile) != FILE_TYPE_DISK) {
        errno = 0;  // no system error: a file of the wrong kind
        opening = LEVEL_ABSENT;
    } else if (!GetFileInformationByHandleEx(hFile, FileStandardInfo, &info, sizeof(info))) {
        errno = EIO;
        opening = LEVEL_FAILED;
    } else if (info.Directory) {
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

#else

LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel)
{
    *ppLevel = NULL;
    // Without O_NONBLOCK opening a FIFO waits for a writer. On a regular
    // file the flag changes nothing, so it can stay.
    int fd = open(pszName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? LEVEL_ABSENT : LEVEL_FAILED;
    struct stat st;
    LevelOpening opening = LEVEL_FAILED;
    if (fstat(fd, &st) != 0) {
        // what fstat said
    } else if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : 0;  // 0: no system error, a file of the wrong kind
        opening = LEVEL_ABSENT;
    } else if ((*ppLevel = fdopen(fd, "r")) != NULL) {
        return LEVEL_OPENED;
    }
    int nError = errno;
    (void)close(fd);
    errno = nError;
    return opening;
}

#endif
