// ConvertLevels: check the texts and the format, keep the output out of the
// series, then copy level 1, 2, 3, ... until a number has no file.
#include <limits.h>
#include <string.h>

#include "gather.h"

int g_nLevel;
GatherRun g_run;

namespace {

// Level data passes through here.
char g_szLine[1000];

// What one run keeps besides its record: the Status text of a run that
// gathered, the name of the level file being copied, what that file is told
// apart from the output by, and the output the run writes.
struct Gathering {
    char szCount[16];
    char szFolder[MAX_PATH];  // the texts as read, where quotes wrapped them
    char szFormat[FORMAT_CAPACITY];
    char szLevelName[FULL_PATH_CAPACITY];  // longer than MAX_PATH where the system allows it
    FileMark levelMark;
    FileIdentity outputId;
    // Large stdio buffers keep the number of system calls low for big level
    // files; the copy itself still goes through g_szLine.
    char rgchLevelStream[64 * 1024];
    char rgchOutputStream[64 * 1024];
} g_gathering;

// Records how the run ended, with the file or text concerned and its folder.
void Record(GatherFailure failure, int nError, int nLevel, const char* pszName)
{
    g_run.failure = failure;
    g_run.cGathered = 0;
    g_run.nError = nError;
    g_run.nLevel = nLevel;
    (void)snprintf(g_run.szName, sizeof(g_run.szName), "%s", pszName);  // never longer than a level name
    const char* pszLeaf = FileNamePart(g_run.szName);
    g_run.szFolder[0] = '\0';
    if (pszLeaf != g_run.szName)
        (void)CopyFolderPart(g_run.szName, pszLeaf - 1, g_run.szFolder, sizeof(g_run.szFolder));
}

// Records why the run fails; returns its Status text.
const char* Fail(GatherFailure failure, int nError, int nLevel, const char* pszName)
{
    Record(failure, nError, nLevel, pszName);
    return STATUS_ERROR;
}

// Records a run that gathered nCount files; returns its Status text.
const char* CountText(int nCount)
{
    g_run.cGathered = nCount;
    (void)snprintf(g_gathering.szCount, sizeof(g_gathering.szCount), "%d", nCount);  // always fits
    return g_gathering.szCount;
}

// A text wholly wrapped in one pair of double quotes, where no name can
// hold one, means the text inside: a path pasted from "Copy as path" would
// otherwise only fail. The text inside goes into pszOut (cbOut bytes); one
// that does not fit is read as it stands, and is too long either way.
const char* Unwrapped(const char* psz, char* pszOut, size_t cbOut)
{
    size_t cch = strlen(psz);
    if (kNamesHoldQuotes || cch < 2 || psz[0] != '"' || psz[cch - 1] != '"' || memchr(psz + 1, '"', cch - 2) != NULL ||
        cch - 2 >= cbOut)
        return psz;
    memcpy(pszOut, psz + 1, cch - 2);
    pszOut[cch - 2] = '\0';
    return pszOut;
}

// Checks the three texts, the format and the output: NULL when the run may
// start, else the Status text of the recorded failure.
const char* RefuseInputs(const char* pszFolder, const char* pszFormat, const char* pszOutput)
{
    // Each text must fit its buffer, and the joined pattern a path.
    size_t cchFolder = strlen(pszFolder);
    size_t cchFormat = strlen(pszFormat);
    if (cchFolder >= MAX_PATH)
        return Fail(GATHER_FOLDER_TOO_LONG, 0, 0, pszFolder);
    if (cchFormat >= FORMAT_CAPACITY)
        return Fail(GATHER_FORMAT_TOO_LONG, 0, 0, pszFormat);
    if (strlen(pszOutput) >= MAX_PATH)
        return Fail(GATHER_OUTPUT_TOO_LONG, 0, 0, pszOutput);
    if (cchFolder + 1 + cchFormat >= MAX_PATH)
        return Fail(GATHER_PATTERN_TOO_LONG, 0, 0, pszFolder);
    GatherFailure failure = CheckNameFormat(pszFormat, &g_run.format);
    if (failure != GATHER_OK)
        return Fail(failure, 0, 0, pszFormat);
    // The guard judges full paths: a relative path made full through a
    // working folder the code page cannot spell would be judged elsewhere.
    const char* const rgpszPaths[] = {pszFolder, pszOutput};
    for (const char* pszPath : rgpszPaths) {
        if (!WorkingFolderSpelled(pszPath))
            return Fail(GATHER_WORKING_FOLDER_UNSPELLED, 0, 0, pszPath);
    }
    // Built once: the guard judges by it, and the notes read it.
    failure = MakeSeries(pszFolder, &g_run.format, &g_run.series);
    if (failure != GATHER_OK)
        return Fail(failure, 0, 0, failure == GATHER_NUMBER_LOST ? pszFormat : pszOutput);
    failure = JudgeOutput(&g_run.series, pszOutput, &g_run.output);
    int nLevel = g_run.output.nLevel;
    char* pszLevelName = g_gathering.szLevelName;
    if (failure == GATHER_OUTPUT_IN_SERIES) {
        if (!ExpandLevelName(pszFolder, &g_run.format, nLevel, pszLevelName, sizeof(g_gathering.szLevelName)))
            (void)snprintf(pszLevelName, sizeof(g_gathering.szLevelName), "%s", pszOutput);
        return Fail(failure, 0, nLevel, pszLevelName);
    }
    if (failure == GATHER_FOLDER_UNLISTED)
        return Fail(failure, errno, 0, g_run.series.szFolder);
    // Of the guard's doubts, a path too long to look at is one a player can mend.
    if (failure != GATHER_OK)
        return Fail(failure, errno == ENAMETOOLONG ? ENAMETOOLONG : 0, 0, pszOutput);
    g_run.fJudged = true;
    return NULL;
}

LevelOpening OpenLevel(const char* pszName, FILE** ppLevel)
{
    LevelOpening opening = OpenLevelFile(pszName, ppLevel, &g_gathering.levelMark);
    // Only a speed-up: without it the stream keeps its own buffer.
    if (opening == LEVEL_OPENED)
        (void)setvbuf(*ppLevel, g_gathering.rgchLevelStream, _IOFBF, sizeof(g_gathering.rgchLevelStream));
    return opening;
}

// Copies every byte that reading yields (NUL bytes too) but a UTF-8
// byte-order mark at the start, completes a last line that has no line end,
// then writes one line end. So an empty line follows every level: a reader
// splits the collection into levels there, and a board whose last row is
// open would otherwise run into the next one. A byte-order mark is no text:
// in the middle of a collection it would stand before the level's top row,
// which no reader then takes for a board row.
// Returns GATHER_OK, GATHER_READ_FAILED or GATHER_WRITE_FAILED, with errno
// as the failing call left it.
GatherFailure CopyLevel(FILE* pLevel, FILE* pOutput)
{
    size_t cb;
    char chLast = '\n';  // an empty level has no line to complete
    unsigned long long cbRead = 0;
    unsigned long long cLineEnds = 0;
    for (bool fStart = true; (cb = fread(g_szLine, 1, sizeof(g_szLine) - 1, pLevel)) > 0; fStart = false) {
        size_t cbMark = fStart && cb >= 3 && memcmp(g_szLine, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
        if (fwrite(g_szLine + cbMark, 1, cb - cbMark, pOutput) != cb - cbMark)
            return GATHER_WRITE_FAILED;
        chLast = cb > cbMark ? g_szLine[cb - 1] : chLast;
        cbRead += cb;
        const char* pEnd = g_szLine + cb;
        for (const char* p = g_szLine; kTextEndsAtCtrlZ && (p = static_cast<const char*>(memchr(p, '\n', static_cast<size_t>(pEnd - p)))) != NULL; ++p)
            ++cLineEnds;
    }
    if (ferror(pLevel))
        return GATHER_READ_FAILED;
    // What a Ctrl+Z left out is told, not hidden behind a count.
    unsigned long long cbLeftOut = BytesLeftOutAtCtrlZ(&g_gathering.levelMark, cbRead, cLineEnds);
    if (cbLeftOut > 0 && g_run.cCutAtCtrlZ++ == 0) {
        g_run.nFirstCut = g_nLevel;
        g_run.cbFirstCut = cbLeftOut;
    }
    if (chLast != '\n' && fputc('\n', pOutput) == EOF)
        return GATHER_WRITE_FAILED;
    return fputc('\n', pOutput) != EOF ? GATHER_OK : GATHER_WRITE_FAILED;
}

// Closes the level file and the output, not yet written, and removes an
// output that this run made: a failure leaves no file that was not there.
const char* FailBeforeWriting(FILE* pLevel, FILE* pOutput, bool fCreated, GatherFailure failure, int nError,
                              const char* pszName)
{
    (void)fclose(pLevel);
    (void)fclose(pOutput);
    if (fCreated)
        (void)remove(g_run.output.szTarget);
    return Fail(failure, nError, g_nLevel, pszName);
}

// Adds the open level file g_nLevel to the output and closes both: NULL, or
// the Status text of the recorded failure. Every level leaves the output
// complete.
const char* AddLevel(FILE* pLevel, const char* pszOutput, bool fFirst)
{
    // The file judged and no other: for the first level a new one made
    // where the guard judged it would be, or the one that was there, opened
    // for appending and emptied only once it is known not to be that level;
    // for later levels, only what is there.
    bool fCreated = fFirst && !g_run.output.fExists;
    FILE* pOutput = OpenOutput(fCreated ? g_run.output.szTarget : pszOutput, fCreated);
    if (pOutput == NULL) {
        int nError = errno;
        (void)fclose(pLevel);
        if (fCreated && nError == EEXIST)  // made by another since it was judged
            return Fail(GATHER_OUTPUT_REPLACED, 0, g_nLevel, pszOutput);
        return Fail(GATHER_OUTPUT_UNOPENED, nError, g_nLevel, pszOutput);
    }
    if (fFirst && g_run.output.fExists)
        g_gathering.outputId = g_run.output.id;
    // A level file that is the output (a link to it, another name of it, or
    // moved there during the run) would be emptied or read while it grows;
    // an output whose name now leads to another file may lead to a level.
    switch (CheckOutput(pLevel, &g_gathering.levelMark, pOutput, &g_gathering.outputId, fCreated)) {
    case OUTPUT_APART:
        break;
    case OUTPUT_IS_LEVEL:
        return FailBeforeWriting(pLevel, pOutput, fCreated, GATHER_OUTPUT_IN_SERIES, 0, g_gathering.szLevelName);
    case OUTPUT_REPLACED:
        return FailBeforeWriting(pLevel, pOutput, false, GATHER_OUTPUT_REPLACED, 0, pszOutput);
    case OUTPUT_UNTOLD:
        return FailBeforeWriting(pLevel, pOutput, fCreated, GATHER_OUTPUT_UNDECIDED, errno, pszOutput);
    }
    if (fFirst && !EmptyOutput(pOutput))
        return FailBeforeWriting(pLevel, pOutput, fCreated, GATHER_OUTPUT_UNOPENED, errno, pszOutput);
    (void)setvbuf(pOutput, g_gathering.rgchOutputStream, _IOFBF, sizeof(g_gathering.rgchOutputStream));
    GatherFailure failure = CopyLevel(pLevel, pOutput);
    int nError = errno;
    (void)fclose(pLevel);  // read only: nothing to lose
    if (fclose(pOutput) != 0 && failure == GATHER_OK) {
        failure = GATHER_WRITE_FAILED;
        nError = errno;
    }
    if (failure == GATHER_OK)
        return NULL;
    return Fail(failure, nError, g_nLevel, failure == GATHER_READ_FAILED ? g_gathering.szLevelName : pszOutput);
}

}  // namespace

const char* ConvertLevels(const char* pszFolderText, const char* pszFormatText, const char* pszOutputText)
{
    g_run.fJudged = false;
    g_run.cCutAtCtrlZ = 0;
    Record(GATHER_OK, 0, 0, "");
    const char* pszFolder = Unwrapped(pszFolderText, g_gathering.szFolder, sizeof(g_gathering.szFolder));
    const char* pszFormat = Unwrapped(pszFormatText, g_gathering.szFormat, sizeof(g_gathering.szFormat));
    const char* pszOutput = Unwrapped(pszOutputText, g_run.szOutput, sizeof(g_run.szOutput));
    if (pszOutput != g_run.szOutput)
        (void)snprintf(g_run.szOutput, sizeof(g_run.szOutput), "%s",
                       strlen(pszOutput) < sizeof(g_run.szOutput) ? pszOutput : "");
    if (pszFolder[0] == '\0')
        return Fail(GATHER_EMPTY_FOLDER, 0, 0, "");
    if (pszFormat[0] == '\0')
        return Fail(GATHER_EMPTY_FORMAT, 0, 0, "");
    if (pszOutput[0] == '\0')
        return Fail(GATHER_EMPTY_OUTPUT, 0, 0, "");
    g_nLevel = 1;
    const char* pszRefused = RefuseInputs(pszFolder, pszFormat, pszOutput);
    if (pszRefused != NULL)
        return pszRefused;

    for (;; ++g_nLevel) {
        bool fFirst = g_nLevel == 1;
        FILE* pLevel = NULL;
        LevelOpening opening = LEVEL_ABSENT;
        errno = ENAMETOOLONG;  // a name that does not fit is a file that cannot be there
        if (ExpandLevelName(pszFolder, &g_run.format, g_nLevel, g_gathering.szLevelName, sizeof(g_gathering.szLevelName)))
            opening = OpenLevel(g_gathering.szLevelName, &pLevel);
        // Only a file that is not there ends the series: one that cannot be
        // read is no end, and a count would hide the levels after it.
        if (opening == LEVEL_FAILED || (opening == LEVEL_ABSENT && fFirst))
            return Fail(GATHER_LEVEL_UNOPENED, errno, g_nLevel, g_gathering.szLevelName);
        if (opening == LEVEL_ABSENT) {
            Record(GATHER_OK, errno, g_nLevel, g_gathering.szLevelName);
            return CountText(g_nLevel - 1);
        }
        const char* pszFailed = AddLevel(pLevel, pszOutput, fFirst);
        if (pszFailed != NULL)
            return pszFailed;
        // The numbers end, not the series: nothing to say where. Two billion
        // files cannot be made for a test; this only keeps ++ defined.
        if (g_nLevel == INT_MAX)
            return CountText(g_nLevel);
    }
}
