// brenvik-gather: the gathering from the command line, for scripts and for
// systems without Windows. It adds nothing to what the dialog's Convert does.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "failure_message.h"
#include "gather.h"
#include "version.h"

namespace {

const char kProgram[] = "brenvik-gather";

const char kUsage[] =
    "Usage: brenvik-gather [--] FOLDER FORMAT OUTPUT\n"
    "  or:  brenvik-gather --help | --version\n"
    "Gather the numbered level files FOLDER/FORMAT, numbers 1, 2, 3 ... up to\n"
    "the first missing one, into the collection file OUTPUT, and print the\n"
    "number of files gathered, or \"ERROR \" (with a trailing space).\n"
    "FORMAT holds one integer conversion: screen.%d, screen.%02d, soko%03d.txt.\n"
    "Standard error says why a run failed, and notes files left out.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "  --             end of options: a FOLDER may then start with -\n"
    "\n"
    "Exit status: 0 gathered, 1 ERROR, 2 a usage error or standard output\n"
    "could not be written.\n";

const char* const kOperands[] = {"FOLDER", "FORMAT", "OUTPUT"};

// Whether standard output took everything; if not, says why on stderr.
bool Flushed(int* pnError)
{
    if (fflush(stdout) == 0 && !ferror(stdout))
        return true;
    *pnError = errno;
    return false;
}

void SayStdoutFailed(int nError)
{
    (void)fprintf(stderr, "%s: cannot write to standard output: %s\n", kProgram, strerror(nError));
}

// One line on what is wrong with the command line, and where help is.
int UsageError(const char* pszWhat, const char* pszArg)
{
    (void)fprintf(stderr, "%s: %s%s%s%s\n", kProgram, pszWhat, pszArg != NULL ? " '" : "",
                  pszArg != NULL ? pszArg : "", pszArg != NULL ? "'" : "");
    (void)fprintf(stderr, "Try '%s --help' for more information.\n", kProgram);
    return 2;
}

// Prints text to stdout: 0, or 2 when it could not be written.
int PrintAndExit(const char* pszText)
{
    (void)fputs(pszText, stdout);
    int nError = 0;
    if (Flushed(&nError))
        return 0;
    SayStdoutFailed(nError);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* rgpszOperand[3] = {};
    int cOperands = 0;
    const char* pszAlone = NULL;  // --help or --version, which take nothing else
    const char* pszExtra = NULL;
    bool fOptions = true;
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        if (fOptions && strcmp(pszArg, "--") == 0) {
            fOptions = false;
        } else if (fOptions && (strcmp(pszArg, "--help") == 0 || strcmp(pszArg, "-h") == 0 ||
                                strcmp(pszArg, "--version") == 0)) {
            if (pszAlone != NULL || cOperands > 0)
                pszExtra = pszExtra != NULL ? pszExtra : pszArg;
            else
                pszAlone = pszArg;
        } else if (fOptions && pszArg[0] == '-' && pszArg[1] != '\0') {
            return UsageError("unrecognized option", pszArg);
        } else if (cOperands < 3 && pszAlone == NULL) {
            rgpszOperand[cOperands++] = pszArg;
        } else if (pszExtra == NULL) {
            pszExtra = pszArg;
        }
    }
    if (pszExtra != NULL)
        return UsageError("extra operand", pszExtra);
    if (pszAlone != NULL && strcmp(pszAlone, "--version") == 0)
        return PrintAndExit("brenvik-gather " BRENVIK_VERSION_TEXT "\n");
    if (pszAlone != NULL)
        return PrintAndExit(kUsage);
    if (cOperands < 3) {
        char szWhat[32];
        (void)snprintf(szWhat, sizeof(szWhat), "missing operand %s", kOperands[cOperands]);
        return UsageError(szWhat, NULL);
    }

    const char* pszStatus = ConvertLevels(rgpszOperand[0], rgpszOperand[1], rgpszOperand[2]);
    (void)printf("%s\n", pszStatus);
    int nStdoutError = 0;
    bool fPrinted = Flushed(&nStdoutError);
    bool fGathered = strcmp(pszStatus, STATUS_ERROR) != 0;
    // The reason and the notes come first even when the result could not be
    // printed: a script must not take an unprinted result for a count, and
    // a person still learns why the run failed.
    if (fGathered) {
        PrintSeriesEnd(stderr, &g_failure, rgpszOperand[0], rgpszOperand[1]);
        int cGathered = static_cast<int>(strtol(pszStatus, NULL, 10));
        PrintBoardCount(stderr, cGathered, rgpszOperand[0], rgpszOperand[1], rgpszOperand[2]);
    } else
        PrintFailure(stderr, &g_failure, rgpszOperand[0], rgpszOperand[1], rgpszOperand[2]);
    if (!fPrinted) {
        SayStdoutFailed(nStdoutError);
        return 2;
    }
    return fGathered ? 0 : 1;
}
