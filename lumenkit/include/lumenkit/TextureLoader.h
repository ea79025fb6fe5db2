// The background texture loader: one thread that wakes every 10 ms and loads the first queued
// texture file. A load runs while the queue's lock is held, so adding or removing an entry
// waits for a running load to finish.
#pragma once

#include <helvane/Singleton.h>

#include <atomic>
#include <list>
#include <mutex>
#include <thread>

class CTexture;

// The loader takes entries only while this is non-zero.
extern int g_bLoaderStartLoad;

struct stLoadTextureInfo {
    static constexpr size_t kPathChars = 512;

    CTexture* pTexture;
    wchar_t strPath[kPathChars];
};

class TextureLoader : public singleton<TextureLoader> {
public:
    // Creates the lock, then starts the thread.
    TextureLoader();
    TextureLoader(const TextureLoader&) = delete;
    TextureLoader& operator=(const TextureLoader&) = delete;
    // Stops the thread, then frees the queued entries.
    ~TextureLoader();

    // Queues a copy of the path (cut to 511 characters); a null path does nothing.
    void AddLoadTexture(CTexture* texture, const wchar_t* path);
    // Removes the first queued entry of the texture.
    void RemoveLoadTexture(CTexture* texture);
    int GetLoadTextureListSize();

private:
    void Run();
    void LoadFirst();

    std::list<stLoadTextureInfo> m_LoadList;
    std::recursive_mutex m_Lock;
    std::atomic<int> m_bStop{0};
    std::thread m_Thread;
};
