#include "failure_line.h"

#include <errno.h>
#include <string.h>

#include "platform.h"
#include "program.h"
#include "quoting.h"
#include "run_notes.h"

namespace {

char g_szSuggestion[MAX_PATH];

const char kShorterFolder[] = "move the level files to a folder with a shorter path";

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

// Where the refused output may go instead: pszLead, and a name that does;
// shorter paths where the guard could not look at a path for its length.
void PrintOtherOutput(FILE* pOut, const GatherRun* pRun, const char* pszLead)
{
    if (pRun->nError == ENAMETOOLONG) {
        PrintAdvice(pOut, "move the level files or the output to a folder with a shorter path");
        return;
    }
    const char* pszSuggestion = SuggestedOutput(pRun);
    (void)fprintf(pOut, PROGRAM_NAME ": note: %s%s%s\n", pszLead,
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
        PrintAdvice(pOut, pRun->failure == GATHER_EMPTY_FOLDER ? "give the folder that holds the level files"
                          : pRun->failure == GATHER_EMPTY_FORMAT ? "give the name of level 1 with %d for its number, "
                                                                   "such as screen.%d"
                                                                 : "give the collection file to write, such as levels.xsb");
        return;
    case GATHER_FOLDER_TOO_LONG:
    case GATHER_FORMAT_TOO_LONG:
    case GATHER_OUTPUT_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the %s is too long (at most %d characters): %s\n",
                      pRun->failure == GATHER_FOLDER_TOO_LONG ? "folder"
                      : pRun->failure == GATHER_FORMAT_TOO_LONG ? "format" : "output file name",
                      (pRun->failure == GATHER_FORMAT_TOO_LONG ? FORMAT_CAPACITY : MAX_PATH) - 1, pszName);
        PrintAdvice(pOut, pRun->failure == GATHER_OUTPUT_TOO_LONG ? "choose an output with a shorter path"
                          : pRun->failure == GATHER_FORMAT_TOO_LONG ? "keep the file name alone in it, and its folder in FOLDER"
                                                                    : kShorterFolder);
        return;
    case GATHER_PATTERN_TOO_LONG:
        (void)fprintf(pOut, PROGRAM_NAME ": the folder and the format together are too long for a path (%d characters): %s\n",
                      MAX_PATH - 1, pszName);
        PrintAdvice(pOut, kShorterFolder);
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
    case GATHER_WORKING_FOLDER_UNSPELLED:
        (void)fprintf(pOut, PROGRAM_NAME ": the path %s is refused: the code page cannot spell the working folder's "
                      "name\n", pszName);
        PrintAdvice(pOut, "give the folder and the output as full paths, or run from another folder");
        return;
    case GATHER_OUTPUT_IN_SERIES: {
        // The level file as the run names it, unless that is what was typed:
        // a link, a hard link or another spelling leads there from elsewhere.
        // A name of the series is kept for its level even before it is made.
        FileIdentity id;
        bool fMissing = !IdentifyPath(pRun->szName, &id) && NamesNothing(errno);
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s is level file %d of the series%s%s%s: refused\n",
                      Quoted(pRun->szOutput), nLevel, fTyped ? "" : ", ", fTyped ? "" : pszName,
                      fMissing ? " (not there yet)" : "");
        PrintOtherOutput(pOut, pRun, "choose an output outside the series");
        return;
    }
    case GATHER_OUTPUT_UNDECIDED:
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s may be a file of the series, which cannot be ruled out%s: "
                      "refused\n", pszName, pRun->nError == ENAMETOOLONG ? " (a path too long to look at)" : "");
        PrintOtherOutput(pOut, pRun, "choose an output outside the folder of the level files");
        return;
    case GATHER_FOLDER_UNLISTED:
        // A hard link elsewhere to a file of that folder is only found by listing it.
        (void)fprintf(pOut, PROGRAM_NAME ": the output %s is refused: the folder %s cannot be listed: %s\n",
                      Quoted(pRun->szOutput), pszName, Reason(pRun->nError));
        PrintOtherOutput(pOut, pRun, "it may be a file of that folder; choose an output outside it");
        return;
    case GATHER_LEVEL_UNOPENED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot open level file %d, %s: %s\n", nLevel, pszName,
                      Reason(pRun->nError));
        if (nLevel == 1 && (pRun->nError == ENOENT || pRun->nError == ENOTDIR))
            PrintFirstLevelNotes(pOut, pRun);
        else if (pRun->nError == EACCES || pRun->nError == EPERM)
            PrintAdvice(pOut, "close the program using it, or get leave to read it; then run again");
        return;
    case GATHER_OUTPUT_UNOPENED: {
        // Windows says only "access denied" of a folder opened as a file.
        bool fFolder = pRun->fJudged && pRun->output.fExists && pRun->output.id.fDirectory;
        (void)fprintf(pOut, PROGRAM_NAME ": cannot %s the output %s: %s\n", nLevel == 1 ? "create" : "reopen",
                      pszName, Reason(fFolder ? EISDIR : pRun->nError));
        if (fFolder)
            PrintOtherOutput(pOut, pRun, "name a file in that folder");
        else if ((pRun->nError == ENOENT || pRun->nError == ENOTDIR) && !PrintUnspellable(pOut, pRun->szName))
            (void)PrintMissingFolder(pOut, pRun->szFolder);
        else if (pRun->nError == EACCES || pRun->nError == EPERM || pRun->nError == EROFS)
            PrintAdvice(pOut, "choose an output in a folder you may write to, or close the program using it");
        return;
    }
    case GATHER_OUTPUT_REPLACED:
        if (nLevel == 1) {
            (void)fprintf(pOut, PROGRAM_NAME ": the output %s changed after it was judged: refused, nothing was written "
                          "to it\n", pszName);
            PrintAdvice(pOut, "it was made meanwhile, or a link now leads elsewhere; run again");
        } else {
            (void)fprintf(pOut, PROGRAM_NAME ": the output %s was replaced before level file %d: nothing was written to "
                          "it\n", pszName, nLevel);
            (void)fprintf(pOut, PROGRAM_NAME ": note: levels 1 to %d are in the file it was; run again once nothing "
                          "else writes it\n", nLevel - 1);
        }
        return;
    case GATHER_READ_FAILED:
        (void)fprintf(pOut, PROGRAM_NAME ": read error in level file %d, %s: %s\n", nLevel, pszName,
                      Reason(pRun->nError));
        return;
    case GATHER_WRITE_FAILED:
        (void)fprintf(pOut, PROGRAM_NAME ": cannot write the output %s: %s\n", pszName, Reason(pRun->nError));
        if (pRun->nError == ENOSPC)
            PrintAdvice(pOut, "make room on that drive, or choose an output on another");
        return;
    }
}
