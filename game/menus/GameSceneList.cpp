#include "menus/GameSceneList.h"

#include "engine/SimpleTestScene.h"
#include "modes/VanteoScene_ComboChallenge.h"
#include "modes/VanteoScene_PointChallenge.h"
#include "modes/VanteoScene.h"
#include "modes/VanteoScene_Puzzle.h"
#include "online/QuiblyLobbyScene.h"

namespace {

template <typename T>
CScene* Make()
{
    return new T();
}

} // namespace

const std::array<GameSceneEntry, kGameSceneCount>& GameScenes()
{
    // Each mode adds its factory here when its scene is built.
    static const std::array<GameSceneEntry, kGameSceneCount> scenes = {{
        {"VanteoScene", &Make<VanteoScene>},
        {"VanteoScene_IQ", nullptr},
        {"VanteoPuzzleEditorScene", nullptr},
        {"SimpleTestScene", &Make<SimpleTestScene>},
        {"VanteoScene_Push", nullptr},
        {"VanteoScene_Puzzle", &Make<VanteoScene_Puzzle>},
        {"VanteoScene_ComboChallenge", &Make<VanteoScene_ComboChallenge>},
        {"VanteoScene_StageChallenge", nullptr},
        {"VanteoScene_PointChallenge", &Make<VanteoScene_PointChallenge>},
        {"SteamVanteoScene", nullptr},
        {"SteamVanteoScene_Push", nullptr},
        {"QuiblyLobbyScene", &Make<QuiblyLobbyScene>},
        {"VanteoPuzzleSelectScene2", nullptr},
        {"VanteoScene_IQEditorTest", nullptr},
    }};
    return scenes;
}
