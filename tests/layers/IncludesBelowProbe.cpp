// Compiled with the board layer's include folders: its own headers and those of the engine, the
// UI toolkit and the game data are found.
#include "board/GameSeams.h"
#include "data/Options.h"
#include "engine/Scene.h"
#include "kv/KVWnd.h"
