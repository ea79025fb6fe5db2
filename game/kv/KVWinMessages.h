// Window message ids and virtual keys that the UI framework reads, from the platform layer's
// own declarations so the two never disagree.
#pragma once

#include <win32/Types.h>
#include <win32/Messages.h>
#include <win32/VirtualKeys.h>
