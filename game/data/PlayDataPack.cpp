// The play-data pack and its cloud copy (see PlayDataPack.h for the layout and the checks).
#include "data/PlayDataPack.h"

#include <helvane/Log.h>
#include <steam/SteamApi.h>
#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace ConfigPak {
namespace {

constexpr const char* kPlayDataFolder = "Data/PlayData";
constexpr int32_t kMaxCloudBytes = static_cast<int32_t>(kHeaderBytes + kMaxRawBytes + (kMaxRawBytes >> 8) + 64);
constexpr DWORD kCloudReadPauseMs = 100;
constexpr int kCloudReadAttempts = 3;

struct PackState {
    std::recursive_mutex lock;
    bool unpacked = false;
    std::vector<uint8_t> cloudBuffer;
    // A cloud copy exists but could not be read in this run: nothing is uploaded over it.
    bool cloudUnreadable = false;
    // The newest known bytes of each play-data file: what start-up restored, then what each
    // pack held. A file missing or unreadable when packing is carried over from here.
    std::array<std::optional<std::string>, kPlayDataFiles.size()> known;
};

PackState& State()
{
    static PackState state;
    return state;
}

uint32_t ReadU32(const char* p)
{
    const auto* b = reinterpret_cast<const uint8_t*>(p);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

void AppendU32(std::string& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool SamePath(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] == '\\' ? '/' : a[i];
        char y = b[i] == '\\' ? '/' : b[i];
        if (std::tolower(static_cast<unsigned char>(x)) != std::tolower(static_cast<unsigned char>(y)))
            return false;
    }
    return true;
}

// The play-data file a record's path names, or -1. Separators and case are forgiven, since the
// same files may have been packed on a system that spells them differently.
int PlayDataIndex(std::string_view path)
{
    for (size_t i = 0; i < kPlayDataFiles.size(); ++i)
        if (SamePath(path, kPlayDataFiles[i]))
            return static_cast<int>(i);
    return -1;
}

bool Refuse(DecodedPack& out, std::string why)
{
    out.error = std::move(why);
    out.records.clear();
    return false;
}

bool WalkRecords(DecodedPack& out)
{
    std::array<bool, kPlayDataFiles.size()> seen{};
    size_t offset = 0;
    const size_t size = out.raw.size();
    while (offset < size) {
        if (size - offset < kRecordHeader)
            return Refuse(out, "record header runs past the end at " + std::to_string(offset));
        const char* field = out.raw.data() + offset;
        const void* nul = std::memchr(field, 0, kPathField);
        if (!nul)
            return Refuse(out, "record path without an end at " + std::to_string(offset));
        std::string_view path(field, static_cast<const char*>(nul) - field);
        int index = PlayDataIndex(path);
        if (index < 0)
            return Refuse(out, "record path is not a play-data file: \"" + std::string(path) + "\"");
        if (seen[index])
            return Refuse(out, "record repeats \"" + std::string(path) + "\"");
        seen[index] = true;
        uint32_t length = ReadU32(field + kPathField);
        if (length == 0 || length > size - offset - kRecordHeader)
            return Refuse(out, "record length " + std::to_string(length) + " does not fit for \"" +
                                   std::string(path) + "\"");
        out.records.push_back({static_cast<size_t>(index), offset + kRecordHeader, length});
        offset += kRecordHeader + length;
    }
    return true;
}

void LogRefusal(const char* source, const std::string& why)
{
    DFLog(L"%s refused: %s", platform::Widen(source).c_str(), platform::Widen(why).c_str());
}

// Creates Data/PlayData when it is missing, in whatever case an existing "Data" folder has.
void EnsurePlayDataFolder()
{
    std::error_code ec;
    std::filesystem::create_directories(platform::ResolvePath(kPlayDataFolder), ec);
}

// Writes every record of an accepted pack as a loose file, except the files in `skip`, and
// remembers each record's bytes (also when its file could not be written, so the next pack
// still holds it); returns how many were written.
int WriteRecords(const DecodedPack& pack, const std::array<bool, kPlayDataFiles.size()>& skip = {})
{
    EnsurePlayDataFolder();
    int written = 0;
    for (const PackRecord& record : pack.records) {
        if (skip[record.fileIndex])
            continue;
        const char* path = kPlayDataFiles[record.fileIndex];
        State().known[record.fileIndex] = std::string(pack.Bytes(record));
        if (platform::SaveFileAtomically(path, pack.Bytes(record)))
            ++written;
        else
            DFLog(L"%s could not be written; its content is kept for the next pack", platform::Widen(path).c_str());
    }
    return written;
}

// Which play-data files an accepted pack holds.
std::array<bool, kPlayDataFiles.size()> FilesIn(const DecodedPack& pack)
{
    std::array<bool, kPlayDataFiles.size()> held{};
    for (const PackRecord& record : pack.records)
        held[record.fileIndex] = true;
    return held;
}

// A time stamp for the names of files kept aside.
std::string StampNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// A name beside the current directory's files for a refused pack: "<stem>_damaged_<stamp>.pak",
// with a number added when that name is taken.
std::string AsideName(std::string_view stem)
{
    std::string base = std::string(stem) + "_damaged_" + StampNow();
    std::string name = base + ".pak";
    for (int n = 2; platform::FileExists(name) && n < 1000; ++n)
        name = base + "_" + std::to_string(n) + ".pak";
    return name;
}

// A refused local pack is moved aside, so no later pack replaces it and it can be recovered.
void KeepLocalPackAside(const std::string& why)
{
    std::string aside = AsideName("QuiblyConfig");
    std::error_code ec;
    std::filesystem::rename(platform::ResolvePath(kPackFile), aside, ec);
    if (ec)
        DFLog(L"%s refused: %s; it could not be moved aside (%s) and is left in place", platform::Widen(kPackFile).c_str(),
              platform::Widen(why).c_str(), platform::Widen(ec.message()).c_str());
    else
        DFLog(L"%s refused: %s; it is kept as %s", platform::Widen(kPackFile).c_str(), platform::Widen(why).c_str(),
              platform::Widen(aside).c_str());
}

// A refused cloud copy is saved beside the local pack before anything is uploaded over it.
void KeepCloudCopyAside(std::string_view bytes, const std::string& why)
{
    std::string aside = AsideName("QuiblyConfig_cloud");
    if (platform::SaveFileAtomically(aside, bytes))
        DFLog(L"%s refused: %s; it is kept as %s", platform::Widen(kCloudFile).c_str(), platform::Widen(why).c_str(),
              platform::Widen(aside).c_str());
    else
        DFLog(L"%s refused: %s; it could not be kept aside", platform::Widen(kCloudFile).c_str(),
              platform::Widen(why).c_str());
}

// The local pack read and checked; false when it is missing or refused (refusal logged by the
// caller through `why`).
bool ReadLocalPack(DecodedPack& pack, bool& exists)
{
    std::string bytes;
    exists = platform::FileExists(kPackFile);
    if (!exists || !platform::ReadWholeFile(kPackFile, bytes)) {
        pack.error = exists ? "it cannot be read" : "";
        return false;
    }
    return DecodePack(bytes, pack);
}

// Modification time of a file in nanoseconds since 1970, 0 when it does not exist.
int64_t ModifiedNs(const char* path)
{
    struct stat info {};
    if (::stat(platform::ResolvePath(path).c_str(), &info) != 0)
        return 0;
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

// The newest modification time among the loose play-data files, 0 when there are none.
int64_t NewestLooseFileNs()
{
    int64_t newest = 0;
    for (const char* path : kPlayDataFiles)
        newest = std::max(newest, ModifiedNs(path));
    return newest;
}

// Restores one pack file from the current directory.
int UnpackFile(const char* packFile)
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    if (state.unpacked)
        return 0;
    std::string bytes;
    if (!platform::ReadWholeFile(packFile, bytes))
        return 0;
    DecodedPack pack;
    if (!DecodePack(bytes, pack)) {
        if (std::string_view(packFile) == kPackFile)
            KeepLocalPackAside(pack.error);
        else
            LogRefusal(packFile, pack.error);
        return 0;
    }
    WriteRecords(pack);
    state.unpacked = true;
    return 1;
}

// The files of the next pack: each loose file as it is now; a file that is missing, empty,
// unreadable or too large is carried over from the newest known copy. `whole` is false when a
// loose file exists whose current bytes are not in the pack (its loose copy must then stay).
std::vector<std::pair<size_t, std::string>> CollectFiles(bool& whole, int& looseCount)
{
    PackState& state = State();
    std::vector<std::pair<size_t, std::string>> files;
    whole = true;
    looseCount = 0;
    size_t total = 0;
    auto fits = [&](const std::string& bytes) { return total + kRecordHeader + bytes.size() <= kMaxRawBytes; };
    for (size_t i = 0; i < kPlayDataFiles.size(); ++i) {
        const char* path = kPlayDataFiles[i];
        std::string bytes;
        bool exists = std::filesystem::exists(platform::ResolvePath(path));
        bool read = exists && platform::ReadWholeFile(path, bytes, kMaxRawBytes);
        if (read && !bytes.empty() && fits(bytes)) {
            total += kRecordHeader + bytes.size();
            files.emplace_back(i, std::move(bytes));
            ++looseCount;
            continue;
        }
        if (exists && !(read && bytes.empty())) {
            whole = false;
            DFLog(L"%s cannot be packed (%s); its last packed content is kept", platform::Widen(path).c_str(),
                  read ? L"too large" : L"unreadable");
        }
        if (state.known[i] && !state.known[i]->empty() && fits(*state.known[i])) {
            total += kRecordHeader + state.known[i]->size();
            files.emplace_back(i, *state.known[i]);
        }
    }
    return files;
}

// True when the pack on disk is exactly what was meant to be written and decodes to `raw`.
bool PackOnDiskMatches(const std::string& packBytes, const std::string& raw)
{
    std::string onDisk;
    DecodedPack check;
    return platform::ReadWholeFile(kPackFile, onDisk) && onDisk == packBytes && DecodePack(onDisk, check) &&
           check.raw == raw;
}

void DeleteLooseFiles()
{
    DeleteFileA(kRawFile);
    DeleteFileA(kLooseMarker);
    for (const char* path : kPlayDataFiles) {
        OutputDebugStringA(path);
        DeleteFileA(path);
    }
}

} // namespace

