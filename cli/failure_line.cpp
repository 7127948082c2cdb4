#include "failure_line.h"

#include <errno.h>
#include <string.h>

#include "platform.h"
#include "program.h"
#include "quoting.h"
#include "run_notes.h"

namespace {

char g_szFullA[FULL_PATH_CAPACITY];
char g_szFullB[FULL_PATH_CAPACITY];

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

// Whether two texts spell one path, so that a message names it once.
bool SamePath(const char* pszA, const char* pszB)
{
    return strcmp(pszA, pszB) == 0 || (FullPath(pszA, g_szFullA, sizeof(g_szFullA)) &&
                                       FullPath(pszB, g_szFullB, sizeof(g_szFullB)) && strcmp(g_szFullA, g_szFullB) == 0);
}

}  // namespace

void PrintFailure(FILE* pOut, const GatherRun* pInfo, const char* pszFolder, const char* pszFormat,
                  const char* pszOutput)
{
    const char* pszName = Quoted(pInfo->szName);
    int nLevel = pInfo->nLevel;
    switch (pInfo->failure) {
    case GATHER_OK:
        return;
    case GATHER_EMPTY_FOLDER:
        (void)fprintf(pOut, PROGRAM_NAME ": the folder is empty text\n");
        return;
    case GATHER_EMPTY_FORMAT:
        (void)fprintf(pOut, PROGRAM_NAME ": the file name format is empty text\n");
        return;
    case GATHER_EMPTY_OUTPUT:
        (void)fprintf(pOut, PROGRAM_NAME ": the output file name is empty text\n");
        return;
    case GATHER_FOLDER_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the folder is too long (at most %d characters): %s\n", MAX_PATH - 1,
                      pszName);
        return;
    case GATHER_FORMAT_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the format is too long (at most %d characters): %s\n",
                      FORMAT_CAPACITY - 1, pszName);
        return;
    case GATHER_OUTPUT_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the output file name is too long (at most %d characters): %s\n",
                      MAX_PATH - 1, pszName);
        return;
    case GATHER_PATTERN_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the folder and the format together are too long for a path (%d characters): %s\n",
                      MAX_PATH - 1, pszName);
        return;
    case GATHER_NO_CONVERSION:
        (void)fprintf(pOut, PROGRAM_NAME ": format %s is refused: it has no integer conversion such as %%d\n",
                      pszName);
        return;
    case GATHER_SEVERAL_CONVERSIONS:
        (void)fprintf(pOut, PROGRAM_NAME ": format %s is refused: it has more than one conversion\n", pszName);
        return;
    case GATHER_UNSUPPORTED_CONVERSION:
        (void)fprintf(pOut,
                      PROGRAM_NAME ": format %s is refused: an unsupported conversion (only %%d, %%i, %%u, %%x or %%X,"
                      " with the flags - 0 #, a width and a precision)\n",
                      pszName);
        return;
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, PROGRAM_NAME ": format %s is refused: a \"..\" after the number makes every number name the "
                      "same file\n", pszName);
        return;
    case GATHER_OUTPUT_IN_SERIES:
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s is level file %d of the series%s%s: refused\n",
                      Quoted(pszOutput), nLevel, SamePath(pszOutput, pInfo->szName) ? "" : ", ",
                      SamePath(pszOutput, pInfo->szName) ? "" : pszName);
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s may be a file of the series, which cannot be ruled out: refused\n",
                      pszName);
        return;
    case GATHER_FOLDER_UNLISTED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot list the folder %s: %s; the output %s may be a file of it: refused\n",
                      pszName, Reason(pInfo->nError), Quoted(pszOutput));
        return;
    case GATHER_LEVEL_UNOPENED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot open level file %d, %s: %s\n", nLevel, pszName,
                      Reason(pInfo->nError));
        if (nLevel == 1 && (pInfo->nError == ENOENT || pInfo->nError == ENOTDIR))
            PrintFirstLevelNotes(pOut, pszFolder, pszFormat);
        return;
    case GATHER_OUTPUT_UNOPENED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot %s the output %s: %s\n", nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(pInfo->nError));
        if (pInfo->nError == ENOENT || pInfo->nError == ENOTDIR)
            (void)PrintMissingFolder(pOut, pszOutput, true);
        return;
    case GATHER_OUTPUT_REPLACED:
        if (nLevel == 1)
            (void)fprintf(pOut, PROGRAM_NAME ": the output %s is another file than the one judged a moment ago (made "
                          "meanwhile, or a link that leads elsewhere): refused, nothing was written to it\n", pszName);
        else
            (void)fprintf(pOut, PROGRAM_NAME ": the output %s was replaced during the run: reopened for level file %d, it "
                          "is another file than levels 1 to %d went into; nothing was written to it\n",
                          pszName, nLevel, nLevel - 1);
        return;
    case GATHER_READ_FAILED:
        (void)fprintf(pOut, PROGRAM_NAME ": read error in level file %d, %s: %s\n", nLevel, pszName,
                      Reason(pInfo->nError));
        return;
    case GATHER_WRITE_FAILED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot write the output %s: %s\n", pszName, Reason(pInfo->nError));
        return;
    }
}
