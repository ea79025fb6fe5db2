#include "app/StartUp.h"

#include "app/GameSceneList.h"

#include "board/PlayRecorder.h"

#include "data/GameDataXml.h"
#include "app/LumenkitFrameGraphics.h"
#include "engine/Getters.h"
#include "app/MainWindow.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/PlayDataPack.h"
#include "data/Records.h"
#include "engine/FontManager.h"
#include "engine/FrameGraphics.h"
#include "engine/InputSystem.h"
#include "engine/KVSVInterface.h"
#include "engine/KVSVRenderer.h"
#include "engine/LoadingScene.h"
#include "engine/LumenkitRenderBackend.h"
#include "engine/PlayerSettings.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoundServer.h"
#include "app/SoundServerLinks.h"
#include "engine/SoundTable.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWnd.h"
#include "menus/InitMenuScene.h"
#include "menus/MainMenuScene.h"
#include "net/AchievementsSteam.h"
#include "net/LeaderBoard.h"
#include "net/NetGlobals.h"
#include "net/PersonaName.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

#include <d3d9/BackBufferShot.h>
#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <steam/OnlineServices.h>
#include <steam/SteamApi.h>
#include <win32/Automation.h>
#include <win32/MessageBox.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/Window.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD kSoundPriorityLevel = 2;
constexpr int kSoundChannels = 2;
constexpr int kSoundSamplesPerSec = 22050;
constexpr int kSoundBits = 16;
constexpr int kPersonaWidthBudget = 14;
constexpr const char* kStoredDefaultName = "UserName";

HWND g_hDeviceWindow = nullptr;
HINSTANCE g_hDeviceInstance = nullptr;
KVSVInterface g_UIInterface;
KVSVRenderer g_UIRenderer;
LumenkitFrameGraphics g_frameGraphics;

// The font faces and the fonts entered at start: "KelmorSoft" 14 is the default FreeType font and
// "MainUI40" the default imageset font. Each loads when something first draws or measures with
// it, so the first frame waits for none of them.
struct FaceFile {
    const wchar_t* face;
    const char* file;
};
constexpr FaceFile kFaces[] = {{L"KelmorSoft", "Daum.ttf"},
                               {L"MainUI", "quiblyenglish.ttf"},
                               {L"MainUIFix", "quiblyenglish_num.ttf"},
                               {L"MainUI40", "data/MainUI40.imageset"}};
struct FaceSize {
    const wchar_t* face;
    int size;
};
constexpr FaceSize kFonts[] = {{L"KelmorSoft", 14}, {L"KelmorSoft", 10}, {L"KelmorSoft", 30}, {L"MainUI", 14},
                               {L"MainUI", 9},      {L"MainUIFix", 14},  {L"MainUI40", 0}};

// The font manager's place in the renderer's device-object list: its fonts are released before
// a device reset and made again after it.
class FontDeviceObject final : public DeviceObject {
public:
    void Invalidate() override { FTFont::GetSingleton().Invalidate(); }
    void Restore() override { FTFont::GetSingleton().Restore(); }
};
FontDeviceObject g_fontDeviceObject;

void CreateFonts(IDirect3DDevice9* device)
{
    FTFont& fonts = FTFont::GetSingleton();
    fonts.InitDevice(device);
    for (const FaceFile& face : kFaces)
        fonts.RegisterFont(face.face, face.file);
    for (const FaceSize& font : kFonts)
        fonts.AddFont(font.face, font.size);
    if (g_pRenderer)
        g_pRenderer->AddDeviceObject(&g_fontDeviceObject);
}

// With QUIBLY_AUTOMATION_WAIT_LOADS=1 an automation script does not count the frames of a
// scene switch, however long the target takes to load: its frame numbers then meet the same
// moment of play on every machine. The clocks follow the real time meanwhile, for a load that
// waits on the other program of an online match.
bool AutomationWaitsForLoads()
{
    const char* wait = std::getenv("QUIBLY_AUTOMATION_WAIT_LOADS");
    return wait && std::strcmp(wait, "1") == 0;
}

// Messages pass the UI framework's input-method hook first; every idle turn pumps the
// platform's callbacks and plays the automation script's frame.
void InstallMainLoopHooks(HWND window)
{
    static const bool waitForLoads = AutomationWaitsForLoads();
    SetMainLoopHooks({[](UINT msg, WPARAM wParam, LPARAM& lParam, bool& go) {
                          kv::GetKVSystem().HandleImeMessage(msg, wParam, lParam, go);
                      },
                      [] { return kv::GetKVSystem().GetInputMethodProvider() != nullptr; },
                      [window] {
                          CSceneManager* manager = CSceneManager::GetSingletonPtr();
                          if (!waitForLoads || !manager || !manager->IsSwitchPending())
                              platform::AutomationFrame(window);
                          else
                              platform::AutomationUncountedTurn();
                          SteamAPI_RunCallbacks();
                      }});
}

// The cursor and click effects take their files from the skin and the mirror from the options.
void AttachSkinToPlayerSettings()
{
    AttachPlayerSettings({[](int index) {
                              const char* name = SkinTable.GetSkinString(index);
                              return std::string(name ? name : "");
                          },
                          [] { return GameConfig.leftHand != 0; }});
}

