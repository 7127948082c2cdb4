// What differs between Windows and POSIX systems, declared once: path
// separators and name text, full paths, file identities, opening a level
// file, listing a folder. platform_windows.cpp and platform_posix.cpp define
// it; the build picks one.
#pragma once

#include <errno.h>
#include <stddef.h>
#include <stdio.h>

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#ifdef _WIN32
// Names compare as UTF-16: a double-byte character of the ANSI code page is
// one character, and letter case is folded for all of Unicode.
typedef wchar_t NameChar;
#define PATH_SEPARATOR '\\'
#else
typedef char NameChar;  // bytes, compared as they are
#define PATH_SEPARATOR '/'
#endif

// Room for a full path or a name text, which may be longer than the texts
// it came from.
#define FULL_PATH_CAPACITY 4096

// --- Separators: '/' elsewhere; on Windows a backslash and '/' alike, as the system
// reads a path. The second byte of a double-byte character of the ANSI code
// page may have the value of a backslash (katakana so is 0x83 0x5C); that
// is no separator.

// The last separator among the first cch bytes of pszPath, or NULL.
const char* LastSeparator(const char* pszPath, size_t cch);
// The first separator at or after pszFrom (which starts a character), or NULL.
const char* NextSeparator(const char* pszFrom);
// The text after the last separator: the whole text when there is none.
const char* FileNamePart(const char* pszPath);
// Whether two texts spell a path alike, but for which separator stands
// where (Windows reads a backslash and '/' alike).
bool SameSpelling(const char* pszA, const char* pszB);
// The folder part of pszPath, up to pszSeparator, into pszOut; a root ("/",
// C:\) keeps its separator. False when it does not fit.
bool CopyFolderPart(const char* pszPath, const char* pszSeparator, char* pszOut, size_t cbOut);

// --- Names as the file system compares them.

// Converts cch bytes of narrow text (process code page) into pOut, which has
// room for cchOut characters. False when the text does not fit or is no
// valid text in that code page: such a name cannot be judged.
bool ToNameText(const char* psz, size_t cch, NameChar* pOut, size_t cchOut, size_t* pcchName);
// Equal as names of one folder: ignoring letter case on Windows, byte for
// byte elsewhere. Case folding keeps the length of UTF-16 text.
bool NameTextEqual(const NameChar* pA, const NameChar* pB, size_t cch);
// Equal as two names of one folder, given as narrow text: false too where
// either is no valid text.
bool SameName(const char* pA, size_t cchA, const char* pB, size_t cchB);
// Whether the file system drops spaces at the end of a name ("%-3d").
extern const bool kNamesLoseTrailingSpaces;
// Whether a name of this text names a stream of a file ("screen.3::$DATA").
bool IsStreamName(const char* pszName);
// Whether a name may hold a double quote. No Windows name can, so there a
// text wrapped in a pair of them (Explorer's "Copy as path") means the path
// inside; elsewhere the quotes are the name's own.
extern const bool kNamesHoldQuotes;
// Where text in the process code page stood for a name it cannot spell, the
// system put a '?' for each character it lacks, which no Windows name holds
// (past a \\?\ prefix): that code page, for a path that holds one. 0
// elsewhere, where '?' is a name's own character.
unsigned CodePageLosing(const char* pszPath);

// --- Paths.

// Makes pszPath absolute and removes "." and ".." and doubled separators. On
// Windows this is the system's own full-path rule (which also drops trailing
// dots and spaces); elsewhere the longest leading part that exists is also
// resolved through its symbolic links. The path need not exist. False when
// the result does not fit in cbOut bytes, or when a part that is there
// cannot be resolved (an I/O error, a loop of links).
bool FullPath(const char* pszPath, char* pszOut, size_t cbOut);
// The path as the file system will resolve it: on Windows the full path the
// system makes before the file system sees it; elsewhere the text as given,
// whose links and ".." steps the kernel resolves by itself.
bool ResolvablePath(const char* pszPath, char* pszOut, size_t cbOut);
// The folder of a resolvable path, spelled so that the system opens it as
// the path's files are opened: as a part in the middle of a path. Windows
// rewrites only a path's last part (trailing dots and spaces dropped, CON or
// NUL.d taken for a device), so a folder "lv " opened on its own would be
// "lv"; its literal spelling (\\?\) opens "lv " itself. Elsewhere the text
// as given. False when it does not fit.
bool FolderAsOpened(const char* pszFolder, char* pszOut, size_t cbOut);

// Whether the folder a relative path hangs from (the working folder, a
// drive's own, or the working drive's root) is the one its full path, as
// FullPath spells it, names. On Windows the system makes a narrow path full
// in its own characters, then writes it in the code page: a working folder
// whose name the code page cannot spell comes back with a '?' or a
// look-alike letter, another path than the one opened. True for a path
// that hangs from none, and elsewhere, where a name is its bytes.
bool WorkingFolderSpelled(const char* pszPath);

// --- File identities: telling whether two names lead to the same file.

struct FileIdentity {
    unsigned long long ullVolume;
    unsigned long long ullIndex;
    bool fDirectory;
    bool fDevice;  // Windows: no disk file (a device, a pipe), all identified as one
};

