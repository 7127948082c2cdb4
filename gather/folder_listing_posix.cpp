#include <dirent.h>
#include <string.h>

#include "folder_listing.h"

bool ListFolder(const char* pszFolder, FolderEntryProc pfnEntry, void* pContext)
{
    DIR* pDir = opendir(pszFolder);
    if (pDir == NULL)
        return false;
    const struct dirent* pEntry;
    while ((pEntry = readdir(pDir)) != NULL)
        if (strcmp(pEntry->d_name, ".") != 0 && strcmp(pEntry->d_name, "..") != 0)
            pfnEntry(pEntry->d_name, pContext);
    (void)closedir(pDir);
    return true;
}
