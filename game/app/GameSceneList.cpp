#include "app/GameSceneList.h"

#include "engine/SceneManager.h"
#include "engine/SimpleTestScene.h"
#include "modes/VanteoScene_ComboChallenge.h"
#include "modes/VanteoScene_PointChallenge.h"
#include "modes/VanteoScene.h"
#include "modes/PuzzleLayout.h"
#include "modes/VanteoPuzzleEditorScene.h"
#include "modes/VanteoPuzzleSelectScene2.h"
#include "modes/VanteoScene_IQ.h"
#include "modes/VanteoScene_IQEditorTest.h"
#include "modes/VanteoScene_Push.h"
#include "modes/VanteoScene_Puzzle.h"
#include "online/QuiblyLobbyScene.h"
#include "online/SteamVanteoScene.h"
#include "online/SteamVanteoScene_Push.h"
#include "modes/VanteoScene_StageChallenge.h"

namespace {

template <typename T>
CScene* Make()
{
    return new T();
}

// The logic-puzzle scenes pass one puzzle layout between them: the chooser's previews, the
// play scene, the editor and its test all read or write this one.
PuzzleLayout& SharedPuzzleLayout()
{
    static PuzzleLayout layout;
    return layout;
}

template <typename T>
CScene* MakeWithPuzzleLayout()
{
    return new T(SharedPuzzleLayout());
}

} // namespace

const std::array<GameSceneEntry, kGameSceneCount>& GameScenes()
{
    // Each mode adds its factory here when its scene is built.
    static const std::array<GameSceneEntry, kGameSceneCount> scenes = {{
        {"VanteoScene", &Make<VanteoScene>},
        {"VanteoScene_IQ", &MakeWithPuzzleLayout<VanteoScene_IQ>},
        {"VanteoPuzzleEditorScene", &MakeWithPuzzleLayout<VanteoPuzzleEditorScene>},
        {"SimpleTestScene", &Make<SimpleTestScene>},
        {"VanteoScene_Push", &Make<VanteoScene_Push>},
        {"VanteoScene_Puzzle", &Make<VanteoScene_Puzzle>},
        {"VanteoScene_ComboChallenge", &Make<VanteoScene_ComboChallenge>},
        {"VanteoScene_StageChallenge", &Make<VanteoScene_StageChallenge>},
        {"VanteoScene_PointChallenge", &Make<VanteoScene_PointChallenge>},
        {"SteamVanteoScene", &Make<SteamVanteoScene>},
        {"SteamVanteoScene_Push", &Make<SteamVanteoScene_Push>},
        {"QuiblyLobbyScene", &Make<QuiblyLobbyScene>},
        {"VanteoPuzzleSelectScene2", &MakeWithPuzzleLayout<VanteoPuzzleSelectScene2>},
        {"VanteoScene_IQEditorTest", &MakeWithPuzzleLayout<VanteoScene_IQEditorTest>},
    }};
    return scenes;
}

void RegisterGameScenes()
{
    CSceneManager& manager = singleton<CSceneManager>::GetSingleton();
    for (const GameSceneEntry& entry : GameScenes()) {
        if (!entry.create)
            continue;
        if (CScene* scene = entry.create())
            manager.RegisterScene(scene);
    }
}
