// Compiled with the engine layer's include folders: a header of the online core above is not
// found.
#include "engine/Scene.h"
#include "net/NetGlobals.h"
