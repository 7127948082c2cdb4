// Fuzzes the format check, the name expansion and the check that keeps the
// output out of the series. Input: four bytes of number, then the format.
// What must hold: an accepted format reads exactly one int (formatting it
// with spare arguments gives the same text); expansion never overruns; an
// output spelled as a name of the series is always refused.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "series_guard.h"
#include "name_format.h"

// Too large for the stack.
static Series g_series;
static JudgedOutput g_judged;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return -1;
    int32_t nLevel;
    memcpy(&nLevel, data, 4);
    std::string format(reinterpret_cast<const char*>(data + 4), size - 4);
    if (format.size() >= FORMAT_CAPACITY || format.find('\0') != std::string::npos)
        return -1;

    NameFormat fmt;
    if (CheckNameFormat(format.c_str(), &fmt) != GATHER_OK)
        return 0;

    char szPlain[2 * MAX_PATH];
    char szSpare[2 * MAX_PATH];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
#pragma GCC diagnostic ignored "-Wformat-security"
    snprintf(szPlain, sizeof(szPlain), format.c_str(), nLevel);
    snprintf(szSpare, sizeof(szSpare), format.c_str(), nLevel, 0x5A5A5A5A, "spare", 1.5);
#pragma GCC diagnostic pop
    if (strcmp(szPlain, szSpare) != 0) {
        fprintf(stderr, "format %s reads more than one argument\n", format.c_str());
        abort();
    }

    char szName[MAX_PATH];
    for (size_t cb : {size_t{1}, size_t{8}, sizeof(szName)})
        ExpandLevelName("lvl", &fmt, nLevel, szName, cb);

    // The name of level n itself, as output, must be refused.
    if (nLevel >= 1 && ExpandLevelName("lvl", &fmt, nLevel, szName, sizeof(szName)) &&
        MakeSeries("lvl", &fmt, &g_series) == GATHER_OK && JudgeOutput(&g_series, szName, &g_judged) == GATHER_OK) {
        fprintf(stderr, "output %s (format %s, number %d) not refused\n", szName, format.c_str(), nLevel);
        abort();
    }
    return 0;
}
