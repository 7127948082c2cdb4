// brenvik-gather: the gathering from the command line, for scripts and for
// systems without Windows. It adds nothing to what the dialog's Convert does.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "failure_message.h"
#include "gather.h"
#include "version.h"

namespace {

const char kUsage[] =
    "usage: brenvik-gather FOLDER FORMAT OUTPUT\n"
    "\n"
    "Gathers the numbered level files FOLDER/FORMAT (FORMAT holds one integer\n"
    "conversion, e.g. screen.%d, screen.%02d, soko%03d.txt), numbers 1, 2, 3 ...\n"
    "up to the first missing one, into the collection file OUTPUT, and prints\n"
    "the number of files gathered, or \"ERROR \". Standard error says why a run\n"
    "failed, and notes files the series left out after a gap.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "exit status: 0 gathered, 1 ERROR, 2 usage error\n";

// Whether standard output took everything; if not, says why on stderr.
bool Flushed()
{
    if (fflush(stdout) == 0 && !ferror(stdout))
        return true;
    (void)fprintf(stderr, "brenvik-gather: cannot write to standard output: %s\n", strerror(errno));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        (void)fputs(kUsage, stdout);
        return Flushed() ? 0 : 2;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        (void)puts("brenvik-gather " BRENVIK_VERSION_TEXT);
        return Flushed() ? 0 : 2;
    }
    if (argc != 4) {
        (void)fputs(kUsage, stderr);
        return 2;
    }
    const char* pszStatus = ConvertLevels(argv[1], argv[2], argv[3]);
    (void)printf("%s\n", pszStatus);
    if (!Flushed())
        return 2;  // a script must not take an unprinted result for a count
    if (strcmp(pszStatus, STATUS_ERROR) != 0) {
        PrintSeriesEnd(stderr, &g_failure, argv[1], argv[2]);
        return 0;
    }
    PrintFailure(stderr, &g_failure, argv[1], argv[2]);
    return 1;
}
