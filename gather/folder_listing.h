// Listing the names in a folder, for what is said after a run.
#pragma once

// Receives each name of the folder ("." and ".." left out), narrow text in
// the process code page.
typedef void (*FolderEntryProc)(const char* pszName, void* pContext);

// Calls pfnEntry for each name in pszFolder. False when the folder cannot be
// listed; errno then says why: ENOENT when it does not exist, ENOTDIR when it
// is no folder.
bool ListFolder(const char* pszFolder, FolderEntryProc pfnEntry, void* pContext);
