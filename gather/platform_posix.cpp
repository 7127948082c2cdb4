#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "platform.h"

const bool kNamesLoseTrailingSpaces = false;
const bool kTextEndsAtCtrlZ = false;

// --- Separators: one byte, '/', never part of another character.

const char* LastSeparator(const char* pszPath, size_t cch)
{
    return static_cast<const char*>(memrchr(pszPath, PATH_SEPARATOR, cch));
}

const char* NextSeparator(const char* pszFrom) { return strchr(pszFrom, PATH_SEPARATOR); }

const char* FileNamePart(const char* pszPath)
{
    const char* pszSeparator = strrchr(pszPath, PATH_SEPARATOR);
    return pszSeparator != NULL ? pszSeparator + 1 : pszPath;
}

bool SameSpelling(const char* pszA, const char* pszB) { return strcmp(pszA, pszB) == 0; }

bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut)
{
    int cch = pszSeparator == pszPath ? 1 : static_cast<int>(pszSeparator - pszPath);  // "/" keeps its separator
    int cchOut = snprintf(pszOut, cbOut, "%.*s", cch, pszPath);
    return cchOut >= 0 && static_cast<size_t>(cchOut) < cbOut;
}

// --- Names: bytes.

bool ToNameText(const char* psz, size_t cch, NameChar* pOut, size_t cchOut, size_t* pcchName)
{
    if (cch > cchOut)
        return false;
    memcpy(pOut, psz, cch);
    *pcchName = cch;
    return true;
}

bool NameTextEqual(const NameChar* pA, const NameChar* pB, size_t cch) { return memcmp(pA, pB, cch) == 0; }

bool SameName(const char* pA, size_t cchA, const char* pB, size_t cchB)
{
    return cchA == cchB && memcmp(pA, pB, cchA) == 0;
}

bool IsStreamName(const char* /*pszName*/) { return false; }

const bool kNamesHoldQuotes = true;

unsigned CodePageLosing(const char* /*pszPath*/) { return 0; }

// --- Paths.

namespace {

// Appends pszText to pszOut (holding cchOut characters); false when full.
bool Append(char* pszOut, size_t* pcchOut, size_t cbOut, const char* pszText, size_t cchText)
{
    if (*pcchOut + cchText >= cbOut)
        return false;
    memcpy(pszOut + *pcchOut, pszText, cchText);
    *pcchOut += cchText;
    pszOut[*pcchOut] = '\0';
    return true;
}

// Absolute path with ".", ".." and doubled slashes removed, by text alone.
bool LexicalPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    char szAbs[PATH_MAX * 2];
    size_t cchAbs = 0;
    szAbs[0] = '\0';
    if (pszPath[0] != '/') {
        char szCwd[PATH_MAX];
        if (getcwd(szCwd, sizeof(szCwd)) == NULL)
            return false;
        if (!Append(szAbs, &cchAbs, sizeof(szAbs), szCwd, strlen(szCwd)) ||
            !Append(szAbs, &cchAbs, sizeof(szAbs), "/", 1))
            return false;
    }
    if (!Append(szAbs, &cchAbs, sizeof(szAbs), pszPath, strlen(pszPath)))
        return false;

    size_t cchOut = 0;
    pszOut[0] = '\0';
    for (const char* p = szAbs; *p != '\0';) {
        while (*p == '/')
            ++p;
        const char* pEnd = p;
        while (*pEnd != '\0' && *pEnd != '/')
            ++pEnd;
        size_t cch = static_cast<size_t>(pEnd - p);
        if (cch == 0 || (cch == 1 && p[0] == '.')) {
            // nothing
        } else if (cch == 2 && p[0] == '.' && p[1] == '.') {
            while (cchOut > 0 && pszOut[cchOut - 1] != '/')
                --cchOut;
            if (cchOut > 0)
                --cchOut;
            pszOut[cchOut] = '\0';
        } else if (!Append(pszOut, &cchOut, cbOut, "/", 1) || !Append(pszOut, &cchOut, cbOut, p, cch)) {
            return false;
        }
        p = pEnd;
    }
    if (cchOut == 0)
        return Append(pszOut, &cchOut, cbOut, "/", 1);
    return true;
}

}  // namespace

