// What the engine's own sprites read from the player's skin and options: the animation file of
// a skin-table entry and the left-handed mouse option. They are reached through this seam so the
// cursor and the click effect do not depend on how the skin table and the options are stored;
// the game attaches its skin table and options, tests attach fixed answers.
#pragma once

#include <functional>
#include <string>

// Skin-table entries of the cursor animations (0 to 4) and of the click effect (5).
inline constexpr int kSkinMouseCursorNormal = 0;
inline constexpr int kSkinMouseCursorSNormal = 1;
inline constexpr int kSkinMouseCursorBlock = 2;
inline constexpr int kSkinMouseCursorButton = 3;
inline constexpr int kSkinMouseCursorWarning = 4;
inline constexpr int kSkinMouseCursorEffect = 5;

struct PlayerSettingsSource {
    // The file name of a skin-table entry; empty when there is none.
    std::function<std::string(int)> skinFileName;
    std::function<bool()> leftHandedMouse;
};

// Until a source is attached there is no skin (every name is empty) and the mouse is
// right-handed.
void AttachPlayerSettings(PlayerSettingsSource source);
std::string GetSkinFileName(int index);
bool IsLeftHandedMouse();
