// Files, folders and file search.
// Every file open goes through ResolvePath: '\' reads as '/', and each path component is
// matched without regard to case, because the game spells one folder "Data", "data" and "DATA".
// A component that does not exist yet (a new file) keeps its spelling, so it is created in the
// existing folder whatever that folder's case. Listings are sorted by name, so "the first file
// found" is the same on every run.
// Left out: file attributes other than directory and hidden (a name beginning with '.' counts
// as hidden), times and sizes in the find data, wildcards other than '*' and '?'.
#pragma once

#include "win32/Types.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    wchar_t cFileName[MAX_PATH];
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];
};

// Patterns are "folder\*.*", "folder/*.ext" and the like; "*.*" matches every name.
// Entries come sorted by name; "." and ".." are not listed.
HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data);
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);

DWORD GetCurrentDirectoryW(DWORD bufferChars, wchar_t* buffer);
DWORD GetCurrentDirectoryA(DWORD bufferBytes, char* buffer);
DWORD GetFileAttributesW(const wchar_t* path);
BOOL CreateDirectoryW(const wchar_t* path, void* security);
BOOL DeleteFileW(const wchar_t* path);
BOOL DeleteFileA(const char* path);

// stdio through the resolver; the wide forms take UTF-32 names and modes.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);

namespace platform {

// Every open for reading is refused above a limit that fits the file's kind, so a huge file
// never gets read into memory: XML data (layouts, animations, tables, play data), everything
// read whole (images, fonts, packs, replays, sounds), and files streamed while they play (movies).
inline constexpr size_t kMaxXmlFileBytes = size_t{16} << 20;
inline constexpr size_t kMaxWholeFileBytes = size_t{128} << 20;
inline constexpr size_t kMaxStreamedFileBytes = size_t{1} << 30;

// Where the file layer reports a refused file (something other than a regular file, or a file
// over its limit); the log installs itself here. Without a sink the text goes to the debugger
// output.
using FileRefusalSink = void (*)(const char* message);
void SetFileRefusalSink(FileRefusalSink sink);

// Returns the path as it exists on disk ('/' separators, each existing component in its
// on-disk case). Empty input gives an empty result.
std::string ResolvePath(std::string_view path);
std::string ResolvePath(std::wstring_view path);

// The one guarded open every file of the game, the stand-in and the online backends goes
// through: fopen through ResolvePath. Only a regular file is opened: a folder, a FIFO or a device
// is refused (null) without blocking, for reading and for writing, and a file opened for reading
// is refused when it is larger than maxBytes. A refusal other than a missing file or a folder is
// reported through the refusal sink.
// For tests of unreadable files (root reads every file whatever its permissions):
// QUIBLY_FAULT_UNREADABLE lists file names (comma-separated, case ignored, "*" for every file)
// whose opens for reading fail as an I/O error would (EIO).
FILE* OpenFile(std::string_view path, const char* mode, size_t maxBytes = kMaxWholeFileBytes);

// True when a regular file exists at the resolved path.
bool FileExists(std::string_view path);

// What a read found: the bytes, no file at all, or a file that is there and cannot be read (no
// permission, an I/O error, a folder or a FIFO in its place, larger than its kind allows). A
// file that cannot be read is not a missing file: callers keep what they had instead of
// writing defaults over it.
enum class ReadOutcome { Read, Missing, Unreadable };

// Reads a whole regular file of at most maxBytes through OpenFile; `bytes` changes only when the
// outcome is Read.
ReadOutcome TryReadWholeFile(std::string_view path, std::string& bytes, size_t maxBytes = kMaxWholeFileBytes);

// TryReadWholeFile for callers to whom any failure is the same: true when the file was read.
bool ReadWholeFile(std::string_view path, std::string& bytes, size_t maxBytes = kMaxWholeFileBytes);

// The same guarded open and read on a path taken as written, without case matching: for folders
// the game does not spell itself (the shared online folder), where matching a missing name would
// cost a folder listing per open.
FILE* OpenExactPath(const std::string& path, const char* mode, size_t maxBytes = kMaxWholeFileBytes);
ReadOutcome TryReadExactPath(const std::string& path, std::string& bytes, size_t maxBytes = kMaxWholeFileBytes);

// Writes a temporary file beside the target and renames it over the target, so a crash or a
// full disk never leaves a half-written file. Missing folders are not created.
// For tests of a full disk: QUIBLY_FAULT_NO_SPACE lists file names (comma-separated, case
// ignored, "*" for every file) whose saves fail as on a full disk, leaving the target as it was.
bool SaveFileAtomically(std::string_view path, std::string_view bytes);

// Removes the temporary files SaveFileAtomically leaves when its process is killed between
// writing and renaming ("<name>.tmp<pid>_<n>" in the folder), unless their process still runs.
// Returns how many were removed.
int RemoveLeftoverTemporaryFiles(std::string_view folder);

// Names (not paths) of the entries of a folder, sorted by name without regard to case,
// "." and ".." left out.
struct FolderEntry {
    std::string name;
    bool isFolder;
};
std::vector<FolderEntry> ListFolder(std::string_view folder);

} // namespace platform
