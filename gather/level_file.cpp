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

FILE* OpenLevelFile(const char* pszName, FileIdentity* /*pId*/)
{
    // A device opens like a file here and would be read for ever; both
    // checks cost about a microsecond, unlike a full identity.
    FILE* pLevel = fopen(pszName, "rt");
    if (pLevel == NULL)
        return NULL;
    HANDLE hFile = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pLevel)));  // NOLINT(performance-no-int-to-ptr)
    FILE_STANDARD_INFO info;
    if (GetFileType(hFile) != FILE_TYPE_DISK ||
        !GetFileInformationByHandleEx(hFile, FileStandardInfo, &info, sizeof(info)) || info.Directory) {
        (void)fclose(pLevel);
        errno = 0;  // no system error: a file of the wrong kind
        return NULL;
    }
    return pLevel;
}

#else

FILE* OpenLevelFile(const char* pszName, FileIdentity* pId)
{
    // Without O_NONBLOCK opening a FIFO waits for a writer. On a regular
    // file the flag changes nothing, so it can stay.
    int fd = open(pszName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return NULL;
    struct stat st;
    bool fStat = fstat(fd, &st) == 0;
    FILE* pLevel = fStat && S_ISREG(st.st_mode) ? fdopen(fd, "r") : NULL;
    if (pLevel == NULL) {
        // What fstat or fdopen said; for a file of the wrong kind no system
        // error but a folder's.
        int nError = !fStat || S_ISREG(st.st_mode) ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
        (void)close(fd);
        errno = nError;
        return NULL;
    }
    IdentityFromStat(&st, pId);
    return pLevel;
}

#endif
