#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "folder_listing.h"
#include "windows_files.h"

bool ListFolder(const char* pszFolder, FolderEntryProc pfnEntry, void* pContext)
{
    // A search in what is no folder fails alike for every reason; the
    // attributes tell them apart.
    DWORD dwAttributes = GetFileAttributesA(pszFolder);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        DWORD dwError = GetLastError();
        errno = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return false;
    }
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errno = ENOTDIR;
        return false;
    }
    char szPattern[MAX_PATH + 2];
    int cch = snprintf(szPattern, sizeof(szPattern), "%s\\*", pszFolder);
    WIN32_FIND_DATAA data;
    HANDLE hFind = cch > 0 && static_cast<size_t>(cch) < sizeof(szPattern) ? FindFirstFileA(szPattern, &data)
                                                                            : INVALID_HANDLE_VALUE;
    if (hFind == INVALID_HANDLE_VALUE) {
        errno = EACCES;
        return false;
    }
    do {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0)
            pfnEntry(data.cFileName, pContext);
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return true;
}