bool DecodePack(std::string_view pack, DecodedPack& out)
{
    out = DecodedPack{};
    if (pack.size() < kHeaderBytes)
        return Refuse(out, "shorter than its header");
    uint32_t compressed = ReadU32(pack.data());
    uint32_t rawSize = ReadU32(pack.data() + 4);
    if (compressed == 0 || compressed > pack.size() - kHeaderBytes)
        return Refuse(out, "compressed size " + std::to_string(compressed) + " does not fit");
    if (rawSize == 0 || rawSize > kMaxRawBytes)
        return Refuse(out, "raw size " + std::to_string(rawSize) + " out of range");
    out.raw.resize(rawSize);
    uLongf produced = rawSize;
    int result = uncompress(reinterpret_cast<Bytef*>(out.raw.data()), &produced,
                            reinterpret_cast<const Bytef*>(pack.data() + kHeaderBytes), compressed);
    if (result != Z_OK || produced != rawSize)
        return Refuse(out, "data does not inflate to its raw size");
    return WalkRecords(out);
}

std::string EncodeRecords(const std::vector<std::pair<size_t, std::string>>& files)
{
    std::string raw;
    for (const auto& [index, bytes] : files) {
        if (bytes.empty() || index >= kPlayDataFiles.size())
            continue;
        std::string field(kPathField, '\0');
        std::string_view path(kPlayDataFiles[index]);
        field.replace(0, path.size(), path);
        raw += field;
        AppendU32(raw, static_cast<uint32_t>(bytes.size()));
        raw += bytes;
    }
    return raw;
}

