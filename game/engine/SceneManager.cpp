#include "engine/SceneManager.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/RenderBackend.h"
#include "kv/KVSystem.h"

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

constexpr D3DCOLOR kClearColour = 0xFF000000;
constexpr auto kLoaderPoll = std::chrono::milliseconds(100);

std::wstring Wide(const char* text)
{
    return platform::Widen(text ? text : "");
}

} // namespace

float ClampFrameSeconds(float seconds)
{
    if (!(seconds > 0.0f))
        return 0.0f;
    return seconds > kMaxFrameSeconds ? kMaxFrameSeconds : seconds;
}

CSceneManager::CSceneManager()
{
    StartLoader();
}

CSceneManager::~CSceneManager()
{
    StopLoader();
}

void CSceneManager::Init()
{
    StopLoader();
    m_bSwitching = 0;
    m_bSceneChanged = 0;
    m_bQuitting = 0;
    m_bCurrentLeft = false;
    m_pCurrentScene = nullptr;
    {
        std::lock_guard lock(m_switchLock);
        m_pPendingScene = nullptr;
    }
    m_bEnterDone = false;
    m_bSwitchPending = false;
    StartLoader();
}

void CSceneManager::StartLoader()
{
    {
        std::lock_guard lock(m_switchLock);
        m_bStopLoader = false;
    }
    m_loader = std::thread([this] { LoaderMain(); });
}

void CSceneManager::StopLoader()
{
    if (!m_loader.joinable())
        return;
    {
        std::lock_guard lock(m_switchLock);
        m_bStopLoader = true;
    }
    m_loaderWake.notify_all();
    m_loader.join();
}

void CSceneManager::LoaderMain()
{
    std::unique_lock lock(m_switchLock);
    for (;;) {
        auto enterDue = [this] { return m_pPendingScene && !m_bEnterDone.load(); };
        m_loaderWake.wait_for(lock, kLoaderPoll, [&] { return m_bStopLoader || enterDue(); });
        // A switch under way is finished before the thread stops.
        if (enterDue()) {
            // Typed text waits for the whole entry, not only while a layout is read: a scene's
            // Enter goes on building its windows after each layout.
            std::optional<kv::KVSystem::TreeBuildScope> building;
            if (kv::KVSystem* system = kv::KVSystem::GetPtr())
                building.emplace(*system);
            m_pPendingScene->Enter(m_nStartA, m_nStartB);
            DFLog(L"Loading Complet");
            m_bEnterDone = true;
        }
        if (m_bStopLoader)
            return;
    }
}

void CSceneManager::CompleteSwitchIfReady()
{
    if (!m_bEnterDone.load())
        return;
    CScene* target = nullptr;
    {
        std::lock_guard lock(m_switchLock);
        target = m_pPendingScene;
        m_pPendingScene = nullptr;
        m_bEnterDone = false;
    }
    m_bSwitchPending = false;
    if (m_pCurrentScene && !m_bCurrentLeft)
        m_pCurrentScene->Leave();
    m_pCurrentScene = target;
    m_bCurrentLeft = false;
}

bool CSceneManager::IsSwitchPending() const
{
    return m_bSwitchPending.load();
}

void CSceneManager::RegisterScene(CScene* scene)
{
    if (!scene)
        return;
    std::lock_guard lock(m_registryLock);
    m_scenes[scene->GetName()] = scene;
}

CScene* CSceneManager::FindScene(const char* name)
{
    std::lock_guard lock(m_registryLock);
    auto found = m_scenes.find(name ? name : "");
    return found == m_scenes.end() ? nullptr : found->second;
}

void CSceneManager::SetFirstScene(const char* name, int a, int b)
{
    CScene* scene = FindScene(name);
    if (!scene) {
        DFLog(LOG_WARN, L"SetFirstScene: no scene is registered as \"%s\"", Wide(name).c_str());
        return;
    }
    m_pCurrentScene = scene;
    m_bCurrentLeft = false;
    scene->Enter(a, b);
    m_bSceneChanged = 1;
}

void CSceneManager::ChangeScene(const char* name, int a, int b)
{
    CScene* target = FindScene(name);
    if (!target) {
        DFLog(LOG_WARN, L"ChangeScene: no scene is registered as \"%s\"", Wide(name).c_str());
        return;
    }
    if (!m_pCurrentScene) {
        SetFirstScene(name, a, b);
        return;
    }
    if (IsSwitchPending()) {
        DFLog(LOG_WARN, L"ChangeScene: \"%s\" ignored while another switch is under way", Wide(name).c_str());
        return;
    }

    m_bSwitching = 1;
    if (!m_bCurrentLeft)
        m_pCurrentScene->Leave();
    m_bCurrentLeft = false;

    CScene* loading = FindScene(kLoadingSceneName);
    if (loading && loading != target) {
        {
            std::lock_guard lock(m_switchLock);
            m_nStartA = a;
            m_nStartB = b;
            m_pCurrentScene = loading;
            loading->Enter(0, 0);
            m_pPendingScene = target;
        }
        m_bSwitchPending = true;
        m_loaderWake.notify_all();
    } else {
        m_pCurrentScene = target;
        target->Enter(a, b);
    }
    m_bSceneChanged = 1;
    m_bSwitching = 0;
}