bool FullPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    char szLexical[PATH_MAX * 2];
    if (!LexicalPath(pszPath, szLexical, sizeof(szLexical)))
        return false;

    // Resolve the longest leading part that exists; keep the rest as text.
    size_t cchPrefix = strlen(szLexical);
    char szReal[PATH_MAX];
    for (;;) {
        char chSaved = szLexical[cchPrefix];
        szLexical[cchPrefix] = '\0';
        bool fResolved = realpath(cchPrefix == 0 ? "/" : szLexical, szReal) != NULL;
        szLexical[cchPrefix] = chSaved;
        if (fResolved)
            break;
        // Only a part that is not there may stay text: a link that cannot be
        // read (an I/O error) may lead into the series, and the guard's
        // later steps let a file with one name pass on this step's word.
        if (cchPrefix == 0 || !NamesNothing(errno))
            return false;
        while (cchPrefix > 0 && szLexical[cchPrefix - 1] != '/')
            --cchPrefix;
        if (cchPrefix > 0)
            --cchPrefix;
    }
    size_t cchOut = 0;
    pszOut[0] = '\0';
    const char* pszRest = szLexical + cchPrefix;
    size_t cchReal = strlen(szReal);
    if (cchReal == 1 && pszRest[0] == '/')
        cchReal = 0;  // the root: the rest brings its own slash
    return Append(pszOut, &cchOut, cbOut, szReal, cchReal) &&
           Append(pszOut, &cchOut, cbOut, pszRest, strlen(pszRest));
}

bool ResolvablePath(const char* pszPath, char* pszOut, size_t cbOut)
{
    int cch = snprintf(pszOut, cbOut, "%s", pszPath);
    return cch >= 0 && static_cast<size_t>(cch) < cbOut;
}

bool WorkingFolderSpelled(const char* /*pszPath*/) { return true; }

// A name is read alike wherever it stands in a path.
bool FolderAsOpened(const char* pszFolder, char* pszOut, size_t cbOut) { return ResolvablePath(pszFolder, pszOut, cbOut); }

// --- File identities.

namespace {

void IdentityFromStat(const struct stat* pSt, FileIdentity* pId)
{
    pId->ullVolume = static_cast<unsigned long long>(pSt->st_dev);
    pId->ullIndex = static_cast<unsigned long long>(pSt->st_ino);
    pId->fDirectory = S_ISDIR(pSt->st_mode);
    pId->fDevice = false;  // identified as any file
}

}  // namespace

bool IdentifyPath(const char* pszPath, FileIdentity* pId)
{
    struct stat st;
    if (stat(pszPath, &st) != 0)
        return false;
    IdentityFromStat(&st, pId);
    return true;
}

bool WriteTargetPath(const char* pszPath, char* pszOut, size_t cbOut)
{
    char szLink[PATH_MAX];
    if (!ResolvablePath(pszPath, pszOut, cbOut)) {
        errno = ENAMETOOLONG;
        return false;
    }
    // As many links as the kernel itself follows (40), and a look past them.
    for (int cHops = 0; cHops <= 40; ++cHops) {
        ssize_t cchLink = readlink(pszOut, szLink, sizeof(szLink) - 1);
        if (cchLink < 0)
            return errno == EINVAL || NamesNothing(errno);  // no link: the name itself
        szLink[cchLink] = '\0';
        // A relative target is taken from the link's own folder.
        size_t cchKept = szLink[0] == '/' ? 0 : static_cast<size_t>(FileNamePart(pszOut) - pszOut);
        pszOut[cchKept] = '\0';
        if (!Append(pszOut, &cchKept, cbOut, szLink, static_cast<size_t>(cchLink))) {
            errno = ENAMETOOLONG;
            return false;
        }
    }
    errno = ELOOP;
    return false;
}

namespace {

// The descriptors behind the two streams of a level's copy, each read or
// written through a stream of its own: fopen in append mode would seek to
// the end on every level, though O_APPEND writes there by itself, and
// fdopen would ask the level file's descriptor for its flags, one system
// call per level.
struct OpenFiles {
    int fdOutput;
    int fdLevel;
} g_open = {-1, -1};

ssize_t WriteOutput(void* pCookie, const char* pb, size_t cb)
{
    size_t cbDone = 0;
    while (cbDone < cb) {
        ssize_t cbWritten = write(*static_cast<int*>(pCookie), pb + cbDone, cb - cbDone);
        if (cbWritten <= 0)
            return cbDone > 0 ? static_cast<ssize_t>(cbDone) : -1;
        cbDone += static_cast<size_t>(cbWritten);
    }
    return static_cast<ssize_t>(cbDone);
}

int CloseOutput(void* pCookie) { return close(*static_cast<int*>(pCookie)); }

}  // namespace