std::string EncodePack(std::string_view raw)
{
    if (raw.empty() || raw.size() > kMaxRawBytes)
        return {};
    uLongf compressed = compressBound(static_cast<uLong>(raw.size()));
    std::string pack(kHeaderBytes + compressed, '\0');
    int result = compress2(reinterpret_cast<Bytef*>(pack.data() + kHeaderBytes), &compressed,
                           reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 1);
    if (result != Z_OK)
        return {};
    pack.resize(kHeaderBytes + compressed);
    std::string header;
    AppendU32(header, static_cast<uint32_t>(compressed));
    AppendU32(header, static_cast<uint32_t>(raw.size()));
    pack.replace(0, kHeaderBytes, header);
    return pack;
}

int ReadFromCloud()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    if (!storage || !storage->FileExists(kCloudFile))
        return 0;
    int32_t size = storage->GetFileSize(kCloudFile);
    if (size <= 0 || size > kMaxCloudBytes) {
        DFLog(L"%s has an unusable size %d", platform::Widen(kCloudFile).c_str(), size);
        return 0;
    }
    // Each read is of the whole file: a read always starts at the file's beginning, so a short
    // read cannot be continued, only tried again. A flaky read gets a few tries.
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    int32_t got = 0;
    for (int attempt = 0; attempt < kCloudReadAttempts; ++attempt) {
        got = storage->FileRead(kCloudFile, buffer.data(), size);
        Sleep(kCloudReadPauseMs);
        if (got == size) {
            state.cloudBuffer = std::move(buffer);
            return 1;
        }
    }
    DFLog(L"%s read %d of %d bytes in %d tries", platform::Widen(kCloudFile).c_str(), got, size, kCloudReadAttempts);
    return 0;
}

