#include "failure_line.h"

#include <errno.h>
#include <string.h>

#include "platform.h"
#include "program.h"
#include "quoting.h"
#include "run_notes.h"

namespace {

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

}  // namespace

void PrintFailure(FILE* pOut, const GatherRun* pRun, const char* pszOutput)
{
    const char* pszName = Quoted(pRun->szName);
    int nLevel = pRun->nLevel;
    bool fTyped = SameSpelling(pszOutput, pRun->szName);
    switch (pRun->failure) {
    case GATHER_OK:
        return;
    case GATHER_EMPTY_FOLDER:
    case GATHER_EMPTY_FORMAT:
    case GATHER_EMPTY_OUTPUT:
        (void)fprintf(pOut, PROGRAM_NAME ": the %s is empty text\n", pRun->failure == GATHER_EMPTY_FOLDER ? "folder"
                      : pRun->failure == GATHER_EMPTY_FORMAT ? "file name format" : "output file name");
        return;
    case GATHER_FOLDER_TOO_LONG:
    case GATHER_FORMAT_TOO_LONG:
    case GATHER_OUTPUT_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the %s is too long (at most %d characters): %s\n",
                      pRun->failure == GATHER_FOLDER_TOO_LONG ? "folder"
                      : pRun->failure == GATHER_FORMAT_TOO_LONG ? "format" : "output file name",
                      (pRun->failure == GATHER_FORMAT_TOO_LONG ? FORMAT_CAPACITY : MAX_PATH) - 1, pszName);
        return;
    case GATHER_PATTERN_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the folder and the format together are too long for a path (%d characters): %s\n",
                      MAX_PATH - 1, pszName);
        return;
    case GATHER_NO_CONVERSION:
    case GATHER_SEVERAL_CONVERSIONS:
    case GATHER_UNSUPPORTED_CONVERSION:
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, PROGRAM_NAME ": format %s is refused: %s\n", pszName,
                      pRun->failure == GATHER_NO_CONVERSION ? "it has no integer conversion such as %d"
                      : pRun->failure == GATHER_SEVERAL_CONVERSIONS ? "it has more than one conversion"
                      : pRun->failure == GATHER_UNSUPPORTED_CONVERSION
                          ? "an unsupported conversion (only %d, %i, %u, %x or %X, with the flags - 0 #, a width and a precision)"
                          : "a \"..\" after the number makes every number name the same file");
        return;
    case GATHER_OUTPUT_IN_SERIES:
        // The level file as the run names it, unless that is what was typed:
        // a link, a hard link or another spelling leads there from elsewhere.
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s is level file %d of the series%s%s: refused\n",
                      Quoted(pszOutput), nLevel, fTyped ? "" : ", ", fTyped ? "" : pszName);
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s may be a file of the series, which cannot be ruled out: refused\n",
                      pszName);
        return;
    case GATHER_FOLDER_UNLISTED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot list the folder %s: %s; the output %s may be a file of it: refused\n",
                      pszName, Reason(pRun->nError), Quoted(pszOutput));
        return;
    case GATHER_LEVEL_UNOPENED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot open level file %d, %s: %s\n", nLevel, pszName,
                      Reason(pRun->nError));
        if (nLevel == 1 && (pRun->nError == ENOENT || pRun->nError == ENOTDIR))
            PrintFirstLevelNotes(pOut, pRun);
        return;
    case GATHER_OUTPUT_UNOPENED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot %s the output %s: %s\n", nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(pRun->nError));
        if (pRun->nError == ENOENT || pRun->nError == ENOTDIR)
            (void)PrintMissingFolder(pOut, pRun->szFolder);
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
                      Reason(pRun->nError));
        return;
    case GATHER_WRITE_FAILED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot write the output %s: %s\n", pszName, Reason(pRun->nError));
        return;
    }
}
