// The user-interface surface of the platform in one include: windows, messages, keyboard,
// cursor, focus and message boxes.
#pragma once

#include "win32/Cursor.h"
#include "win32/Focus.h"
#include "win32/Keyboard.h"
#include "win32/MessageBox.h"
#include "win32/Messages.h"
#include "win32/VirtualKeys.h"
#include "win32/Window.h"
