// Layout files by their bare names: the data folder's index finds the file, the window system
// builds its window tree. Scenes, pop-ups and the board's colour table load their layouts here.
#pragma once

namespace kv {
class KVWnd;
}

// A window tree from a layout file found by its bare name in the data folder; null when the
// data folder has no such file or the layout cannot be built.
kv::KVWnd* LoadLayout(const char* file);