// The device could not be created: there is no separate device-settings program on this
// system, so the message is all the player gets. The window is destroyed here, once, and what
// the device step had started before the device is let go, so the program ends cleanly.
void ReportDeviceFailure(HWND window)
{
    MessageBoxW(window, L"디바이스 세팅을 다시 해주세요", L"정보", MB_OK);
    DFLog(L"The device-settings program does not exist on this system; the game ends.");
    SetMainLoopHooks({});
    SetDeviceWindow(nullptr);
    DestroyWindow(window);
    // The audio thread stops before the program's static objects go.
    DXSoundServer::GetSingleton().Release();
    CDirect3DDevice::GetSingleton().Close();
}

void UseDevice()
{
    InstallLumenkitRenderBackend();
    SetFrameGraphics(&g_frameGraphics);
    platform::SetAutomationShot([](const std::string& file) {
        IDirect3DDevice9* device = CDirect3DDevice::GetSingleton().m_pd3dDevice;
        return platform::d3d9::SaveRenderTargetPng(device, file.c_str()) == D3D_OK;
    });
}

// Step 9: the platform client for the local user, whose persona name replaces the stored
// default player name.
void CreatePlatformClient()
{
    ISteamUser* user = SteamUser();
    if (g_pSteamClient || !user)
        return;
    CSteamID self = user->GetSteamID();
    g_pSteamClient = new VanteoSteamClient(self);
    wchar_t persona[kPersonaNameChars];
    GetPersonaName(kPersonaWidthBudget, persona, self);
    if (std::strcmp(GameConfig.playerName, kStoredDefaultName) == 0)
        gamedata::CopyText(GameConfig.playerName, sizeof GameConfig.playerName, platform::Narrow(persona).c_str());
}

} // namespace

bool RunStartUpSequence(HWND window)
{
    std::srand(GetTickCount());
    if (!SteamAPI_Init()) {
        MessageBoxW(window, L"Cannot Init Steam API", L"WARNING", MB_OK);
        return false;
    }
    SteamUtils()->SetOverlayNotificationPosition(k_EPositionTopRight);
    ConfigPak::RestoreAtStartup(g_bResetPlayData != 0);
    LoadPlayRecord();
    CountGameStart();
    LinkSoundServerToGameData();
    LoadGameConfig();
    SkinTable.LoadSkin(GameConfig.currentSkin);
    AttachSkinToPlayerSettings();
    if (!InitDevice(window, g_hInst)) {
        SteamAPI_Shutdown();
        return false;
    }
    CreatePlatformClient();
    // Board events of a recorded game (push mode) go to the numbered recording files.
    SetBoardEventRecorder(&GetPlayRecorder());
    GetLeaderBoard().Init();
    auto* achievements = new Achievements_Steam();
    g_pAchievements = achievements;
    achievements->LoadFiles();
    return true;
}

int InitDevice(HWND window, HINSTANCE instance)
{
    g_hDeviceWindow = window;
    g_hDeviceInstance = instance;
    kv::KVSystem& system = kv::GetKVSystem();
    // Layouts build the game's animated button wherever they ask for "AnimButton".
    system.GetRegistry().Unregister(L"AnimButton");
    system.GetRegistry().Register(&KVVanteoAnimButtonFactory::Instance());
    g_UIInterface.Init(window);
    system.InstallInputMethod(window);
    system.SetInterface(&g_UIInterface);
    system.SetRenderer(&g_UIRenderer);
    InstallMainLoopHooks(window);
    GetInputManager()->Init(window);
    SetDeviceWindow(window);
    DXSoundServer::GetSingleton().Init(window, kSoundPriorityLevel, kSoundChannels, kSoundSamplesPerSec, kSoundBits);
    if (!CDirect3DDevice::GetSingleton().Create(window, GameConfig.fullScreen ? 0 : 1, -1, -1)) {
        ReportDeviceFailure(window);
        return 0;
    }
    UseDevice();
    CreateFonts(CDirect3DDevice::GetSingleton().m_pd3dDevice);
    RegisterStartScenes();
    return 1;
}

void RegisterStartScenes()
{
    // The first use of the scene manager starts its loader thread.
    CSceneManager& manager = singleton<CSceneManager>::GetSingleton();
    manager.RegisterScene(new VanteoMainMenuScene());
    SetGameSceneRegistrar(&RegisterGameScenes);
    manager.RegisterScene(new LoadingScene());
    SetNetworkPump(&PumpNetwork);
    manager.RegisterScene(new VanteoInitMenuScene());
}

void RunPreLoopLoads()
{
    LoadModeConfig(kBattleConfigFile);
    SoundTable.LoadSoundList(GameConfig.currentSkin);
    LoadRanking();
}

void RunShutDownSequence()
{
    delete g_pAchievements;
    g_pAchievements = nullptr;
    FTFont::GetSingleton().ReleaseAll();
    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        manager->Shutdown();
    platform::SetAutomationShot(nullptr);
    SetRenderBackend(nullptr);
    SetFrameGraphics(nullptr);
    CDirect3DDevice::GetSingleton().Close();
    if (kv::KVWnd* root = kv::GetKVSystem().GetRootLayer())
        root->DeleteChildren();
    delete g_pSteamServer;
    g_pSteamServer = nullptr;
    delete g_pSteamClient;
    g_pSteamClient = nullptr;
    SavePlayDataAtExit();
    // The audio thread must stop before the process's static objects go, or it would mix from
    // freed buffers during exit.
    DXSoundServer::GetSingleton().Release();
}

int SavePlayDataAtExit()
{
    // The network ends first: whatever it held (lobby and game-server connections, listeners,
    // a flood of strangers' connections) no longer keeps a descriptor the pack and the cloud
    // copy need, and no worker of it writes to the shared folder meanwhile.
    platform::steam::EndOnlineServices();
    return ConfigPak::PackAtExit();
}
