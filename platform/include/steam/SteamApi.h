// The game platform's client, our own: start-up, the local user's identity and the remote
// storage that holds the cloud copy of the play data.
// Identity and storage live in a per-user profile folder: $QUIBLY_PROFILE_DIR when set, else
// $XDG_DATA_HOME/quibly/<login> or ~/.local/share/quibly/<login>. Two instances with two
// profile folders are two players on one machine.
// Implemented: SteamAPI_Init/Shutdown/RunCallbacks, callback registration with a queue that is
//              delivered only inside SteamAPI_RunCallbacks on the calling thread,
//              SteamRemoteStorage (FileExists, GetFileSize, FileRead, FileWrite as files in the
//              profile's "remote" folder), SteamUser()->GetSteamID (a persisted random 64-bit
//              id), SteamFriends()->GetPersonaName/GetFriendPersonaName (the profile's
//              "persona.txt", else the login name).
// Left out:    call results, matchmaking, networking, statistics, achievements, leaderboards,
//              utilities and the game server; they come with the online features.
#pragma once

#include <cstdint>

// A 64-bit platform user id.
class CSteamID {
public:
    CSteamID() = default;
    explicit CSteamID(uint64_t id) : m_id(id) {}
    uint64_t ConvertToUint64() const { return m_id; }
    bool IsValid() const { return m_id != 0; }
    bool operator==(const CSteamID& other) const { return m_id == other.m_id; }
    bool operator!=(const CSteamID& other) const { return m_id != other.m_id; }

private:
    uint64_t m_id = 0;
};

// Files of the player kept by the platform. Reads always start at the beginning of the file.
class ISteamRemoteStorage {
public:
    virtual ~ISteamRemoteStorage() = default;
    virtual bool FileWrite(const char* name, const void* data, int32_t bytes) = 0;
    // Bytes read into the buffer, at most `bytes`; 0 when the file cannot be read.
    virtual int32_t FileRead(const char* name, void* data, int32_t bytes) = 0;
    virtual bool FileExists(const char* name) = 0;
    // Size in bytes, 0 when the file does not exist.
    virtual int32_t GetFileSize(const char* name) = 0;
};

class ISteamUser {
public:
    virtual ~ISteamUser() = default;
    virtual CSteamID GetSteamID() = 0;
    virtual bool BLoggedOn() = 0;
};

class ISteamFriends {
public:
    virtual ~ISteamFriends() = default;
    // UTF-8; the local user's name. Never null.
    virtual const char* GetPersonaName() = 0;
    // UTF-8; the local user's name for the local id, an empty text for anyone else.
    virtual const char* GetFriendPersonaName(CSteamID user) = 0;
};

// Base of every registered callback: Run receives the queued payload of its callback id.
class CCallbackBase {
public:
    virtual ~CCallbackBase() = default;
    virtual void Run(void* param) = 0;
    int GetICallback() const { return m_iCallback; }

protected:
    int m_iCallback = 0;
    friend void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId);
};

// False when the platform cannot start (see the testing hooks). Calling it again is harmless.
bool SteamAPI_Init();
void SteamAPI_Shutdown();
// Delivers every queued callback to the callbacks registered for its id, in queue order.
void SteamAPI_RunCallbacks();
void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId);
void SteamAPI_UnregisterCallback(CCallbackBase* callback);

// Null before SteamAPI_Init succeeded or after SteamAPI_Shutdown.
ISteamRemoteStorage* SteamRemoteStorage();
ISteamUser* SteamUser();
ISteamFriends* SteamFriends();
