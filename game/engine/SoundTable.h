// The sound table: the game's 116 sound keys (20 to 31 music, the rest effects), each mapped to
// a sound id of the sound server. The ids come from a sound-set file of those listed in
// "Vanteo_SoundList.xml"; set 0 is the base that later sets fall back to. Game code plays and
// stops sounds by key.
#pragma once

#include <array>
#include <mutex>
#include <string>
#include <vector>

// What the table needs of the sound server: loading by file name (shared by name), unloading,
// and the few controls of one loaded sound that every play goes through.
class SoundTableServer {
public:
    virtual ~SoundTableServer() = default;
    // The sound id, or -1 when the file cannot be loaded.
    virtual int LoadSound(const std::wstring& name, int controlFlags, bool allowStreaming) = 0;
    virtual bool UnloadSound(int id) = 0;
    virtual bool HasSound(int id) = 0;
    virtual void SetLoop(int id, bool loop) = 0;
    virtual float GetVolume(int id) = 0;
    // Sets the sound's volume and marks its parameters changed, so the next play applies it.
    virtual void SetVolume(int id, float volume) = 0;
    virtual bool IsPlaying(int id) = 0;
    // Stops every copy of the sound and rewinds it.
    virtual bool Reset(int id) = 0;
    virtual bool Play(int id, bool loop) = 0;
};

class CSoundTable {
public:
    static constexpr int kKeyCount = 116;
    static constexpr int kFirstMusicKey = 20;
    static constexpr int kLastMusicKey = 31;
    static constexpr int kMaxSelectableSet = 9;
    static constexpr size_t kSetFileChars = 127;
    static constexpr const char* kSoundListFile = "Vanteo_SoundList.xml";

    // The server the table loads into and plays through; without one nothing loads or plays.
    void AttachServer(SoundTableServer* server);

    // Reads the list of set files and loads set 0 and the set of the current skin, once.
    void LoadSoundList(int currentSkin);
    void LoadSoundSet(int set);
    // Loads another set (0 to 9); music that was playing restarts with the new set's file.
    void SelectSoundSet(int set);
    bool PlaySoundByKey(int key, bool loop, float volume);
    void StopSoundByKey(int key);

    static bool IsMusicKey(int key) { return key >= kFirstMusicKey && key <= kLastMusicKey; }
    static const std::array<const char*, kKeyCount>& KeyNames();

    int GetSoundId(int key) const;
    int GetCurrentMusicKey() const { return m_currentMusicKey; }
    int GetSetFileCount() const;
    bool IsLoaded() const { return m_loaded != 0; }

    // Read by every play; game code changes the music flag directly.
    int m_musicEnabled = 1;
    int m_effectsEnabled = 1;

private:
    bool ValidKey(int key) const { return key >= 0 && key < kKeyCount; }

    // Plays and loads come from the main thread and from the scene loader thread.
    mutable std::recursive_mutex m_lock;
    SoundTableServer* m_server = nullptr;
    std::vector<std::string> m_setFiles;
    std::string m_currentSetFile;
    std::array<int, kKeyCount> m_ids;
    std::array<int, kKeyCount> m_baseIds;
    // Keys whose failure to play has been logged: a key that cannot play is said once, not at
    // every click or turn.
    std::array<bool, kKeyCount> m_playFailureLogged{};
    int m_loaded = 0;
    int m_currentMusicKey = -1;

public:
    CSoundTable()
    {
        m_ids.fill(-1);
        m_baseIds.fill(-1);
    }
};

// The one sound table of the process.
extern CSoundTable SoundTable;