int UploadToCloud()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    if (!storage)
        return 0;
    if (state.cloudUnreadable) {
        DFLog(L"%s could not be read in this run; it is not uploaded over", platform::Widen(kCloudFile).c_str());
        return 0;
    }
    std::string bytes;
    if (!platform::ReadWholeFile(kPackFile, bytes)) {
        DFLog(L"%s could not be read to upload it (%s)", platform::Widen(kPackFile).c_str(),
              platform::Widen(std::strerror(errno)).c_str());
        return 0;
    }
    if (bytes.empty() || bytes.size() > static_cast<size_t>(kMaxCloudBytes))
        return 0;
    // A damaged local pack never replaces the cloud copy.
    DecodedPack check;
    if (!DecodePack(bytes, check)) {
        LogRefusal(kPackFile, check.error + "; it is not uploaded");
        return 0;
    }
    if (!storage->FileWrite(kCloudFile, bytes.data(), static_cast<int32_t>(bytes.size()))) {
        DFLog(L"%s could not be uploaded", platform::Widen(kCloudFile).c_str());
        return 0;
    }
    return 1;
}

int OpenCloud()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    if (!storage)
        return 0;
    if (ReadFromCloud())
        return 1;
    if (storage->FileExists(kCloudFile)) {
        // A copy that is there but unreadable now may be fine later: never upload over it in
        // this run.
        state.cloudUnreadable = true;
        DFLog(L"%s could not be read; it is kept and the local pack is used", platform::Widen(kCloudFile).c_str());
        return 0;
    }
    UploadToCloud();
    return 0;
}

int UnpackPack() { return UnpackFile(kPackFile); }

int UnpackInitPack() { return UnpackFile(kInitPackFile); }

int UnpackFromMemory(const uint8_t* bytes, int size)
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    if (state.unpacked || !bytes || size <= 0)
        return 0;
    std::string_view view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
    DecodedPack pack;
    if (!DecodePack(view, pack)) {
        KeepCloudCopyAside(view, pack.error);
        return 0;
    }
    WriteRecords(pack);
    state.unpacked = true;
    if (pack.records.size() == kPlayDataFiles.size())
        return 1;
    // A partial copy is completed from the local pack for the files it lacks.
    DecodedPack local;
    bool localExists = false;
    int completed = 0;
    if (ReadLocalPack(local, localExists)) {
        std::array<bool, kPlayDataFiles.size()> skip = FilesIn(pack);
        completed = WriteRecords(local, skip);
    }
    DFLog(L"%s holds %d of %d play-data files; %d taken from %s, the others are kept as they are",
          platform::Widen(kCloudFile).c_str(), static_cast<int>(pack.records.size()),
          static_cast<int>(kPlayDataFiles.size()), completed, platform::Widen(kPackFile).c_str());
    return 1;
}

