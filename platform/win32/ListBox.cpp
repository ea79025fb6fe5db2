// The built-in "LISTBOX" window class: keeps its items and selection; draws nothing.
#include "UserState.h"
#include "win32/Window.h"

namespace platform::user {

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& s = Get();
    std::unique_lock guard(s.lock);
    WindowRecord* w = Find(s, hwnd);
    if (!w) {
        guard.unlock();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    const auto count = static_cast<LRESULT>(w->listItems.size());
    switch (msg) {
    case LB_ADDSTRING: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        w->listItems.emplace_back(text ? text : L"");
        return count;
    }
    case LB_RESETCONTENT:
        w->listItems.clear();
        w->listSelection = -1;
        return 0;
    case LB_SETCURSEL: {
        const auto index = static_cast<intptr_t>(wParam);
        if (index < 0 || index >= count) {
            w->listSelection = -1;
            return index == -1 ? 0 : LB_ERR;
        }
        w->listSelection = static_cast<int>(index);
        return index;
    }
    case LB_GETCURSEL:
        return w->listSelection < 0 ? LB_ERR : w->listSelection;
    case LB_GETCOUNT:
        return count;
    default:
        guard.unlock();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
