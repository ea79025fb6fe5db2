// The game scenes that the main menu creates and registers on its first entry of a run, in the
// order they are registered. A mode whose scene is not built yet has no factory: it is not
// registered, and the scene manager logs and ignores a launch of it.
#pragma once

#include <array>
#include <cstddef>

class CScene;

struct GameSceneEntry {
    const char* name;
    // Null while the scene is not built.
    CScene* (*create)();
};

inline constexpr std::size_t kGameSceneCount = 14;

const std::array<GameSceneEntry, kGameSceneCount>& GameScenes();

// Creates every built scene of the list and registers it with the scene manager, in order.
void RegisterGameScenes();
