// The profile of the platform's user: which folder holds it, its persisted random 64-bit id and
// its persona name, and the user, friends and utilities interfaces over them.
// Implemented: $QUIBLY_PROFILE_DIR, else <data home>/quibly/<$QUIBLY_PROFILE or login name>;
//              "steamid.txt" (decimal id, made on first use), "persona.txt" (first line, UTF-8,
//              at most 127 bytes, else the profile's name: $QUIBLY_PROFILE or the login name),
//              written by SetPersonaName when the player names itself; the overlay position is
//              only kept and the overlay reports itself unavailable.
//              Other users' names come from the lobbies and the online backend; game-connection
//              tickets from the online context.
// Left out:    friends lists, avatars and the overlay itself.
#include "ClientState.h"
#include "Online.h"

#include "steam/SteamProfile.h"

#include "win32/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <random>
#include <unistd.h>

namespace platform::steam {

bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos;
}

namespace {

constexpr const char* kIdFile = "steamid.txt";
constexpr const char* kPersonaFile = "persona.txt";
constexpr const char* kOfflineProfile = "offline";
constexpr size_t kPersonaBytes = 128;

std::string DataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share";
    return ".";
}

uint64_t NewRandomId()
{
    std::random_device device;
    uint64_t id = 0;
    while (id == 0)
        id = (static_cast<uint64_t>(device()) << 32) ^ device();
    return id;
}

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

// Cuts UTF-8 text to at most `bytes` bytes, never inside a character.
std::string CutUtf8(std::string text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

// The first line of the text, cut to a persona name's size.
std::string PersonaLine(std::string text)
{
    text.erase(std::find_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }), text.end());
    return CutUtf8(text, kPersonaBytes - 1);
}

// The profile's own name: two profiles on one login are two players with two names.
std::string ProfileName()
{
    const char* named = std::getenv("QUIBLY_PROFILE");
    return named && *named ? named : LoginName();
}

std::string LoadPersonaName(const std::string& folder)
{
    std::string text;
    if (platform::ReadWholeFile(folder + "/" + kPersonaFile, text)) {
        text = PersonaLine(std::move(text));
        if (!text.empty())
            return text;
    }
    return ProfileName();
}

class ProfileUser final : public ISteamUser {
public:
    explicit ProfileUser(CSteamID id) : m_id(id) {}
    CSteamID GetSteamID() override { return m_id; }
    bool BLoggedOn() override { return true; }
    int InitiateGameConnection(void* blob, int maxBytes, CSteamID server, uint32_t serverIp, uint16_t serverPort,
                               bool /*secure*/) override
    {
        std::lock_guard guard(State().lock);
        return State().online ? State().online->InitiateGameConnection(blob, maxBytes, server, serverIp, serverPort) : 0;
    }
    void TerminateGameConnection(uint32_t serverIp, uint16_t serverPort) override
    {
        std::lock_guard guard(State().lock);
        if (State().online)
            State().online->TerminateGameConnection(serverIp, serverPort);
    }

private:
    CSteamID m_id;
};

class ProfileFriends final : public ISteamFriends {
public:
    ProfileFriends(CSteamID self, std::string name) : m_self(self), m_name(std::move(name)) {}
    void Rename(const std::string& name) { m_name = name; }
    const char* GetPersonaName() override { return m_name.c_str(); }
    const char* GetFriendPersonaName(CSteamID user) override
    {
        if (user == m_self)
            return m_name.c_str();
        std::lock_guard guard(State().lock);
        return State().online ? State().online->PersonaOf(user) : "";
    }
    bool IsUserInSource(CSteamID user, CSteamID source) override
    {
        std::lock_guard guard(State().lock);
        return State().online && State().online->IsUserInLobby(user, source);
    }
    void ActivateGameOverlayToWebPage(const char* url) override
    {
        std::fprintf(stderr, "[platform] there is no overlay; the page would be %s\n", url ? url : "(none)");
    }

private:
    CSteamID m_self;
    std::string m_name;
};

class ProfileUtils final : public ISteamUtils {
public:
    AppId_t GetAppID() override { return kAppId; }
    void SetOverlayNotificationPosition(ENotificationPosition position) override
    {
        std::lock_guard guard(State().lock);
        State().overlayPosition = position;
    }
    // There is no overlay here: callers offer nothing that needs it.
    bool IsOverlayEnabled() override { return false; }
};

} // namespace

std::string LoginName()
{
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return "Player";
}

ProfileChoice ChooseProfileFolder()
{
    const std::string profile = ProfileName();
    if (profile == kOfflineProfile)
        return {{}, "the profile \"offline\" has no platform"};
    if (const char* dir = std::getenv("QUIBLY_PROFILE_DIR"); dir && *dir)
        return {dir, {}};
    if (!IsPlainName(profile))
        return {{}, "the profile name \"" + profile + "\" is not a plain folder name"};
    return {DataHome() + "/quibly/" + profile, {}};
}

Profile LoadProfile(const std::string& folder)
{
    Profile profile;
    profile.folder = folder;
    profile.id = LoadOrCreateId(folder);
    profile.personaName = LoadPersonaName(folder);
    return profile;
}

std::unique_ptr<ISteamUser> MakeUser(CSteamID id)
{
    return std::make_unique<ProfileUser>(id);
}

std::unique_ptr<ISteamFriends> MakeFriends(CSteamID self, std::string personaName)
{
    return std::make_unique<ProfileFriends>(self, std::move(personaName));
}

std::unique_ptr<ISteamUtils> MakeUtils()
{
    return std::make_unique<ProfileUtils>();
}

bool SetPersonaName(const char* utf8)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.initialised || !utf8)
        return false;
    const std::string name = PersonaLine(utf8);
    if (name.empty())
        return false;
    state.profile.personaName = name;
    if (auto* friends = dynamic_cast<ProfileFriends*>(state.friends.get()))
        friends->Rename(name);
    if (state.online)
        state.online->Rename(name);
    return platform::SaveFileAtomically(state.profile.folder + "/" + kPersonaFile, name + "\n");
}

} // namespace platform::steam
