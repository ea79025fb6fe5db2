// Fakes for engine tests: a window system whose keys, focus and cursor the test sets, a renderer
// that records the frame's calls, and a scene that records what the manager does to it.
#pragma once

#include "engine/InputPlatform.h"
#include "engine/RenderBackend.h"
#include "engine/Scene.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace enginetest {

inline HWND FakeWindow()
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000));
}

class FakeInputPlatform : public InputPlatform {
public:
    FakeInputPlatform() { SetInputPlatform(this); }
    ~FakeInputPlatform() override { SetInputPlatform(nullptr); }

    HWND GetActiveWindow() override { return active; }
    HWND GetFocus() override { return focus; }
    SHORT GetAsyncKeyState(int vk) override { return keys.count(vk) ? static_cast<SHORT>(0x8000) : 0; }
    bool GetCursorClientPos(HWND, POINT* point) override
    {
        *point = cursor;
        return true;
    }
    bool GetClientRect(HWND, RECT* rect) override
    {
        *rect = client;
        return true;
    }
    void SetCapture(HWND window) override { captured = window; }
    void ReleaseCapture() override { captured = nullptr; }
    int ShowCursor(bool show) override { return cursorCounter += show ? 1 : -1; }

    HWND active = FakeWindow();
    HWND focus = FakeWindow();
    std::set<int> keys;
    POINT cursor{0, 0};
    RECT client{0, 0, 1024, 768};
    HWND captured = nullptr;
    int cursorCounter = 0;
};

// Records the frame's calls by name and every sprite drawn.
class RecordingRenderBackend : public RenderBackend {
public:
    struct Sprite {
        int handle;
        D3DCOLOR colour;
        D3DXMATRIX matrix;
        bool sorted;
    };

    RecordingRenderBackend() { SetRenderBackend(this); }
    ~RecordingRenderBackend() override { SetRenderBackend(nullptr); }

    bool IsWindowClosing() override { return closing; }
    void SetWindowClosing() override { closing = true; }
    void DestroyGameWindow() override { calls.push_back("DestroyGameWindow"); }
    void PostQuit(int code) override { calls.push_back("PostQuit " + std::to_string(code)); }
    void ToggleFullScreen() override { calls.push_back("ToggleFullScreen"); }
    void UpdateCameras(float) override { calls.push_back("UpdateCameras"); }
    void Begin() override { calls.push_back("Begin"); }
    bool BeginScene(D3DCOLOR clear) override
    {
        calls.push_back("BeginScene");
        clearColour = clear;
        return sceneOk;
    }
    void RenderFramerate(int rate) override { calls.push_back("RenderFramerate " + std::to_string(rate)); }
    void FlushSprite() override { calls.push_back("FlushSprite"); }
    void FlushDebugText() override { calls.push_back("FlushDebugText"); }
    void EndScene() override { calls.push_back("EndScene"); }
    void End() override { calls.push_back("End"); }
    int GetTextureHandle(const char* name, bool) override
    {
        std::lock_guard lock(textureLock);
        auto found = textures.find(name);
        return found == textures.end() ? -1 : found->second.handle;
    }
    bool GetTextureSize(int handle, int* width, int* height) override
    {
        std::lock_guard lock(textureLock);
        for (auto& [name, texture] : textures)
            if (texture.handle == handle) {
                *width = texture.width;
                *height = texture.height;
                return true;
            }
        return false;
    }
    void DrawSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) override
    {
        AddSprite(handle, colour, matrix, false);
    }
    void DrawSortSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix) override
    {
        AddSprite(handle, colour, matrix, true);
    }

    // Makes an image of that name and size known; returns its handle.
    int AddTexture(const std::string& name, int width, int height)
    {
        std::lock_guard lock(textureLock);
        int handle = static_cast<int>(textures.size()) + 1;
        textures[name] = {handle, width, height};
        return handle;
    }

    struct Texture {
        int handle;
        int width;
        int height;
    };
    std::mutex textureLock;
    std::map<std::string, Texture> textures;
    std::vector<std::string> calls;
    std::vector<Sprite> sprites;
    D3DCOLOR clearColour = 0;
    bool closing = false;
    bool sceneOk = true;

private:
    void AddSprite(int handle, D3DCOLOR colour, const D3DXMATRIX* matrix, bool sorted)
    {
        D3DXMATRIX m;
        if (matrix)
            m = *matrix;
        else
            D3DXMatrixIdentity(&m);
        sprites.push_back({handle, colour, m, sorted});
    }
};

// One shared, thread-safe log of what happened to the test scenes.
class EventLog {
public:
    void Add(std::string entry)
    {
        std::lock_guard lock(m_lock);
        m_entries.push_back(std::move(entry));
    }
    std::vector<std::string> Entries()
    {
        std::lock_guard lock(m_lock);
        return m_entries;
    }
    void Clear()
    {
        std::lock_guard lock(m_lock);
        m_entries.clear();
    }
    size_t Count(const std::string& entry)
    {
        std::lock_guard lock(m_lock);
        size_t n = 0;
        for (auto& e : m_entries)
            n += e == entry;
        return n;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_entries;
};

// A scene that logs "<name> Enter a b", "<name> Leave", "<name> Update <seconds>",
// "<name> MsgProc <msg>" and "<name> Render", and runs optional hooks.
class RecordingScene : public CScene {
public:
    RecordingScene(const char* name, EventLog& log) : m_log(log) { SetName(name); }
    ~RecordingScene() override { m_log.Add(m_name + " deleted"); }

    int Enter(int a, int b) override
    {
        enterThread = std::this_thread::get_id();
        m_log.Add(m_name + " Enter " + std::to_string(a) + " " + std::to_string(b));
        if (onEnter)
            onEnter();
        return 1;
    }
    void Leave() override { m_log.Add(m_name + " Leave"); }
    int Render() override
    {
        m_log.Add(m_name + " Render");
        return 1;
    }
    int Update(float seconds) override
    {
        lastSeconds = seconds;
        m_log.Add(m_name + " Update " + std::to_string(seconds));
        return updateResult;
    }
    int MsgProc(UINT msg, WPARAM, LPARAM) override
    {
        m_log.Add(m_name + " MsgProc " + std::to_string(msg));
        return 1;
    }

    // Registers a handler that logs "<name> got <id> <first payload int>" and then runs `then`.
    void Handle(int id, std::function<void(const void*)> then = {})
    {
        m_handlers[id] = std::move(then);
        AddHandler(id, nullptr, &RecordingScene::OnMessage);
        m_ids.push_back(id);
    }

    std::function<void()> onEnter;
    std::thread::id enterThread;
    float lastSeconds = -1.0f;
    int updateResult = 1;

private:
    int OnMessage(const void* data, int)
    {
        int32_t id = 0;
        int32_t first = 0;
        std::memcpy(&id, data, 4);
        std::memcpy(&first, static_cast<const uint8_t*>(data) + 4, 4);
        m_log.Add(m_name + " got " + std::to_string(id) + " " + std::to_string(first));
        if (auto& then = m_handlers[id])
            then(data);
        return 1;
    }

    EventLog& m_log;
    std::map<int, std::function<void(const void*)>> m_handlers;
    std::vector<int> m_ids;
};

} // namespace enginetest
