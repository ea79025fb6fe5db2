// The program's version, logged at start.
#pragma once

struct ProgramVersion {
    int major;
    int minor;
    int build;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{0, 0, 354, 43};

// Logs "Vanteo Start Version = 0.0.354.43".
void LogProgramVersion();
