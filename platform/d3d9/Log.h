// Log lines of the Direct3D stand-in: "[platform] d3d9: ..." on stderr.
#pragma once

namespace platform::d3d9 {

// Every call writes a line.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes a line the first time a text appears; used for calls and values that are refused.
void LogRefused(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace platform::d3d9
