// Looking through the folder of a series for a file under any of its names.
#pragma once

#include "file_identity.h"
#include "numbered_name.h"

// Is the file *pIdFile one of the series' files, whatever their numbers and
// gaps? *pnLevel receives its number, 0 when it is none of them. The
// series' names are pszFolder, a separator, a name *pNumbered recognises,
// then pszRest (empty when that name is the file's own, else
// starting with a separator). One pass over the folder: a plain entry is
// told by the identity the listing gives, only links and the like are
// opened. False when the folder cannot be read through, so nothing can be
// said; a folder that does not exist holds no files.
bool FindInSeriesFolder(const char* pszFolder, const NumberedName* pNumbered, const char* pszRest,
                        const FileIdentity* pIdFile, int* pnLevel);