namespace {

// What became of a pack's upload.
enum class Upload { NothingPacked, Written, NotWritten };

int PackAndUpload(int deleteLoose, Upload& upload)
{
    upload = Upload::NothingPacked;
    PackState& state = State();
    std::lock_guard guard(state.lock);
    bool whole = true;
    int looseCount = 0;
    std::vector<std::pair<size_t, std::string>> files = CollectFiles(whole, looseCount);
    // Without any loose file there is nothing new to pack: the previous pack is kept as it is.
    std::string raw = looseCount > 0 ? EncodeRecords(files) : std::string();
    if (!platform::SaveFileAtomically(kRawFile, raw)) {
        DFLog(L"%s could not be written (disk full or folder not writable); the play data is not packed and the "
              L"loose files are kept",
              platform::Widen(kRawFile).c_str());
        return 0;
    }
    if (raw.empty())
        return 1;
    std::string packBytes = EncodePack(raw);
    if (packBytes.empty()) {
        DFLog(L"%s: the play data could not be compressed; the loose files are kept", platform::Widen(kPackFile).c_str());
        return 0;
    }
    if (!platform::SaveFileAtomically(kPackFile, packBytes)) {
        DFLog(L"%s could not be written (disk full or folder not writable); the previous pack and the loose files "
              L"are kept",
              platform::Widen(kPackFile).c_str());
        return 0;
    }
    for (auto& [index, bytes] : files)
        state.known[index] = std::move(bytes);
    if (deleteLoose) {
        if (!whole)
            DFLog(L"Some play-data files could not be packed; the loose files are kept");
        else if (PackOnDiskMatches(packBytes, raw))
            DeleteLooseFiles();
        else
            DFLog(L"%s did not read back intact; the loose files are kept", platform::Widen(kPackFile).c_str());
    }
    upload = UploadToCloud() ? Upload::Written : Upload::NotWritten;
    return 1;
}

} // namespace

int Pack(int deleteLoose)
{
    Upload upload;
    return PackAndUpload(deleteLoose, upload);
}

int PackAtExit()
{
    Upload upload;
    const int packed = PackAndUpload(1, upload);
    std::string failure;
    if (!packed)
        failure = std::string("the play data could not be packed into ") + kPackFile + "; the loose files are kept";
    else if (upload == Upload::NotWritten)
        failure = std::string("the cloud copy ") + kCloudFile + " was not written; the local pack holds the play data";
    if (failure.empty())
        return 1;
    DFLog(L"At exit %s", platform::Widen(failure).c_str());
    std::fprintf(stderr, "Quibly: at exit %s (the log says why, if it could be written).\n", failure.c_str());
    std::fflush(stderr);
    return 0;
}

