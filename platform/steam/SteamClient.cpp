// The game platform's client, our own: start-up, identity, remote storage and the callback queue.
// Implemented: SteamAPI_Init/Shutdown/RunCallbacks, callback registration, SteamRemoteStorage
//              over the profile's "remote" folder, SteamUser (persisted random 64-bit id),
//              SteamFriends (persona name from "persona.txt", else the login name).
// Left out:    call results, matchmaking, networking, statistics, achievements, leaderboards,
//              utilities and the game server.
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"
#include "win32/Files.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kIdFile = "steamid.txt";
constexpr const char* kPersonaFile = "persona.txt";
constexpr const char* kRemoteFolder = "remote";
constexpr size_t kPersonaBytes = 128;

std::string LoginName()
{
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return "Player";
}

std::string DefaultProfileFolder()
{
    if (const char* dir = std::getenv("QUIBLY_PROFILE_DIR"); dir && *dir)
        return dir;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = ".";
    return base + "/quibly/" + LoginName();
}

// A remote file name is one plain name inside the remote folder, never a path.
bool IsPlainName(const char* name)
{
    if (!name || !*name)
        return false;
    std::string_view text(name);
    return text != "." && text != ".." && text.find('/') == std::string_view::npos &&
           text.find('\\') == std::string_view::npos;
}

class ProfileRemoteStorage final : public ISteamRemoteStorage {
public:
    explicit ProfileRemoteStorage(std::string folder) : m_folder(std::move(folder)) {}

    bool FileWrite(const char* name, const void* data, int32_t bytes) override
    {
        if (!IsPlainName(name) || bytes < 0 || (bytes > 0 && !data))
            return false;
        std::error_code ec;
        fs::create_directories(m_folder, ec);
        return platform::SaveFileAtomically(PathOf(name),
                                            std::string_view(static_cast<const char*>(data), bytes));
    }

    int32_t FileRead(const char* name, void* data, int32_t bytes) override
    {
        if (!IsPlainName(name) || bytes <= 0 || !data)
            return 0;
        std::FILE* in = std::fopen(PathOf(name).c_str(), "rb");
        if (!in)
            return 0;
        size_t got = std::fread(data, 1, static_cast<size_t>(bytes), in);
        std::fclose(in);
        return static_cast<int32_t>(got);
    }

    bool FileExists(const char* name) override
    {
        std::error_code ec;
        return IsPlainName(name) && fs::is_regular_file(PathOf(name), ec);
    }

    int32_t GetFileSize(const char* name) override
    {
        std::error_code ec;
        if (!FileExists(name))
            return 0;
        auto size = fs::file_size(PathOf(name), ec);
        if (ec || size > static_cast<uintmax_t>(INT32_MAX))
            return 0;
        return static_cast<int32_t>(size);
    }

private:
    std::string PathOf(const char* name) const { return m_folder + "/" + name; }
    std::string m_folder;
};

class ProfileUser final : public ISteamUser {
public:
    CSteamID GetSteamID() override { return m_id; }
    bool BLoggedOn() override { return true; }
    CSteamID m_id;
};

class ProfileFriends final : public ISteamFriends {
public:
    const char* GetPersonaName() override { return m_name.c_str(); }
    const char* GetFriendPersonaName(CSteamID user) override
    {
        return user == m_self ? m_name.c_str() : "";
    }
    std::string m_name;
    CSteamID m_self;
};

struct QueuedCallback {
    int id;
    std::vector<uint8_t> payload;
};

struct ClientState {
    std::recursive_mutex lock;
    bool initialised = false;
    bool initSucceeds = true;
    bool storageOverridden = false;
    ISteamRemoteStorage* storageOverride = nullptr;
    std::string folder;
    std::unique_ptr<ProfileRemoteStorage> storage;
    ProfileUser user;
    ProfileFriends friends;
    std::vector<CCallbackBase*> callbacks;
    std::deque<QueuedCallback> queue;
};

ClientState& State()
{
    static ClientState state;
    return state;
}

