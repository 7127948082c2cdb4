#include "failure_line.h"

#include <errno.h>
#include <string.h>

#include "platform.h"
#include "program.h"
#include "quoting.h"
#include "run_notes.h"

namespace {

char g_szSuggestion[MAX_PATH];

// The system's reason, or what a file of the wrong kind is.
const char* Reason(int nError)
{
    return nError != 0 ? strerror(nError) : "not a regular file (a device, FIFO or socket)";
}

// What to do, on a line of its own, so that the line above stays short.
void PrintAdvice(FILE* pOut, const char* pszAdvice) { (void)fprintf(pOut, PROGRAM_NAME ": note: %s\n", pszAdvice); }

// An output that no name of the series can be: the series' own text before
// the number ("soko" of "soko%03d.txt") with .xsb, which holds no digit.
// "" where that is the name given.
const char* SuggestedOutput(const GatherRun* pRun)
{
    const NameFormat* pFmt = &pRun->format;
    const char* pszName = LastSeparator(pFmt->szText, static_cast<size_t>(pFmt->nConvStart));
    pszName = pszName != NULL ? pszName + 1 : pFmt->szText;
    size_t cch = 0;
    if (!AppendAsNameText(g_szSuggestion, &cch, sizeof(g_szSuggestion) - 4, pszName,
                          static_cast<size_t>(pFmt->szText + pFmt->nConvStart - pszName)))
        cch = 0;
    while (cch > 0 && strchr(" ._-", g_szSuggestion[cch - 1]) != NULL)
        --cch;
    (void)snprintf(g_szSuggestion + cch, sizeof(g_szSuggestion) - cch, "%s.xsb", cch == 0 ? "levels" : "");
    return SameSpelling(g_szSuggestion, FileNamePart(pRun->szOutput)) ? "" : g_szSuggestion;
}

// Where the refused output may go instead.
void PrintOtherOutput(FILE* pOut, const GatherRun* pRun, const char* pszWhere)
{
    const char* pszSuggestion = SuggestedOutput(pRun);
    (void)fprintf(pOut, PROGRAM_NAME ": note: choose an output outside %s%s%s\n", pszWhere,
                  pszSuggestion[0] != '\0' ? ", such as " : "", pszSuggestion[0] != '\0' ? Quoted(pszSuggestion) : "");
}

}  // namespace

void PrintFailure(FILE* pOut, const GatherRun* pRun)
{
    const char* pszName = Quoted(pRun->szName);
    int nLevel = pRun->nLevel;
    bool fTyped = SameSpelling(pRun->szOutput, pRun->szName);
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
    case GATHER_LONE_PERCENT:
    case GATHER_NUMBER_LOST:
        (void)fprintf(pOut, PROGRAM_NAME ": format %s is refused: %s\n", pszName,
                      pRun->failure == GATHER_NO_CONVERSION ? "it has no integer conversion such as %d"
                      : pRun->failure == GATHER_SEVERAL_CONVERSIONS ? "it has more than one conversion"
                      : pRun->failure == GATHER_UNSUPPORTED_CONVERSION ? "an unsupported conversion"
                      : pRun->failure == GATHER_LONE_PERCENT ? "it has a % that starts no conversion"
                      : "a \"..\" after the number makes every number name the same file");
        PrintAdvice(pOut, pRun->failure == GATHER_NO_CONVERSION ? "write %d where the number stands: screen.%d for screen.1"
                          : pRun->failure == GATHER_UNSUPPORTED_CONVERSION
                              ? "use %d, %i, %u, %x or %X, with the flags - 0 #, a width and a precision"
                          : pRun->failure == GATHER_NUMBER_LOST ? "leave out the \"..\" after the number"
                          : pRun->failure == GATHER_SEVERAL_CONVERSIONS ? "keep one, and write %% for a percent sign"
                                                                        : "write %% for a percent sign");
        return;
    case GATHER_OUTPUT_IN_SERIES:
        // The level file as the run names it, unless that is what was typed:
        // a link, a hard link or another spelling leads there from elsewhere.
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s is level file %d of the series%s%s: refused\n",
                      Quoted(pRun->szOutput), nLevel, fTyped ? "" : ", ", fTyped ? "" : pszName);
        PrintOtherOutput(pOut, pRun, "the series");
        return;
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s may be a file of the series, which cannot be ruled out: refused\n",
                      pszName);
        PrintOtherOutput(pOut, pRun, "the folder of the level files");
        return;
    case GATHER_FOLDER_UNLISTED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot list the folder %s: %s; the output %s may be a file of it: refused\n",
                      pszName, Reason(pRun->nError), Quoted(pRun->szOutput));
        PrintOtherOutput(pOut, pRun, "that folder");
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
        if ((pRun->nError == ENOENT || pRun->nError == ENOTDIR) && !PrintUnspellable(pOut, pRun->szName))
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
        PrintAdvice(pOut, "run again once no other program writes that file");
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
