// Reading and saving the game-data XML files (see GameDataXml.h).
#include "data/GameDataXml.h"
#include "data/PlayDataPack.h"
#include <helvane/XmlText.h>

#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>

namespace gamedata {

namespace {

// One spelling per file for the held set and the log: resolved, case folded.
std::string FileKey(const char* path)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(platform::ResolvePath(std::string_view(path)), ec);
    std::string key = ec ? std::string(path) : absolute.lexically_normal().string();
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

struct UnreadableFiles {
    std::mutex lock;
    std::set<std::string> held;
    std::set<std::string> said;
};

UnreadableFiles& Unreadable()
{
    static UnreadableFiles files;
    return files;
}

} // namespace

bool ParseXmlDocument(const std::string& text, TiXmlDocument& doc)
{
    doc.Clear();
    ParseXmlText(doc, text);
    return !doc.Error();
}

bool LoadXmlFile(const char* path, TiXmlDocument& doc)
{
    std::string text;
    if (!path || !platform::ReadWholeFile(path, text, platform::kMaxXmlFileBytes))
        return false;
    return ParseXmlDocument(text, doc);
}

platform::ReadOutcome ReadPlayDataFile(const char* path, std::string& bytes, size_t maxBytes)
{
    if (!path)
        return platform::ReadOutcome::Missing;
    const platform::ReadOutcome outcome = platform::TryReadWholeFile(path, bytes, maxBytes);
    UnreadableFiles& files = Unreadable();
    const std::string key = FileKey(path);
    std::lock_guard guard(files.lock);
    if (outcome != platform::ReadOutcome::Unreadable) {
        // Readable or gone: saves go ahead again, and a new failure is said again.
        files.held.erase(key);
        files.said.erase(key);
        return outcome;
    }
    const bool firstTime = files.said.insert(key).second;
    const std::wstring name = platform::Widen(path);
    std::string packed;
    if (!ConfigPak::LastPackedContent(path, packed)) {
        files.held.insert(key);
        if (firstTime)
            DFLog(L"%s exists but cannot be read; no packed copy is known, so it is left as it is and not saved "
                  L"in this run",
                  name.c_str());
        return platform::ReadOutcome::Unreadable;
    }
    // The unreadable file goes aside (a rename needs no read access), so the saves of this run
    // write a readable file and the old one is not destroyed.
    const std::string resolved = platform::ResolvePath(std::string_view(path));
    const std::string aside = resolved + ".bad";
    std::error_code ec;
    if (std::filesystem::exists(aside, ec))
        ec = std::make_error_code(std::errc::file_exists);  // an earlier copy aside is never replaced
    else
        std::filesystem::rename(resolved, aside, ec);
    if (ec) {
        files.held.insert(key);
        if (firstTime)
            DFLog(L"%s exists but cannot be read; its last packed content is used, and the file is left as it is "
                  L"and not saved in this run",
                  name.c_str());
    } else {
        files.held.erase(key);
        if (firstTime)
            DFLog(L"%s exists but cannot be read; its last packed content is used and the file is kept as %s",
                  name.c_str(), platform::Widen(aside).c_str());
    }
    bytes = std::move(packed);
    return platform::ReadOutcome::Read;
}

bool IsHeldPlayDataFile(const char* path)
{
    if (!path)
        return false;
    UnreadableFiles& files = Unreadable();
    std::lock_guard guard(files.lock);
    return files.held.count(FileKey(path)) != 0;
}

bool FileExistsButUnparsable(const char* path)
{
    TiXmlDocument doc;
    return path && platform::FileExists(path) && !LoadXmlFile(path, doc);
}

bool SaveXmlFile(const char* path, const TiXmlDocument& doc)
{
    if (IsHeldPlayDataFile(path))
        return false;  // said when it was read
    TiXmlPrinter printer;
    doc.Accept(&printer);
    std::string target = platform::ResolvePath(path);
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (platform::SaveFileAtomically(target, printer.Str()))
        return true;
    DFLog(L"%s could not be saved", platform::Widen(path).c_str());
    return false;
}

void SetRealAttribute(TiXmlElement* element, const char* name, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    element->SetAttribute(name, text);
}

void CopyText(char* field, size_t capacity, const char* text)
{
    if (!field || capacity == 0)
        return;
    size_t length = text ? std::strlen(text) : 0;
    if (length >= capacity) {
        length = capacity - 1;
        // Step back over continuation bytes so a multi-byte character is never split.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    if (length > 0)
        std::memcpy(field, text, length);
    field[length] = '\0';
}

int IntAttribute(const TiXmlElement* element, const char* name, int fallback)
{
    return IntAttribute(element, name, fallback, INT_MIN, INT_MAX);
}

int IntAttribute(const TiXmlElement* element, const char* name, int fallback, int lo, int hi)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return fallback;
    long value = std::strtol(text, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, lo, hi));
}

bool QueryIntAttribute(const TiXmlElement* element, const char* name, int lo, int hi, int* value)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text || !value)
        return false;
    char* end = nullptr;
    long read = std::strtol(text, &end, 10);
    if (end == text)
        return false;
    *value = static_cast<int>(std::clamp<long>(read, lo, hi));
    return true;
}

bool QueryRealAttribute(const TiXmlElement* element, const char* name, double lo, double hi, double* value)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text || !value)
        return false;
    char* end = nullptr;
    double read = std::strtod(text, &end);
    if (end == text || std::isnan(read))
        return false;
    *value = std::clamp(read, lo, hi);
    return true;
}

int SaturatingAdd(int a, int b)
{
    int sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT_MAX : INT_MIN;
    return sum;
}

float RealAttribute(const TiXmlElement* element, const char* name, float fallback)
{
    return RealAttribute(element, name, fallback, -FLT_MAX, FLT_MAX);
}

float RealAttribute(const TiXmlElement* element, const char* name, float fallback, float lo, float hi)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return fallback;
    double value = std::strtod(text, nullptr);
    if (std::isnan(value))
        value = 0.0;
    return static_cast<float>(std::clamp(value, static_cast<double>(lo), static_cast<double>(hi)));
}

} // namespace gamedata
