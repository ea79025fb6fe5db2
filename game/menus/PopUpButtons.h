// Button states the pop-ups set by code: a button is disabled, or brought back to its normal
// state (its state animation included) and enabled. Either does nothing for a missing window
// or one already in that state.
#pragma once

namespace kv {
class KVWnd;
}

void DisableButton(kv::KVWnd* window);
void ResetAndEnableButton(kv::KVWnd* window);