namespace {

// Chooses and restores the start-up source; `unfinished` tells that the last run left its loose
// files unpacked (the marker was still there).
void RestoreSource(bool resetSwitch, bool unfinished)
{
    PackState& state = State();
    // A damaged local pack goes aside whatever source is chosen, so no later pack replaces it.
    DecodedPack check;
    std::string localPack;
    if (platform::FileExists(kPackFile) &&
        (!platform::ReadWholeFile(kPackFile, localPack) || !DecodePack(localPack, check)))
        KeepLocalPackAside(check.error.empty() ? "it cannot be read" : check.error);
    if (resetSwitch) {
        OpenCloud();
        UnpackInitPack();
        Pack(0);
        return;
    }
    const int64_t localNs = ModifiedNs(kPackFile);
    const int64_t looseNs = NewestLooseFileNs();
    const bool cloudRead = OpenCloud() != 0;
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    // Seconds; 0 when the storage does not know, and the cloud copy then counts as the newest.
    const int64_t cloudTime = cloudRead && storage ? storage->GetFileTimestamp(kCloudFile) : 0;
    auto newerThanCloud = [&](int64_t ns) { return !cloudRead || (cloudTime > 0 && ns / 1'000'000'000 >= cloudTime); };

    // Loose files changed after the local pack was written by a run that ended without packing
    // them (it was killed, or its pack failed: the marker tells). They are the newest copy unless
    // the cloud copy is newer still; the local pack fills in what they lack. Loose files without
    // the marker (defaults shipped in the run folder) never replace the player's packs.
    if (unfinished && looseNs > localNs && newerThanCloud(looseNs)) {
        DecodedPack local;
        bool exists = false;
        if (ReadLocalPack(local, exists)) {
            for (const PackRecord& record : local.records)
                state.known[record.fileIndex] = std::string(local.Bytes(record));
            std::array<bool, kPlayDataFiles.size()> present{};
            for (size_t i = 0; i < kPlayDataFiles.size(); ++i)
                present[i] = platform::FileExists(kPlayDataFiles[i]);
            WriteRecords(local, present);
        }
        DFLog(L"The play-data files left by the last run are newer than the packs; they are kept and packed");
        state.unpacked = true;
        Pack(0);
        return;
    }
    if (!cloudRead) {
        UnpackPack();
        return;
    }
    std::string_view cloudBytes(reinterpret_cast<const char*>(state.cloudBuffer.data()), state.cloudBuffer.size());
    DecodedPack cloud;
    if (DecodePack(cloudBytes, cloud)) {
        // A local pack newer than the cloud copy was written by a run that ended before its
        // upload: it is the newest copy, completed from the cloud copy and uploaded.
        DecodedPack local;
        bool exists = false;
        std::string localBytes;
        platform::ReadWholeFile(kPackFile, localBytes);
        if (localNs > 0 && newerThanCloud(localNs) && localBytes != cloudBytes && ReadLocalPack(local, exists)) {
            DFLog(L"%s is newer than %s; it is restored and uploaded", platform::Widen(kPackFile).c_str(),
                  platform::Widen(kCloudFile).c_str());
            UnpackPack();
            WriteRecords(cloud, FilesIn(local));
            Pack(0);
            return;
        }
        UnpackFromMemory(state.cloudBuffer.data(), static_cast<int>(state.cloudBuffer.size()));
        if (cloud.records.size() != kPlayDataFiles.size())
            Pack(0); // the completed copy goes back to the cloud
        return;
    }
    // A damaged cloud copy (kept aside by the unpack): the player's own pack is a better
    // replacement than the initial one.
    UnpackFromMemory(state.cloudBuffer.data(), static_cast<int>(state.cloudBuffer.size()));
    if (!UnpackPack())
        UnpackInitPack();
    Pack(0);
}

} // namespace

void RestoreAtStartup(bool resetSwitch)
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    RemoveLeftoverTemporaryFiles();
    RestoreSource(resetSwitch, platform::FileExists(kLooseMarker));
    // From now until a pack at exit has taken them, the loose files are the newest copy.
    platform::SaveFileAtomically(kLooseMarker, "The play-data files under Data/PlayData are newer than QuiblyConfig.pak "
                                               "while this file exists.\n");
}

void RemoveLeftoverTemporaryFiles()
{
    int removed = platform::RemoveLeftoverTemporaryFiles(".") + platform::RemoveLeftoverTemporaryFiles(kPlayDataFolder);
    if (removed > 0)
        DFLog(L"%d temporary files left by an earlier run were removed", removed);
}

bool LastPackedContent(const char* path, std::string& bytes)
{
    if (!path)
        return false;
    // The play-data files are spelled "Data/PlayData/..." here and in other cases elsewhere.
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   auto fold = [](char c) { return c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
                   return fold(x) == fold(y);
               });
    };
    PackState& state = State();
    std::lock_guard guard(state.lock);
    for (size_t i = 0; i < kPlayDataFiles.size(); ++i)
        if (same(path, kPlayDataFiles[i]) && state.known[i] && !state.known[i]->empty()) {
            bytes = *state.known[i];
            return true;
        }
    return false;
}

const std::vector<uint8_t>& CloudBuffer() { return State().cloudBuffer; }

void ResetForNewRun()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    state.unpacked = false;
    state.cloudBuffer.clear();
    state.cloudUnreadable = false;
    state.known = {};
}

} // namespace ConfigPak
