// Files, folders and file search over std::filesystem, with the case-insensitive path resolver
// and the guarded open every file of the game goes through (regular files only, never blocking,
// a size limit per kind).
// Implemented: FindFirstFile/FindNextFile/FindClose (sorted, '*' and '?' wildcards),
//              current directory, attributes, folder creation, deletion, _wfopen, atomic saves.
// Left out:    file times and security attributes.
#include "win32/Files.h"
#include "win32/Debug.h"
#include "win32/Text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <cctype>
#include <filesystem>
#include <memory>
#include <mutex>
#include <map>
#include <set>
#include <unordered_map>
#include <system_error>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// '*' matches any run, '?' one character; case is ignored. "*.*" matches every name.
bool MatchesPattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' ||
                                   std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                       std::tolower(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::atomic<platform::FileRefusalSink> g_refusalSink{nullptr};

void ReportRefusal(const std::string& message)
{
    // A refused file is said once: the online folder is read again every few seconds, and a
    // FIFO left there must not fill the log.
    {
        static std::mutex saidLock;
        static std::set<std::string> said;
        std::lock_guard guard(saidLock);
        if (!said.insert(message).second)
            return;
        if (said.size() > 1024)
            said.clear();
    }
    // The sink writes the log file through this layer; a refusal while reporting one (the log
    // file itself refused) goes to the debugger output instead of around again.
    static thread_local bool reporting = false;
    platform::FileRefusalSink sink = g_refusalSink.load();
    if (!sink || reporting) {
        OutputDebugStringA(message.c_str());
        return;
    }
    reporting = true;
    sink(message.c_str());
    reporting = false;
}

// The path as the log shows it: absolute, so the line says which folder it means.
std::string Shown(const std::string& resolved)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(resolved, ec);
    return ec ? resolved : absolute.lexically_normal().string();
}

// True when the fault variable lists the target's file name (comma-separated, case ignored,
// "*" for every file).
bool NamedInFaultList(const char* variable, const std::string& target)
{
    const char* list = std::getenv(variable);
    if (!list || !*list)
        return false;
    std::string name = fs::path(target).filename().string();
    std::string_view rest(list);
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        if (item == "*" || EqualsIgnoreCase(item, name))
            return true;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return false;
}

// A descriptor of a regular file, or why there is none.
struct GuardedDescriptor {
    int fd = -1;
    off_t size = 0;
    bool missing = false;  // nothing at the path (as opposed to something that cannot be opened)
};

// The guarded open. Opens the resolved path without blocking (a FIFO without a writer or a
// reader, a device) and keeps the descriptor only when it names a regular file; a file opened
// for reading must be at most maxBytes. A truncating open truncates only once the file is known
// to be regular. The descriptor comes back blocking, as stdio expects.
GuardedDescriptor OpenRegular(const std::string& resolved, int flags, size_t maxBytes)
{
    GuardedDescriptor result;
    const bool reading = (flags & O_ACCMODE) == O_RDONLY;
    const bool truncating = (flags & O_TRUNC) != 0;
    if (reading && NamedInFaultList("QUIBLY_FAULT_UNREADABLE", resolved)) {
        ReportRefusal(Shown(resolved) + " cannot be read: " + std::strerror(EIO));
        errno = EIO;
        return result;
    }
    int fd = ::open(resolved.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        result.missing = error == ENOENT || error == ENOTDIR;
        // A folder opened for writing is as quiet as one opened for reading (below); a FIFO
        // opened for writing without a reader answers ENXIO.
        if (error == ENXIO)
            ReportRefusal(Shown(resolved) + " is not a regular file and is not written");
        else if (!result.missing && error != EISDIR)
            ReportRefusal(Shown(resolved) + " cannot be opened: " + std::strerror(error));
        errno = error;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ReportRefusal(Shown(resolved) + " cannot be opened: " + std::strerror(error));
        ::close(fd);
        errno = error;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        // A folder is looked at as a file often enough (a missing name resolved to a folder)
        // to stay quiet; a FIFO or a device in the game's folders is worth a line.
        if (!S_ISDIR(info.st_mode))
            ReportRefusal(Shown(resolved) + " is not a regular file and is not " + (reading ? "read" : "written"));
        ::close(fd);
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    if (reading && static_cast<uintmax_t>(info.st_size) > maxBytes) {
        ReportRefusal(Shown(resolved) + " is " + std::to_string(info.st_size) + " bytes, more than the " +
                      std::to_string(maxBytes) + " a file of its kind may have; it is not read");
        ::close(fd);
        errno = EFBIG;
        return result;
    }
    if (truncating && ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return result;
    }
    // A regular file never blocks; the flag goes so stdio sees an ordinary descriptor.
    int current = ::fcntl(fd, F_GETFL);
    if (current >= 0)
        ::fcntl(fd, F_SETFL, current & ~O_NONBLOCK);
    result.fd = fd;
    result.size = info.st_size;
    return result;
}

// open() flags of an fopen mode: "r", "w", "a", each with an optional '+'; 'b', 't' and the
// like change nothing here. -1 for a mode fopen would refuse.
int OpenFlagsOf(const char* mode)
{
    const bool update = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r': return update ? O_RDWR : O_RDONLY;
    case 'w': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return -1;
    }
}

