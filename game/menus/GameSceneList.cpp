#include "menus/GameSceneList.h"

#include "engine/SimpleTestScene.h"
#include "modes/VanteoScene_Puzzle.h"
#include "modes/VanteoScene_StageChallenge.h"

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
        {"VanteoScene", nullptr},
        {"VanteoScene_IQ", nullptr},
        {"VanteoPuzzleEditorScene", nullptr},
        {"SimpleTestScene", &Make<SimpleTestScene>},
        {"VanteoScene_Push", nullptr},
        {"VanteoScene_Puzzle", &Make<VanteoScene_Puzzle>},
        {"VanteoScene_ComboChallenge", nullptr},
        {"VanteoScene_StageChallenge", &Make<VanteoScene_StageChallenge>},
        {"VanteoScene_PointChallenge", nullptr},
        {"SteamVanteoScene", nullptr},
        {"SteamVanteoScene_Push", nullptr},
        {"QuiblyLobbyScene", nullptr},
        {"VanteoPuzzleSelectScene2", nullptr},
        {"VanteoScene_IQEditorTest", nullptr},
    }};
    return scenes;
}