FILE* OpenOutput(const char* pszPath, bool fCreate)
{
    g_open.fdOutput = open(pszPath, O_WRONLY | O_APPEND | O_CLOEXEC | (fCreate ? O_CREAT | O_EXCL : 0), 0666);
    if (g_open.fdOutput < 0)
        return NULL;
    FILE* pOutput = fopencookie(&g_open.fdOutput, "a", {NULL, WriteOutput, NULL, CloseOutput});
    if (pOutput == NULL) {
        int nError = errno;
        (void)close(g_open.fdOutput);
        if (fCreate)
            (void)unlink(pszPath);  // made here a moment ago
        errno = nError;
    }
    return pOutput;
}

OutputCheck CheckOutput(FILE* /*pLevel*/, const FileMark* pLevelMark, FILE* /*pOutput*/, FileIdentity* pOutputId, bool fTake)
{
    struct stat st;
    if (fstat(g_open.fdOutput, &st) != 0)
        return OUTPUT_UNTOLD;
    FileIdentity id;
    IdentityFromStat(&st, &id);
    if (fTake)
        *pOutputId = id;
    else if (!IsSameFile(&id, pOutputId))
        return OUTPUT_REPLACED;
    // By the inode number alone, as MayBeSameFile compares: an overlay shows
    // a level of its lower folder under another device number.
    return pLevelMark->ullSecond == id.ullIndex ? OUTPUT_IS_LEVEL : OUTPUT_APART;
}

bool EmptyOutput(FILE* /*pOutput*/)
{
    struct stat st;
    return fstat(g_open.fdOutput, &st) == 0 && (!S_ISREG(st.st_mode) || ftruncate(g_open.fdOutput, 0) == 0);
}

// --- Level files.

namespace {

ssize_t ReadLevel(void* pCookie, char* pb, size_t cb) { return read(*static_cast<int*>(pCookie), pb, cb); }

int SeekLevel(void* pCookie, off64_t* pllOffset, int nWhence)
{
    off64_t llAt = lseek64(*static_cast<int*>(pCookie), *pllOffset, nWhence);
    if (llAt < 0)
        return -1;
    *pllOffset = llAt;
    return 0;
}

int CloseLevel(void* pCookie) { return close(*static_cast<int*>(pCookie)); }

}  // namespace

LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel, FileMark* pMark)
{
    *ppLevel = NULL;
    // Without O_NONBLOCK opening a FIFO waits for a writer. On a regular
    // file the flag changes nothing, so it can stay.
    int fd = open(pszName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? LEVEL_ABSENT : LEVEL_FAILED;
    struct stat st;
    LevelOpening opening = LEVEL_FAILED;
    if (fstat(fd, &st) != 0) {
        // what fstat said
    } else if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : 0;  // 0: no system error, a file of the wrong kind
        opening = LEVEL_ABSENT;
    } else if (g_open.fdLevel = fd, (*ppLevel = fopencookie(&g_open.fdLevel, "r", {ReadLevel, NULL, SeekLevel, CloseLevel})) != NULL) {
        pMark->ullFirst = static_cast<unsigned long long>(st.st_dev);
        pMark->ullSecond = static_cast<unsigned long long>(st.st_ino);
        return LEVEL_OPENED;
    }
    int nError = errno;
    (void)close(fd);
    errno = nError;
    return opening;
}

unsigned long long BytesLeftOutAtCtrlZ(const FileMark* /*pMark*/, unsigned long long /*cbRead*/,
                                       unsigned long long /*cLineEnds*/)
{
    return 0;
}

void ReadAsBytes(FILE* /*pFile*/) {}  // text mode changes nothing here

// --- Folders.

