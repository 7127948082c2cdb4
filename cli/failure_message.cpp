#include "failure_message.h"

#include <string.h>

namespace {

const char kProgram[] = "brenvik-gather";

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

}  // namespace

void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo)
{
    const char* pszName = pInfo->szName;
    int nLevel = pInfo->nLevel;
    switch (pInfo->failure) {
    case GATHER_OK:
        return;
    case GATHER_EMPTY_FOLDER:
        (void)fprintf(pOut, "%s: the folder is empty text\n", kProgram);
        return;
    case GATHER_EMPTY_FORMAT:
        (void)fprintf(pOut, "%s: the file name format is empty text\n", kProgram);
        return;
    case GATHER_EMPTY_OUTPUT:
        (void)fprintf(pOut, "%s: the output file name is empty text\n", kProgram);
        return;
    case GATHER_FOLDER_TOO_LONG:
        (void)fprintf(pOut, "%s: the folder is too long (at most %d characters): %s\n", kProgram, MAX_PATH - 1,
                      pszName);
        return;
    case GATHER_FORMAT_TOO_LONG:
        (void)fprintf(pOut, "%s: the format is too long (at most %d characters): %s\n", kProgram,
                      FORMAT_CAPACITY - 1, pszName);
        return;
    case GATHER_OUTPUT_TOO_LONG:
        (void)fprintf(pOut, "%s: the output file name is too long (at most %d characters): %s\n", kProgram,
                      MAX_PATH - 1, pszName);
        return;
    case GATHER_PATTERN_TOO_LONG:
        (void)fprintf(pOut, "%s: the folder and the format together are too long for a path (%d characters): %s\n",
                      kProgram, MAX_PATH - 1, pszName);
        return;
    case GATHER_NO_CONVERSION:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: it has no integer conversion such as %%d\n", kProgram,
                      pszName);
        return;
    case GATHER_SEVERAL_CONVERSIONS:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: it has more than one conversion\n", kProgram, pszName);
        return;
    case GATHER_UNSUPPORTED_CONVERSION:
        (void)fprintf(pOut,
                      "%s: format \"%s\" is refused: an unsupported conversion (only %%d, %%i, %%u, %%x or %%X,"
                      " with the flags - 0 #, a width and a precision)\n",
                      kProgram, pszName);
        return;
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, "%s: format \"%s\" is refused: a \"..\" after the number makes every number name the "
                      "same file\n", kProgram, pszName);
        return;
    case GATHER_OUTPUT_IN_SERIES:
        (void)fprintf(pOut, "%s: the output is level file %d of the series, %s: refused\n", kProgram, nLevel,
                      pszName);
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, "%s: the output may be a file of the series, which cannot be ruled out: refused: %s\n",
                      kProgram, pszName);
        return;
    case GATHER_FIRST_LEVEL_UNOPENED:
        (void)fprintf(pOut, "%s: cannot open level file 1, %s: %s\n", kProgram, pszName, Reason(pInfo->nError));
        return;
    case GATHER_OUTPUT_UNOPENED:
        (void)fprintf(pOut, "%s: cannot %s the output %s: %s\n", kProgram, nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(pInfo->nError));
        return;
    case GATHER_READ_FAILED:
        (void)fprintf(pOut, "%s: read error in level file %d, %s: %s\n", kProgram, nLevel, pszName,
                      Reason(pInfo->nError));
        return;
    case GATHER_WRITE_FAILED:
        (void)fprintf(pOut, "%s: cannot write the output %s: %s\n", kProgram, pszName, Reason(pInfo->nError));
        return;
    }
}