// OpenFile on a path already resolved.
FILE* OpenResolved(const std::string& resolved, const char* mode, size_t maxBytes)
{
    const int flags = OpenFlagsOf(mode);
    if (flags < 0) {
        errno = EINVAL;
        return nullptr;
    }
    GuardedDescriptor opened = OpenRegular(resolved, flags, maxBytes);
    if (opened.fd < 0)
        return nullptr;
    FILE* file = ::fdopen(opened.fd, mode);
    if (!file)
        ::close(opened.fd);
    return file;
}

// True when QUIBLY_FAULT_NO_SPACE names the target's file: its save fails as on a full disk.
bool InjectedNoSpace(const std::string& target)
{
    return NamedInFaultList("QUIBLY_FAULT_NO_SPACE", target);
}

struct FindState {
    std::vector<platform::FolderEntry> entries;
    size_t next = 0;
};

std::string ToSlashes(std::string_view path)
{
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

// Splits "folder/pattern" into the folder (resolved) and the pattern.
FindState* StartFind(std::string_view patternPath)
{
    std::string path = ToSlashes(patternPath);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    auto state = std::make_unique<FindState>();
    for (auto& entry : platform::ListFolder(folder))
        if (MatchesPattern(entry.name, pattern))
            state->entries.push_back(entry);
    if (state->entries.empty())
        return nullptr;
    return state.release();
}

template <typename Data, typename Char>
void FillFindData(const platform::FolderEntry& entry, Data* data, Char* name, size_t capacity)
{
    data->dwFileAttributes = entry.isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (!entry.name.empty() && entry.name[0] == '.')
        data->dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
    data->nFileSizeHigh = 0;
    data->nFileSizeLow = 0;
    if constexpr (sizeof(Char) == sizeof(char)) {
        size_t n = std::min(entry.name.size(), capacity - 1);
        entry.name.copy(name, n);
        name[n] = 0;
    } else {
        std::wstring wide = platform::Widen(entry.name);
        size_t n = std::min(wide.size(), capacity - 1);
        wide.copy(name, n);
        name[n] = 0;
    }
}

template <typename Data>
BOOL NextEntry(HANDLE find, Data* data)
{
    auto* state = static_cast<FindState*>(find);
    if (!state || find == INVALID_HANDLE_VALUE || !data || state->next >= state->entries.size())
        return FALSE;
    FillFindData(state->entries[state->next++], data, data->cFileName, MAX_PATH);
    return TRUE;
}

} // namespace

HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data)
{
    if (!pattern || !data)
        return INVALID_HANDLE_VALUE;
    FindState* state = StartFind(platform::Narrow(pattern));
    if (!state)
        return INVALID_HANDLE_VALUE;
    NextEntry(state, data);
    return state;
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) { return NextEntry(find, data); }

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    if (!pattern || !data)
        return INVALID_HANDLE_VALUE;
    FindState* state = StartFind(pattern);
    if (!state)
        return INVALID_HANDLE_VALUE;
    NextEntry(state, data);
    return state;
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) { return NextEntry(find, data); }

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<FindState*>(find);
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD bufferBytes, char* buffer)
{
    std::error_code ec;
    std::string cwd = fs::current_path(ec).string();
    if (ec)
        return 0;
    if (!buffer || bufferBytes <= cwd.size())
        return static_cast<DWORD>(cwd.size() + 1);
    cwd.copy(buffer, cwd.size());
    buffer[cwd.size()] = 0;
    return static_cast<DWORD>(cwd.size());
}

DWORD GetCurrentDirectoryW(DWORD bufferChars, wchar_t* buffer)
{
    std::error_code ec;
    std::wstring cwd = platform::Widen(fs::current_path(ec).string());
    if (ec)
        return 0;
    if (!buffer || bufferChars <= cwd.size())
        return static_cast<DWORD>(cwd.size() + 1);
    cwd.copy(buffer, cwd.size());
    buffer[cwd.size()] = 0;
    return static_cast<DWORD>(cwd.size());
}

