// Debugger output: written to stderr, one line per call, unless QUIBLY_DEBUG_OUTPUT=0.
#pragma once

#include "win32/Types.h"

void OutputDebugStringW(const wchar_t* text);
void OutputDebugStringA(const char* text);

namespace platform {

// Logs a "[platform] ..." line once per distinct text; used by calls that are declared but
// not implemented, which then return a failure code.
void LogOnce(const char* text);

} // namespace platform
