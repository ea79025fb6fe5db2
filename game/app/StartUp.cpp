#include "app/StartUp.h"

#include "app/Getters.h"
#include "app/Options.h"
#include "engine/PlayerSettings.h"
#include "engine/SkinTable.h"
#include "engine/InputSystem.h"
#include "engine/LoadingScene.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "online/Achievements.h"
#include "online/NetGlobals.h"

bool RunStartUpSequence(HWND window)
{
    // The cursor and click effects take their files from the skin and the mirror from the options.
    AttachPlayerSettings({[](int index) {
                              const char* name = SkinTable.GetSkinString(index);
                              return std::string(name ? name : "");
                          },
                          [] { return GameConfig.leftHand != 0; }});
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