DWORD GetFileAttributesW(const wchar_t* path)
{
    if (!path)
        return INVALID_FILE_ATTRIBUTES;
    std::error_code ec;
    std::string resolved = platform::ResolvePath(std::wstring_view(path));
    auto status = fs::status(resolved, ec);
    if (ec || !fs::exists(status))
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = fs::is_directory(status) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    std::string name = fs::path(resolved).filename().string();
    if (!name.empty() && name[0] == '.')
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

BOOL CreateDirectoryW(const wchar_t* path, void*)
{
    if (!path)
        return FALSE;
    std::error_code ec;
    return fs::create_directory(platform::ResolvePath(std::wstring_view(path)), ec) ? TRUE : FALSE;
}

BOOL DeleteFileW(const wchar_t* path)
{
    return path ? DeleteFileA(platform::Narrow(path).c_str()) : FALSE;
}

BOOL DeleteFileA(const char* path)
{
    if (!path)
        return FALSE;
    std::error_code ec;
    return fs::remove(platform::ResolvePath(path), ec) ? TRUE : FALSE;
}

FILE* _wfopen(const wchar_t* path, const wchar_t* mode)
{
    if (!path || !mode)
        return nullptr;
    return platform::OpenFile(platform::Narrow(path), platform::Narrow(mode).c_str());
}

namespace platform {

std::vector<FolderEntry> ListFolder(std::string_view folder)
{
    std::vector<FolderEntry> entries;
    std::error_code ec;
    std::string resolved = ResolvePath(folder);
    for (fs::directory_iterator it(resolved.empty() ? "." : resolved, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        entries.push_back({it->path().filename().string(), it->is_directory(typeError)});
    }
    // Sorted as a case-insensitive file system lists: by the upper-cased names, so a folder "a"
    // comes before a file "X.tga"; names that differ only in case follow in byte order.
    auto upper = [](std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    };
    std::sort(entries.begin(), entries.end(), [&](const FolderEntry& a, const FolderEntry& b) {
        std::string ua = upper(a.name), ub = upper(b.name);
        return ua != ub ? ua < ub : a.name < b.name;
    });
    return entries;
}

namespace {

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// A folder's names by their lower-case spelling, each the smallest name of that spelling (so the
// answer never depends on listing order), kept with what identifies the folder's state.
struct FolderListing {
    timespec modified{};
    timespec changed{};
    std::unordered_map<std::string, std::string> byLowerName;
};

// The listings of folders looked into, by device and inode. A folder's modification time changes
// whenever a name in it is made, removed or renamed, so a listing is used only while that time
// (and the change time) stay the ones it was read at. File systems stamp these times at a tick of
// their own: a listing is kept only when it was read a safe margin after the folder's last change,
// so a change made after the reading always carries a later time. The margin is 50 ms where the
// times have sub-second parts (a few milliseconds' tick) and 2 s where they are whole seconds.
std::mutex g_listingLock;
std::map<std::pair<dev_t, ino_t>, FolderListing> g_listings;
constexpr size_t kMaxListings = 256;

bool ReadWellAfter(const timespec& stamp, const timespec& now)
{
    const long long margin = stamp.tv_nsec != 0 ? 50'000'000LL : 2'000'000'000LL;
    const long long apart = (now.tv_sec - stamp.tv_sec) * 1'000'000'000LL + (now.tv_nsec - stamp.tv_nsec);
    return apart >= margin;
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// The name in `folder` that spells `part` ignoring case, or "" when there is none. Names whose
// case differs from the disk's are common (the game's files name their folders as they please),
// and each lookup would otherwise read the whole folder.
std::string FindIgnoringCase(const std::string& folder, const std::string& part)
{
    const std::string lower = LowerAscii(part);
    struct stat info{};
    const bool known = ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    const auto key = std::make_pair(info.st_dev, info.st_ino);
    if (known) {
        std::lock_guard guard(g_listingLock);
        auto found = g_listings.find(key);
        if (found != g_listings.end() && SameTime(found->second.modified, info.st_mtim) &&
            SameTime(found->second.changed, info.st_ctim)) {
            auto name = found->second.byLowerName.find(lower);
            return name == found->second.byLowerName.end() ? std::string() : name->second;
        }
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const bool settled = known && ReadWellAfter(info.st_mtim, now) && ReadWellAfter(info.st_ctim, now);
    FolderListing listing{info.st_mtim, info.st_ctim, {}};
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), stop; !ec && it != stop; it.increment(ec)) {
        std::string name = it->path().filename().string();
        auto [entry, added] = listing.byLowerName.emplace(LowerAscii(name), name);
        if (!added && name < entry->second)
            entry->second = name;
    }
    auto name = listing.byLowerName.find(lower);
    std::string chosen = name == listing.byLowerName.end() ? std::string() : name->second;
    if (settled && !ec) {
        std::lock_guard guard(g_listingLock);
        if (g_listings.size() >= kMaxListings)
            g_listings.clear();
        g_listings[key] = std::move(listing);
    }
    return chosen;
}

} // namespace

std::string ResolvePath(std::string_view path)
{
    std::string slashed = ToSlashes(path);
    if (slashed.empty())
        return slashed;
    bool absolute = slashed[0] == '/';
    std::string result = absolute ? "/" : "";
    size_t start = absolute ? 1 : 0;
    bool searching = true; // once a component is missing, the rest is kept as written
    while (start <= slashed.size()) {
        size_t end = slashed.find('/', start);
        if (end == std::string::npos)
            end = slashed.size();
        std::string part = slashed.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            if (end == slashed.size())
                break;
            continue;
        }
        std::string base = result.empty() ? "." : result;
        std::string chosen = part;
        if (searching && part != "." && part != "..") {
            std::error_code ec;
            if (!fs::exists(fs::path(base) / part, ec)) {
                chosen = FindIgnoringCase(base, part);
                if (chosen.empty()) {
                    chosen = part;
                    searching = false;
                }
            }
        }
        if (!result.empty() && result.back() != '/')
            result += '/';
        result += chosen;
    }
    if (slashed.size() > 1 && slashed.back() == '/' && result.back() != '/')
        result += '/';
    return result;
}

std::string ResolvePath(std::wstring_view path) { return ResolvePath(Narrow(path)); }

void SetFileRefusalSink(FileRefusalSink sink) { g_refusalSink = sink; }

FILE* OpenFile(std::string_view path, const char* mode, size_t maxBytes)
{
    if (path.empty() || !mode || !*mode)
        return nullptr;
    return OpenResolved(ResolvePath(path), mode, maxBytes);
}

bool FileExists(std::string_view path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(ResolvePath(path), ec);
}

ReadOutcome TryReadWholeFile(std::string_view path, std::string& bytes, size_t maxBytes)
{
    return TryReadExactPath(ResolvePath(path), bytes, maxBytes);
}

FILE* OpenExactPath(const std::string& path, const char* mode, size_t maxBytes)
{
    if (path.empty() || !mode || !*mode)
        return nullptr;
    return OpenResolved(path, mode, maxBytes);
}

ReadOutcome TryReadExactPath(const std::string& resolved, std::string& bytes, size_t maxBytes)
{
    if (resolved.empty())
        return ReadOutcome::Missing;
    GuardedDescriptor opened = OpenRegular(resolved, O_RDONLY, maxBytes);
    if (opened.fd < 0)
        return opened.missing ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    std::FILE* file = ::fdopen(opened.fd, "rb");
    if (!file) {
        ::close(opened.fd);
        return ReadOutcome::Unreadable;
    }
    std::string read;
    read.reserve(static_cast<size_t>(opened.size));
    char chunk[64 * 1024];
    bool tooLarge = false;
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        // The file may grow while it is read; the limit holds for what is read too.
        if (read.size() + got > maxBytes) {
            tooLarge = true;
            break;
        }
        read.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        ReportRefusal(Shown(resolved) + " cannot be read: " + std::strerror(EIO));
    if (tooLarge)
        ReportRefusal(Shown(resolved) + " grew past the " + std::to_string(maxBytes) +
                      " bytes a file of its kind may have while it was read; it is not read");
    if (failed || tooLarge)
        return ReadOutcome::Unreadable;
    bytes = std::move(read);
    return ReadOutcome::Read;
}

bool ReadWholeFile(std::string_view path, std::string& bytes, size_t maxBytes)
{
    return TryReadWholeFile(path, bytes, maxBytes) == ReadOutcome::Read;
}

int RemoveLeftoverTemporaryFiles(std::string_view folder)
{
    int removed = 0;
    const std::string resolved = ResolvePath(folder);
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.isFolder)
            continue;
        // "<name>.tmp<pid>_<n>": digits, an underscore, digits, at the very end.
        const std::string& name = entry.name;
        size_t mark = name.rfind(".tmp");
        if (mark == std::string::npos || mark == 0)
            continue;
        std::string_view tail = std::string_view(name).substr(mark + 4);
        size_t underscore = tail.find('_');
        auto digits = [](std::string_view text) {
            return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (underscore == std::string_view::npos || !digits(tail.substr(0, underscore)) ||
            !digits(tail.substr(underscore + 1)) || underscore > 9)
            continue;
        pid_t pid = static_cast<pid_t>(std::stol(std::string(tail.substr(0, underscore))));
        if (pid == ::getpid() || (::kill(pid, 0) == 0 || errno == EPERM))
            continue; // a live process may still be writing it
        std::error_code ec;
        if (fs::remove(fs::path(resolved.empty() ? "." : resolved) / name, ec))
            ++removed;
    }
    return removed;
}

bool SaveFileAtomically(std::string_view path, std::string_view bytes)
{
    if (path.empty())
        return false;
    std::string target = ResolvePath(path);
    static std::atomic<unsigned> counter{0};
    std::string temp = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    if (InjectedNoSpace(target)) {
        errno = ENOSPC;
        return false;
    }
    {
        std::FILE* out = OpenResolved(temp, "wb", kMaxWholeFileBytes);
        if (!out)
            return false;
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        ok = std::fflush(out) == 0 && ok;
        ok = ::fsync(::fileno(out)) == 0 && ok;
        ok = std::fclose(out) == 0 && ok;
        if (!ok) {
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace platform
