// The plain loop the gathering is measured against: the same opens, reads,
// writes and closes, with no checks.
#pragma once

#include <cstdio>
#include <string>

#include "gather.h"
#include "platform.h"

inline void ReferenceLoop(const std::string& folder, const std::string& output)
{
    static char s_szLine[1000];
    static char s_rgchIn[64 * 1024];
    static char s_rgchOut[64 * 1024];
    char szName[MAX_PATH];
    for (int n = 1;; ++n) {
        std::snprintf(szName, sizeof(szName), "%s%cscreen.%d", folder.c_str(), PATH_SEPARATOR, n);
        FILE* pIn = std::fopen(szName, "rt");
        if (pIn == NULL)
            return;
        std::setvbuf(pIn, s_rgchIn, _IOFBF, sizeof(s_rgchIn));
        FILE* pOut = std::fopen(output.c_str(), n == 1 ? "wt" : "at");
        std::setvbuf(pOut, s_rgchOut, _IOFBF, sizeof(s_rgchOut));
        size_t cb;
        while ((cb = std::fread(s_szLine, 1, sizeof(s_szLine) - 1, pIn)) > 0)
            std::fwrite(s_szLine, 1, cb, pOut);
        std::fputc('\n', pOut);
        std::fclose(pIn);
        std::fclose(pOut);
    }
}
