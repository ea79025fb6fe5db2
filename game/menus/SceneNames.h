// The names of the scenes that other scenes switch to, for the scenes above the menus that
// return to the main menu and for the main menu that starts free play.
#pragma once

inline constexpr const char* kMainMenuSceneName = "VanteoMainMenuScene";
inline constexpr const char* kFreePlaySceneName = "VanteoScene_Puzzle";
// The stage the menu starts free play on (the 8 x 8 board).
inline constexpr int kFreePlayMenuStage = 2;