void CSceneManager::PostMessage(const SceneMessagePacket* packet)
{
    if (!packet)
        return;
    int32_t length = packet->length;
    if (length < 4) {
        DFLog(LOG_WARN, L"PostMessage: message %d refused, length %d", packet->id, length);
        return;
    }
    if (length > kSceneMessageDataBytes) {
        DFLog(LOG_WARN, L"PostMessage: message %d cut from %d to %d bytes", packet->id, length,
              kSceneMessageDataBytes);
        length = kSceneMessageDataBytes;
    }
    auto message = std::make_unique<SceneMessage>();
    message->id = packet->id;
    std::memcpy(message->data, &packet->id, static_cast<size_t>(length));
    // The handlers receive the length with the data, so each can refuse a message too short
    // for the fields it reads.
    message->extra = length;

    std::lock_guard lock(m_queueLock);
    m_queue.push_back(std::move(message));
}

int CSceneManager::DispatchMessages()
{
    for (;;) {
        std::deque<std::unique_ptr<SceneMessage>> batch;
        {
            std::lock_guard lock(m_queueLock);
            batch.swap(m_queue);
        }
        if (batch.empty())
            return 1;
        // The current scene is read for each message: a handler may change it. Once a handler
        // has quit, the scene has been left and the rest is dropped.
        for (const auto& message : batch) {
            if (m_bQuitting)
                return 1;
            if (m_pCurrentScene)
                m_pCurrentScene->OnPostedMessage(message->id, message->data, message->extra);
        }
    }
}

void CSceneManager::CountFrame(float seconds)
{
    m_fFrameSeconds += seconds;
    if (m_fFrameSeconds < 1.0f) {
        ++m_nFrameCount;
        return;
    }
    m_nFrameRate = m_nFrameCount;
    m_nFrameCount = 0;
    m_fFrameSeconds = 0.0f;
}

void CSceneManager::ToggleFrameRateOnKey()
{
    // R is asked only while Left Ctrl is held, so the scenes still see every other R press.
    InputSystem* input = GetInputManager();
    if (input->IsKeyDown(VK_LCONTROL) && input->IsKeyPressed('R'))
        m_bShowFrameRate = !m_bShowFrameRate;
}

int CSceneManager::Update()
{
    CompleteSwitchIfReady();
    if (GetRenderBackend().IsWindowClosing() || m_bSwitching)
        return 0;

    float seconds = ClampFrameSeconds(DXUtil_Timer(TIMER_GETELAPSEDTIME));
    CountFrame(seconds);
    ToggleFrameRateOnKey();

    int changedBefore = m_bSceneChanged;
    DispatchMessages();
    if (m_bQuitting)
        return 0;
    if (seconds == 0.0f)
        return 1;

    // A scene entered from a message handler gets 0 seconds in this frame and the next; one
    // entered elsewhere gets 0 seconds in its first update.
    if (m_bSceneChanged != changedBefore) {
        seconds = 0.0f;
    } else if (m_bSceneChanged) {
        seconds = 0.0f;
        m_bSceneChanged = 0;
    }

    GetInputManager()->Update(seconds);
    GetRenderBackend().UpdateCameras(seconds);
    return m_pCurrentScene ? m_pCurrentScene->Update(seconds) : 0;
}

void CSceneManager::Frame()
{
    if (!m_pCurrentScene || m_bSwitching)
        return;
    if (!Update())
        return;

    RenderBackend& renderer = GetRenderBackend();
    renderer.Begin();
    m_pCurrentScene->CanRender();
    if (renderer.BeginScene(kClearColour)) {
        if (m_bShowFrameRate)
            renderer.RenderFramerate(m_nFrameRate);
        m_pCurrentScene->Render();
        renderer.FlushSprite();
        renderer.FlushDebugText();
        m_pCurrentScene->AfterRender();
        renderer.EndScene();
    }
    renderer.End();
}

int CSceneManager::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_bQuitting)
        return 0;
    if (GetInputManager()->MsgProc(msg, wParam, lParam))
        return 1;
    if (m_pCurrentScene && !m_bSceneChanged)
        return m_pCurrentScene->MsgProc(msg, wParam, lParam);
    return 0;
}

void CSceneManager::Quit()
{
    RenderBackend& renderer = GetRenderBackend();
    renderer.SetWindowClosing();
    if (m_pCurrentScene && !m_bCurrentLeft) {
        m_pCurrentScene->Leave();
        m_bCurrentLeft = true;
    }
    // Quitting is marked before the window goes, so the messages its destruction sends never
    // reach the scene that has just been left.
    m_bQuitting = 1;
    renderer.DestroyGameWindow();
    renderer.PostQuit(0);
}

void CSceneManager::Shutdown()
{
    // A switch under way finishes its Enter before the loader stops; the target is then handed
    // over so that it is left like any current scene.
    StopLoader();
    CompleteSwitchIfReady();
    if (m_pCurrentScene && !m_bCurrentLeft)
        m_pCurrentScene->Leave();
    m_bCurrentLeft = true;

    std::map<std::string, CScene*> scenes;
    {
        std::lock_guard lock(m_registryLock);
        scenes.swap(m_scenes);
    }
    for (auto& [name, scene] : scenes)
        delete scene;

    m_bSwitching = 0;
    m_bSceneChanged = 0;
    m_pCurrentScene = nullptr;
    std::lock_guard lock(m_queueLock);
    m_queue.clear();
}
