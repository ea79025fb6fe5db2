// The scene manager: registers scenes by name, switches between them (through the loading
// scene, with the target's Enter on the loader thread), queues and delivers scene messages,
// routes window messages to the current scene and runs the frame.
#pragma once

#include "engine/Scene.h"
#include "engine/SceneMessage.h"

#include <helvane/Singleton.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

inline constexpr const char* kLoadingSceneName = "LoadingScene";

// A frame's elapsed seconds made safe to use: not a number or negative gives 0, and a stall
// longer than kMaxFrameSeconds counts as kMaxFrameSeconds.
inline constexpr float kMaxFrameSeconds = 0.5f;
float ClampFrameSeconds(float seconds);

class CSceneManager : public singleton<CSceneManager> {
public:
    // Starts the loader thread.
    CSceneManager();
    // Stops the loader thread; the game never destroys the manager.
    virtual ~CSceneManager();
    CSceneManager(const CSceneManager&) = delete;
    CSceneManager& operator=(const CSceneManager&) = delete;

    // Resets the flags and the scenes and restarts the loader thread.
    virtual void Init();
    // One frame: update, then draw when the update allows it.
    virtual void Frame();
    // Nonzero when the frame is to be drawn.
    virtual int Update();
    // Delivers every queued message, including those posted while delivering; returns 1.
    virtual int DispatchMessages();

    // Stores the scene under its name, replacing (not deleting) an earlier one; the manager
    // owns it from now on.
    void RegisterScene(CScene* scene);
    // Makes the named scene current and enters it on this thread.
    void SetFirstScene(const char* name, int a, int b);
    // Leaves the current scene and enters the named one, through the loading scene when one is
    // registered. An unknown name, or a switch already under way, is logged and ignored.
    void ChangeScene(const char* name, int a, int b);
    // Queues a copy of the packet; callable from any thread.
    void PostMessage(const SceneMessagePacket* packet);
    // Nonzero when the input system or the current scene took the window message.
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Orderly end: the window closes, the current scene is left and the loop is told to quit.
    void Quit();
    // After the main loop: leaves the current scene (unless Quit did), stops the loader thread
    // and deletes every registered scene.
    void Shutdown();

    CScene* FindScene(const char* name);
    CScene* GetCurrentScene() const { return m_pCurrentScene; }
    // True from a switch through the loading scene until the hand-over to the target.
    bool IsSwitchPending() const;
    bool IsSceneChanged() const { return m_bSceneChanged != 0; }
    bool IsQuitting() const { return m_bQuitting != 0; }
    bool IsFrameRateShown() const { return m_bShowFrameRate; }
    int GetFrameRate() const { return m_nFrameRate; }

private:
    void StartLoader();
    void StopLoader();
    void LoaderMain();
    // On the main thread: when the target's Enter has finished, leaves the loading scene and
    // makes the target current.
    void CompleteSwitchIfReady();
    void CountFrame(float seconds);
    void ToggleFrameRateOnKey();

    std::mutex m_registryLock;
    std::map<std::string, CScene*> m_scenes;

    std::mutex m_queueLock;
    std::deque<std::unique_ptr<SceneMessage>> m_queue;

    int m_bSwitching = 0;
    int m_bSceneChanged = 0;
    // Read by the loader thread too: a scene's Enter that waits gives up once the program quits.
    std::atomic<int> m_bQuitting{0};
    // Set when Quit has left the current scene, so that Shutdown does not leave it again.
    bool m_bCurrentLeft = false;
    CScene* m_pCurrentScene = nullptr;

    // The switch lock guards the pending scene, the start values and the loader's stop request;
    // the loader holds it for the whole of the target's Enter.
    std::mutex m_switchLock;
    std::condition_variable m_loaderWake;
    CScene* m_pPendingScene = nullptr;
    int m_nStartA = 0;
    int m_nStartB = 0;
    bool m_bStopLoader = false;
    // Set by the loader when the target's Enter has returned; the main thread then hands over.
    std::atomic<bool> m_bEnterDone{false};
    // Main thread: a switch waits for its hand-over.
    std::atomic<bool> m_bSwitchPending{false};
    std::thread m_loader;

    int m_nFrameCount = 0;
    float m_fFrameSeconds = 0.0f;
    int m_nFrameRate = 0;
    bool m_bShowFrameRate = false;
};
