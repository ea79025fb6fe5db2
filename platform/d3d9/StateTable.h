// The coverage table of render, sampler and texture-stage states: each state's default (as a
// new or reset device has it) and how far the stand-in honours it. A state missing from the
// table, or a default-only state set to another value, is refused with one log line and left
// as it was.
#pragma once

#include <d3d9/D3D9Types.h>

namespace platform::d3d9 {

enum class Coverage {
    Implemented,  // every value is honoured (or has no visible effect here: hints)
    DefaultOnly,  // accepted at its default value only
};

struct StateEntry {
    DWORD type;
    const char* name;
    DWORD defaultValue;
    Coverage coverage;
};

constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kSamplerStateCount = 14;
constexpr DWORD kStageStateCount = 33;
constexpr DWORD kStageCount = 8;

const StateEntry* FindRenderState(DWORD type);
const StateEntry* FindSamplerState(DWORD type);
// Stage defaults differ between stage 0 and the others; the entry holds stage 0's.
const StateEntry* FindStageState(DWORD type);
DWORD StageStateDefault(DWORD stage, DWORD type);

// Checks a value against the table; false (after one log line) when it is refused.
bool AcceptRenderState(DWORD type, DWORD value);
bool AcceptSamplerState(DWORD type, DWORD value);
bool AcceptStageState(DWORD stage, DWORD type, DWORD value);

} // namespace platform::d3d9
