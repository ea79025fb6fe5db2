#include "app/StartUp.h"

#include "app/Getters.h"
#include "app/MainWindow.h"
#include "app/Options.h"
#include "engine/PlayerSettings.h"
#include "engine/SkinTable.h"
#include "engine/InputSystem.h"
#include "engine/LoadingScene.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "online/Achievements.h"
#include "online/NetGlobals.h"
#include "kv/KVSystem.h"

#include <steam/SteamApi.h>

bool RunStartUpSequence(HWND window)
{
    // The cursor and click effects take their files from the skin and the mirror from the options.
    AttachPlayerSettings({[](int index) {
                              const char* name = SkinTable.GetSkinString(index);
                              return std::string(name ? name : "");
                          },
                          [] { return GameConfig.leftHand != 0; }});
    // Window messages pass the UI framework's input-method hook first; the platform client's
    // callbacks run once per idle turn.
    kv::GetKVSystem().InstallInputMethod(window);
    SetMainLoopHooks({[](UINT msg, WPARAM wParam, LPARAM& lParam, bool& go) {
                          kv::GetKVSystem().HandleImeMessage(msg, wParam, lParam, go);
                      },
                      [] { return kv::GetKVSystem().GetInputMethodProvider() != nullptr; },
                      [] { SteamAPI_RunCallbacks(); }});
    GetInputManager()->Init(window);
    SetDeviceWindow(window);
    // The first use of the scene manager starts its loader thread.
    singleton<CSceneManager>::GetSingleton().RegisterScene(new LoadingScene());
    return true;
}

void RunPreLoopLoads() {}

void RunShutDownSequence()
{
    delete g_pAchievements;
    g_pAchievements = nullptr;
    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        manager->Shutdown();
}