namespace {

// File systems whose listings give each name its own file's inode number
// and type, as a status read would; an overlay, FUSE or a network file
// system may show others.
bool ListsTrueNumbers(int fdFolder)
{
    struct statfs fs;
    if (fstatfs(fdFolder, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:      // ext2, ext3, ext4
    case 0x58465342UL:  // XFS
    case 0x9123683EUL:  // Btrfs (a subvolume's number is a folder's, never a file's)
    case 0x01021994UL:  // tmpfs
        return true;
    default:
        return false;
    }
}

// Reads one field of a mountinfo line, its octal escapes (\040 for a space)
// undone, into pszOut; the text after it, or NULL when it does not fit.
const char* MountField(const char* p, char* pszOut, size_t cbOut)
{
    size_t cch = 0;
    for (; *p != ' ' && *p != '\n' && *p != '\0'; ++p) {
        char ch = *p;
        if (ch == '\\' && p[1] >= '0' && p[1] <= '3' && p[2] >= '0' && p[2] <= '7' && p[3] >= '0' && p[3] <= '7') {
            ch = static_cast<char>((p[1] - '0') * 64 + (p[2] - '0') * 8 + (p[3] - '0'));
            p += 3;
        }
        if (cch + 1 >= cbOut)
            return NULL;
        pszOut[cch++] = ch;
    }
    pszOut[cch] = '\0';
    return *p == ' ' ? p + 1 : p;
}

// Whether a mount point may stand in the open folder: a name there then
// leads to another file than its listing shows. Only this process's mounts
// are listed, so a folder whose own mount is not among them (reached
// through another mount namespace, /proc/PID/root, or outside a chroot)
// may hold any; so may one where the list cannot be read.
bool HoldsMountPoint(int fdFolder)
{
    struct statx stx;
    char szLink[64];
    char szFolder[PATH_MAX];
    char szLine[PATH_MAX * 2];
    char szField[PATH_MAX];
    if (statx(fdFolder, "", AT_EMPTY_PATH, STATX_MNT_ID, &stx) != 0 || (stx.stx_mask & STATX_MNT_ID) == 0)
        return true;
    (void)snprintf(szLink, sizeof(szLink), "/proc/self/fd/%d", fdFolder);
    ssize_t cch = readlink(szLink, szFolder, sizeof(szFolder) - 1);
    FILE* pMounts = cch > 0 ? fopen("/proc/self/mountinfo", "re") : NULL;
    if (pMounts == NULL)
        return true;
    szFolder[cch] = '\0';
    bool fHolds = false;
    bool fListed = false;
    while (!fHolds && fgets(szLine, sizeof(szLine), pMounts) != NULL) {
        // The mount's id is the first field, its mount point the fifth.
        fListed = fListed || strtoull(szLine, NULL, 10) == stx.stx_mnt_id;
        const char* p = szLine;
        for (int iField = 0; iField < 5 && p != NULL; ++iField)
            p = MountField(p, szField, sizeof(szField));
        const char* pszLeaf = strrchr(szField, '/');
        fHolds = p == NULL || strchr(szLine, '\n') == NULL ||
                 (pszLeaf != NULL && static_cast<size_t>(pszLeaf - szField) == (strlen(szFolder) == 1 ? 0 : strlen(szFolder)) &&
                  strncmp(szField, szFolder, static_cast<size_t>(pszLeaf - szField)) == 0 && pszLeaf[1] != '\0');
    }
    (void)fclose(pMounts);
    return fHolds || !fListed;
}

}  // namespace

bool ListFolder(const char* pszFolder, bool fIdentify, FolderEntryProc pfnEntry, void* pContext)
{
    DIR* pDir = opendir(pszFolder);
    if (pDir == NULL)
        return false;
    FolderEntry entry = {NULL, "", true, false, {0, 0, false, false}};
    // A listed entry is identified by its number and is no link where its
    // type says so, if the listing is true to the files: a file system that
    // lists true numbers, and no mount point among the names.
    struct stat stFolder;
    bool fTrueListing = fstat(dirfd(pDir), &stFolder) == 0 && ListsTrueNumbers(dirfd(pDir)) && !HoldsMountPoint(dirfd(pDir));
    bool fGoOn = true;
    const struct dirent* pEntry;
    while (fGoOn && (errno = 0, pEntry = readdir(pDir)) != NULL) {
        entry.pszName = pEntry->d_name;
        bool fTyped = fTrueListing && pEntry->d_type != DT_LNK && pEntry->d_type != DT_UNKNOWN;
        entry.fMayLead = !fTyped;
        struct stat st;
        if (fIdentify && fTyped) {
            entry.fIdentified = true;
            entry.id = FileIdentity{static_cast<unsigned long long>(stFolder.st_dev),
                                    static_cast<unsigned long long>(pEntry->d_ino), pEntry->d_type == DT_DIR, false};
        } else {
            entry.fIdentified = fIdentify && fstatat(dirfd(pDir), entry.pszName, &st, 0) == 0;
            if (entry.fIdentified)
                IdentityFromStat(&st, &entry.id);
        }
        if (strcmp(entry.pszName, ".") != 0 && strcmp(entry.pszName, "..") != 0)
            fGoOn = pfnEntry(&entry, pContext);
    }
    int nError = errno;
    (void)closedir(pDir);
    errno = nError;
    return !fGoOn || nError == 0;
}
