// The play-data pack and its cloud copy (see PlayDataPack.h for the layout and the checks).
#include "app/PlayDataPack.h"

#include <helvane/Log.h>
#include <steam/SteamApi.h>
#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace ConfigPak {
namespace {

constexpr const char* kPlayDataFolder = "Data/PlayData";
constexpr int32_t kMaxCloudBytes = static_cast<int32_t>(kHeaderBytes + kMaxRawBytes + (kMaxRawBytes >> 8) + 64);
constexpr DWORD kCloudReadPauseMs = 100;

struct PackState {
    std::recursive_mutex lock;
    bool unpacked = false;
    std::vector<uint8_t> cloudBuffer;
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

// Writes every record of an accepted pack as a loose file; returns how many were written.
int WriteRecords(const DecodedPack& pack)
{
    EnsurePlayDataFolder();
    int written = 0;
    for (const PackRecord& record : pack.records) {
        const char* path = kPlayDataFiles[record.fileIndex];
        if (platform::SaveFileAtomically(path, pack.Bytes(record)))
            ++written;
        else
            DFLog(L"%s could not be written", platform::Widen(path).c_str());
    }
    return written;
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
        LogRefusal(packFile, pack.error);
        return 0;
    }
    WriteRecords(pack);
    state.unpacked = true;
    return 1;
}

// The raw records of the loose files as they are now.
std::string CollectLooseFiles()
{
    std::vector<std::pair<size_t, std::string>> files;
    size_t total = 0;
    for (size_t i = 0; i < kPlayDataFiles.size(); ++i) {
        std::string bytes;
        if (!platform::ReadWholeFile(kPlayDataFiles[i], bytes) || bytes.empty())
            continue;
        if (total + kRecordHeader + bytes.size() > kMaxRawBytes) {
            DFLog(L"%s is too large to pack", platform::Widen(kPlayDataFiles[i]).c_str());
            continue;
        }
        total += kRecordHeader + bytes.size();
        files.emplace_back(i, std::move(bytes));
    }
    return EncodeRecords(files);
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
    // One read of the whole file: a read always starts at the file's beginning, so a short read
    // cannot be continued.
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    int32_t got = storage->FileRead(kCloudFile, buffer.data(), size);
    Sleep(kCloudReadPauseMs);
    if (got != size) {
        DFLog(L"%s read %d of %d bytes", platform::Widen(kCloudFile).c_str(), got, size);
        return 0;
    }
    state.cloudBuffer = std::move(buffer);
    return 1;
}

int UploadToCloud()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    if (!storage)
        return 0;
    std::string bytes;
    if (!platform::ReadWholeFile(kPackFile, bytes) || bytes.empty() ||
        bytes.size() > static_cast<size_t>(kMaxCloudBytes))
        return 0;
    return storage->FileWrite(kCloudFile, bytes.data(), static_cast<int32_t>(bytes.size())) ? 1 : 0;
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
        // A copy that is there but unreadable now may be fine later: never upload over it.
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
    DecodedPack pack;
    if (!DecodePack(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)), pack)) {
        LogRefusal(kCloudFile, pack.error);
        return 0;
    }
    if (pack.records.size() != kPlayDataFiles.size())
        DFLog(L"%s holds %d of %d play-data files; the others are kept as they are",
              platform::Widen(kCloudFile).c_str(), static_cast<int>(pack.records.size()),
              static_cast<int>(kPlayDataFiles.size()));
    WriteRecords(pack);
    state.unpacked = true;
    return 1;
}

int Pack(int deleteLoose)
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    std::string raw = CollectLooseFiles();
    if (!platform::SaveFileAtomically(kRawFile, raw))
        return 0;
    if (raw.empty())
        return 1;
    std::string packBytes = EncodePack(raw);
    if (packBytes.empty()) {
        DFLog(L"%s: the play data could not be compressed", platform::Widen(kPackFile).c_str());
        return 0;
    }
    if (!platform::SaveFileAtomically(kPackFile, packBytes)) {
        DFLog(L"%s could not be written; the previous pack is kept", platform::Widen(kPackFile).c_str());
        return 0;
    }
    if (deleteLoose) {
        if (PackOnDiskMatches(packBytes, raw))
            DeleteLooseFiles();
        else
            DFLog(L"%s did not read back intact; the loose files are kept", platform::Widen(kPackFile).c_str());
    }
    UploadToCloud();
    return 1;
}

void RestoreAtStartup(bool resetSwitch)
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    if (resetSwitch) {
        OpenCloud();
        UnpackInitPack();
        Pack(0);
        return;
    }
    if (!OpenCloud()) {
        UnpackPack();
        return;
    }
    if (UnpackFromMemory(state.cloudBuffer.data(), static_cast<int>(state.cloudBuffer.size())))
        return;
    // A damaged cloud copy: the player's own pack is a better replacement than the initial one.
    if (!UnpackPack())
        UnpackInitPack();
    Pack(0);
}

const std::vector<uint8_t>& CloudBuffer() { return State().cloudBuffer; }

void ResetForNewRun()
{
    PackState& state = State();
    std::lock_guard guard(state.lock);
    state.unpacked = false;
    state.cloudBuffer.clear();
}

} // namespace ConfigPak
