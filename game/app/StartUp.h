// The start-up and shut-down of the services around the main loop. For now they bring up only
// what the program has: the input system on the game window and the loading scene.
#pragma once

#include <win32/Types.h>

// After the window exists; false ends the program before the loop.
bool RunStartUpSequence(HWND window);
// The loads that come just before the first scene.
void RunPreLoopLoads();
// After the loop: takes down what the start-up brought up.
void RunShutDownSequence();
