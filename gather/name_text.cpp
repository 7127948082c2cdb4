#include "name_text.h"

#include <limits.h>
#include <string.h>

#ifdef _WIN32
#include "windows_files.h"
#endif

#ifdef _WIN32

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
    return cch == 0 || CompareStringOrdinal(pA, static_cast<int>(cch), pB, static_cast<int>(cch), TRUE) ==
                           CSTR_EQUAL;
}

#else

bool ToNameText(const char* psz, size_t cch, NameChar* pOut, size_t cchOut, size_t* pcchName)
{
    if (cch > cchOut)
        return false;
    memcpy(pOut, psz, cch);
    *pcchName = cch;
    return true;
}

bool NameTextEqual(const NameChar* pA, const NameChar* pB, size_t cch)
{
    return memcmp(pA, pB, cch) == 0;
}

#endif
