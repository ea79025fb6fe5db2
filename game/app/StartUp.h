// The start-up and shut-down of every service around the main loop, in their fixed order.
#pragma once

#include <win32/Types.h>

// The start-up steps, run by InitInstance once the window exists; false ends the program before
// the main loop (the platform cannot start, or the device cannot be created).
bool RunStartUpSequence(HWND window);
// Step 8: the window system, the UI back ends, input, sound, the device, the fonts and the
// start scenes; 0 when the device cannot be created (the window is then destroyed).
int InitDevice(HWND window, HINSTANCE instance);
// Registers "VanteoMainMenuScene", "LoadingScene" and "VanteoInitMenuScene", in that order.
void RegisterStartScenes();
// The battle mode configuration, the sound list and the local rankings, before the first scene.
void RunPreLoopLoads();
// After the loop: takes the services down in their order and packs the play data.
void RunShutDownSequence();
// The shut-down's last step: the online services end, then the play data is packed and
// uploaded; a pack or cloud copy not written is said (ConfigPak::PackAtExit). 1 when written.
int SavePlayDataAtExit();