uint64_t NewRandomId()
{
    std::random_device device;
    uint64_t id = 0;
    while (id == 0)
        id = (static_cast<uint64_t>(device()) << 32) ^ device();
    return id;
}

// Reads the persisted id, or makes and stores a new one.
CSteamID LoadOrCreateId(const std::string& folder)
{
    std::string text;
    if (platform::ReadWholeFile(folder + "/" + kIdFile, text)) {
        char* end = nullptr;
        uint64_t id = std::strtoull(text.c_str(), &end, 10);
        if (id != 0 && end != text.c_str())
            return CSteamID(id);
    }
    uint64_t id = NewRandomId();
    platform::SaveFileAtomically(folder + "/" + kIdFile, std::to_string(id) + "\n");
    return CSteamID(id);
}

std::string LoadPersonaName(const std::string& folder)
{
    std::string text;
    if (platform::ReadWholeFile(folder + "/" + kPersonaFile, text)) {
        text.erase(std::find_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }),
                   text.end());
        if (!text.empty())
            return text.substr(0, kPersonaBytes - 1);
    }
    return LoginName();
}

} // namespace

bool SteamAPI_Init()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.initSucceeds)
        return false;
    if (state.initialised)
        return true;
    state.folder = DefaultProfileFolder();
    std::error_code ec;
    fs::create_directories(state.folder, ec);
    if (!fs::is_directory(state.folder, ec))
        return false;
    state.storage = std::make_unique<ProfileRemoteStorage>(state.folder + "/" + kRemoteFolder);
    state.user.m_id = LoadOrCreateId(state.folder);
    state.friends.m_self = state.user.m_id;
    state.friends.m_name = LoadPersonaName(state.folder);
    state.initialised = true;
    return true;
}

void SteamAPI_Shutdown()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    state.initialised = false;
    state.queue.clear();
    state.storage.reset();
}

void SteamAPI_RunCallbacks()
{
    ClientState& state = State();
    std::unique_lock guard(state.lock);
    // Callbacks queued while these run wait for the next call.
    std::deque<QueuedCallback> pending;
    pending.swap(state.queue);
    for (QueuedCallback& item : pending) {
        std::vector<CCallbackBase*> targets;
        for (CCallbackBase* callback : state.callbacks)
            if (callback->GetICallback() == item.id)
                targets.push_back(callback);
        for (CCallbackBase* callback : targets)
            if (std::find(state.callbacks.begin(), state.callbacks.end(), callback) != state.callbacks.end())
                callback->Run(item.payload.data());
    }
}

void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId)
{
    if (!callback)
        return;
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    callback->m_iCallback = callbackId;
    if (std::find(state.callbacks.begin(), state.callbacks.end(), callback) == state.callbacks.end())
        state.callbacks.push_back(callback);
}

void SteamAPI_UnregisterCallback(CCallbackBase* callback)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    std::erase(state.callbacks, callback);
}

ISteamRemoteStorage* SteamRemoteStorage()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.initialised)
        return nullptr;
    if (state.storageOverridden)
        return state.storageOverride;
    return state.storage.get();
}

ISteamUser* SteamUser()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    return state.initialised ? &state.user : nullptr;
}

ISteamFriends* SteamFriends()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    return state.initialised ? &state.friends : nullptr;
}

namespace platform::steam {

void QueueCallback(int callbackId, const void* payload, size_t bytes)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    QueuedCallback item{callbackId, {}};
    if (payload && bytes > 0)
        item.payload.assign(static_cast<const uint8_t*>(payload), static_cast<const uint8_t*>(payload) + bytes);
    state.queue.push_back(std::move(item));
}

void SetInitResult(bool succeeds)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    state.initSucceeds = succeeds;
}

void SetRemoteStorage(ISteamRemoteStorage* storage)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    state.storageOverridden = true;
    state.storageOverride = storage;
}

void UseProfileStorage()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    state.storageOverridden = false;
    state.storageOverride = nullptr;
}

std::string ProfileFolder()
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    return state.initialised ? state.folder : DefaultProfileFolder();
}

} // namespace platform::steam
