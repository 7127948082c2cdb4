// brenvik-gather: the gathering from the command line, for scripts and for
// systems without Windows. It adds nothing to what the dialog's Convert does.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "failure_line.h"
#include "gather.h"
#include "program.h"
#include "run_notes.h"
#include "shell_word.h"
#include "version.h"

namespace {

const char kUsage[] =
    "Usage: brenvik-gather [OPTION]... FOLDER FORMAT OUTPUT\n"
    "Gather the numbered level files FOLDER/FORMAT, numbers 1, 2, 3 ... up to\n"
    "the first missing one, into the collection file OUTPUT, and print the\n"
    "number of files gathered, or \"ERROR \" (with a trailing space).\n"
    "FORMAT holds one integer conversion: screen.%d, screen.%02d, soko%03d.txt.\n"
    "Standard error says why a run failed, and notes files left out.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit (on Windows /? too)\n"
    "      --version  print the version and exit\n"
    "  --             end of options: an operand may then start with -\n"
    "\n"
    "Exit status: 0 gathered, 1 ERROR, 2 a usage error or standard output\n"
    "could not be written.\n";

// As GNU tools print it: the program and package, then the copyright and
// licence lines (LICENSE).
const char kVersion[] =
    PROGRAM_NAME " (Brenvik) " BRENVIK_VERSION_TEXT "\n"
    "Copyright (c) 2026 The Brenvik developers\n"
    "License MIT: <https://opensource.org/license/mit>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

const char* const kOperands[] = {"FOLDER", "FORMAT", "OUTPUT"};

// A usage error's message, with the argument it concerns.
char g_szError[MAX_PATH + 64];

enum Option { OPTION_NONE, OPTION_HELP, OPTION_VERSION };

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
    (void)fprintf(stderr, PROGRAM_NAME ": cannot write to standard output: %s\n", strerror(nError));
}

// One line on what is wrong with the command line, and where help is.
int UsageError(const char* pszWhat)
{
    (void)fprintf(stderr, PROGRAM_NAME ": %s\n", pszWhat);
    (void)fputs("Try '" PROGRAM_NAME " --help' for more information.\n", stderr);
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

// What an argument that starts with '-' asks for, read as getopt_long reads
// it: a long option by its name or any prefix of it, or short options run
// together (the first that acts ends the run). OPTION_NONE after writing
// what is wrong into g_szError.
Option ReadOption(const char* pszArg)
{
    if (pszArg[1] != '-') {
        if (pszArg[1] == 'h')
            return OPTION_HELP;
        (void)snprintf(g_szError, sizeof(g_szError), "invalid option -- '%c'", pszArg[1]);
        return OPTION_NONE;
    }
    const char* pszName = pszArg + 2;
    size_t cchName = strcspn(pszName, "=");
    const char* const rgpszLong[] = {"help", "version"};
    for (int i = 0; i < 2; ++i) {
        if (cchName == 0 || strncmp(rgpszLong[i], pszName, cchName) != 0)
            continue;
        if (pszName[cchName] == '\0')
            return i == 0 ? OPTION_HELP : OPTION_VERSION;
        (void)snprintf(g_szError, sizeof(g_szError), "option '--%s' doesn't allow an argument", rgpszLong[i]);
        return OPTION_NONE;
    }
    (void)snprintf(g_szError, sizeof(g_szError), "unrecognized option '%.*s'", MAX_PATH, pszArg);
    return OPTION_NONE;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* rgpszOperand[3] = {};
    int cOperands = 0;
    const char* pszExtra = NULL;
    bool fOptions = true;
    // Options stand anywhere before "--", and act in their order: the first
    // of --help and --version ends the run, as a wrong option before it does.
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        if (fOptions && strcmp(pszArg, "--") == 0) {
            fOptions = false;
        } else if (fOptions && kShellHelp[0] != '\0' && strcmp(pszArg, kShellHelp) == 0) {
            return PrintAndExit(kUsage);
        } else if (fOptions && pszArg[0] == '-' && pszArg[1] != '\0') {
            Option option = ReadOption(pszArg);
            if (option == OPTION_NONE)
                return UsageError(g_szError);
            return PrintAndExit(option == OPTION_HELP ? kUsage : kVersion);
        } else if (cOperands < 3) {
            rgpszOperand[cOperands++] = pszArg;
        } else if (pszExtra == NULL) {
            pszExtra = pszArg;
        }
    }
    if (pszExtra != NULL) {
        (void)snprintf(g_szError, sizeof(g_szError), "extra operand '%.*s'", MAX_PATH, pszExtra);
        return UsageError(g_szError);
    }
    if (cOperands < 3) {
        (void)snprintf(g_szError, sizeof(g_szError), "missing operand %s", kOperands[cOperands]);
        return UsageError(g_szError);
    }

    const char* pszStatus = ConvertLevels(rgpszOperand[0], rgpszOperand[1], rgpszOperand[2]);
    (void)printf("%s\n", pszStatus);
    int nStdoutError = 0;
    bool fPrinted = Flushed(&nStdoutError);
    bool fGathered = g_run.failure == GATHER_OK;
    // The reason and the notes come first even when the result could not be
    // printed: a script must not take an unprinted result for a count, and
    // a person still learns why the run failed.
    if (fGathered) {
        PrintSeriesEnd(stderr, &g_run);
        PrintBoardCount(stderr, &g_run);
    } else {
        PrintFailure(stderr, &g_run);
    }
    if (!fPrinted) {
        SayStdoutFailed(nStdoutError);
        return 2;
    }
    return fGathered ? 0 : 1;
}