// Identifies the file a path leads to, following links. False when there is
// no such file (errno ENOENT or ENOTDIR, see NamesNothing) or when it cannot
// be identified (any other errno): a guard must not take the one for the
// other. A device holds no level; where it has no identity (Windows) all
// devices are one, fDevice.
bool IdentifyPath(const char* pszPath, FileIdentity* pId);
inline bool NamesNothing(int nError) { return nError == ENOENT || nError == ENOTDIR; }
// Whether two identities are surely one file.
inline bool IsSameFile(const FileIdentity* pA, const FileIdentity* pB)
{
    return pA->ullVolume == pB->ullVolume && pA->ullIndex == pB->ullIndex;
}
// Whether two files may be one, which a guard must take them for: the same
// file number under two volume numbers may be one file seen two ways. Wine
// gives each drive letter a volume serial of its own (and a folder the
// serial of the letter it is the root of); a Linux overlay shows a lower
// folder's file with its own inode number under the overlay's device
// number. Two files that only share a number on two volumes are taken for
// one: a refusal, which loses nothing. Only for files: every volume's root
// folder has one number. A device is no file.
inline bool MayBeSameFile(const FileIdentity* pA, const FileIdentity* pB)
{
    return pA->ullIndex == pB->ullIndex && !pA->fDevice && !pB->fDevice;
}
// The name that writing to pszPath finally writes: the symbolic links at its
// end followed, whether their last target exists or not. False, with errno,
// when it does not fit (ENAMETOOLONG) or a link cannot be read (ELOOP for a
// loop).
bool WriteTargetPath(const char* pszPath, char* pszOut, size_t cbOut);

// What tells an open file from the output without asking the system again,
// so that every level file can be checked against it: natively its
// identity, which the status read on opening gives; on Windows its size
// (an identity is asked for only where the sizes match).
struct FileMark {
    unsigned long long ullFirst;
    unsigned long long ullSecond;
};
// What the output, reopened for a level, is to that level.
enum OutputCheck {
    OUTPUT_APART,     // another file than the level, and the one the run writes
    OUTPUT_IS_LEVEL,  // the level file itself
    OUTPUT_REPLACED,  // another file than the one the run writes
    OUTPUT_UNTOLD     // that cannot be told (errno says why)
};
// Checks the open output against the open level file (*pLevelMark from
// OpenLevelFile) and against *pOutputId, the file the run writes, which
// fTake takes from this output (one the run has just made) and any other
// opening compares with: the output's name may lead elsewhere between two
// openings, and between the guard's look and the first.
OutputCheck CheckOutput(FILE* pLevel, const FileMark* pLevelMark, FILE* pOutput, FileIdentity* pOutputId, bool fTake);
// Opens the output for appending in text mode, never emptying it: with
// fCreate a new file at pszPath, which must not be there yet (errno EEXIST
// where it is); without, only a file that is there. NULL, with errno, when
// it cannot be opened.
FILE* OpenOutput(const char* pszPath, bool fCreate);
// Empties the output, opened for appending and judged to be no level file,
// so that what follows is written as mode "wt" would; a device or pipe has
// nothing to empty. False, with errno, when it cannot be emptied.
bool EmptyOutput(FILE* pOutput);

// --- Level files: only a file that holds data can be one.

enum LevelOpening {
    LEVEL_OPENED,  // *ppLevel reads it
    LEVEL_ABSENT,  // no such file, or no disk file (a folder, FIFO, device,
                   // socket): the series ends here
    LEVEL_FAILED   // it is there but cannot be opened or examined
};

// Opens the level file for reading in text mode, never waiting on a file
// that is no disk file, with *pMark its mark. When it is not opened, errno tells why: for
// LEVEL_ABSENT ENOENT, ENOTDIR or ENAMETOOLONG for a name that names
// nothing, EISDIR for a folder, 0 for another kind of file; for LEVEL_FAILED
// the system's reason (permission denied, an I/O error, too many open files).
LevelOpening OpenLevelFile(const char* pszName, FILE** ppLevel, FileMark* pMark);
// Whether reading text ends a file at a Ctrl+Z byte, as the Windows runtime
// does; elsewhere reading text reads every byte.
extern const bool kTextEndsAtCtrlZ;
// How many bytes after a Ctrl+Z text-mode reading surely left out of the
// open level file (mark *pMark) of which it gave cbRead bytes holding
// cLineEnds line ends: 0 where none surely were, and where reading text
// reads every byte. Each line end read may have been a CR LF, so a tail of
// no more bytes than the file's line ends is not told.
unsigned long long BytesLeftOutAtCtrlZ(const FileMark* pMark, unsigned long long cbRead, unsigned long long cLineEnds);
// Reads an open level file as bytes from now on, as a program that reads
// it without text mode sees it.
void ReadAsBytes(FILE* pFile);

// --- Folders.

// One name of a listed folder, with its identity where the listing tells it
// as surely as opening the file would: on Windows the listed file id;
// natively the listed inode number where the file system lists true ones
// and no mount point stands in the folder (an overlay lists other numbers
// than its files have, a mount covers a name), else a status read through
// the open folder, when asked for.
struct FolderEntry {
    const char* pszName;       // narrow text
    const char* pszShortName;  // another name that opens it (Windows 8.3), or ""
    // Whether looking the name up may lead elsewhere: on Windows only a
    // reparse point does; natively a link, or any name where the listing's
    // type is not sure (untyped, or a mount point among the names).
    bool fMayLead;
    bool fIdentified;
    FileIdentity id;
};
// Receives each entry ("." and ".." left out); false stops the listing.
typedef bool (*FolderEntryProc)(const FolderEntry* pEntry, void* pContext);
// Calls pfnEntry for each entry of pszFolder, identified where fIdentify
// asks and it can be. False when the folder cannot be listed to its end;
// errno then says why: ENOENT when it does not exist, ENOTDIR when it is no
// folder. A listing that pfnEntry stopped is true.
bool ListFolder(const char* pszFolder, bool fIdentify, FolderEntryProc pfnEntry, void* pContext);
