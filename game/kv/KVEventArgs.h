// Event argument records and the event names. Records live on the firing code's stack for the
// duration of one firing; handlers set `handled`, which the framework reads only for the draw
// hook and for key bubbling.
#pragma once

#include <cstdint>

namespace kv {

class KVWnd;
class KVButton;
class KVComboBox;
class KVList;
class KVScrollBar;
class KVSlider;
class KVCheck;
class AnimationObject;
struct KVListItem;

struct EventArgs {
    virtual ~EventArgs() = default;
    bool handled = false;
};

template <typename T>
struct WindowEventArgs_ : EventArgs {
    WindowEventArgs_() = default;
    explicit WindowEventArgs_(T* s) : sender(s) {}
    T* sender = nullptr;
};

using WindowEventArgs = WindowEventArgs_<KVWnd>;

struct MouseEventArgs : WindowEventArgs_<KVWnd> {
    static constexpr int32_t kLeftButton = 0;
    static constexpr int32_t kMoveOrWheel = 3;
    float x = 0;
    float y = 0;
    int32_t button = 0;
    float wheel = 0;
};

struct KeyEventArgs : WindowEventArgs_<KVWnd> {
    int32_t key = 0;
    int32_t flags = 0;
};

struct CharEventArgs : WindowEventArgs_<KVWnd> {
    const wchar_t* text = nullptr;
    bool composing = false;
    int32_t caret[2] = {0, 0};
};

struct UpdateEventArgs : EventArgs {
    float dt = 0;
};

struct WindowCloseEventArgs : WindowEventArgs_<KVWnd> {
    static constexpr int32_t kClose = 2;
    int32_t action = kClose;
};

struct AnimEventArgs : EventArgs {
    ~AnimEventArgs() override = 0;
};
inline AnimEventArgs::~AnimEventArgs() = default;

struct AnimDrawEventArgs : AnimEventArgs {
    AnimationObject* object = nullptr;
    float alpha = 1;
};

struct ScrollBarPosChangedEventArgs : WindowEventArgs_<KVScrollBar> {
    int32_t pos = 0;
};

struct SliderPosChangedEventArgs : WindowEventArgs_<KVSlider> {
    int32_t pos = 0;
};

struct CheckChangedEventArgs : WindowEventArgs_<KVCheck> {
    bool state = false;
};

struct ListSelChangedEventArgs : WindowEventArgs_<KVList> {
    KVListItem* item = nullptr;
};

struct ListDrawItemEventArgs : WindowEventArgs_<KVList> {
    KVListItem* item = nullptr;
    float x = 0;
    float y = 0;
};

// Event names: senders and registrants use these constants.
inline constexpr wchar_t EventLButtonDown[] = L"LButtonDown";
inline constexpr wchar_t EventLButtonUp[] = L"LButtonUp";
inline constexpr wchar_t EventLButtonDblClick[] = L"LButtonDblClick";
inline constexpr wchar_t EventRButtonDown[] = L"RButtonDown";
inline constexpr wchar_t EventRButtonUp[] = L"RButtonUp";
inline constexpr wchar_t EventContextMenu[] = L"ContextMenu";
inline constexpr wchar_t EventMouseMove[] = L"MouseMove";
inline constexpr wchar_t EventMouseWheel[] = L"MouseWheel";
inline constexpr wchar_t EventMouseEnter[] = L"MouseEnter";
inline constexpr wchar_t EventMouseLeave[] = L"MouseLeave";
inline constexpr wchar_t EventKeyDown[] = L"KeyDown";
inline constexpr wchar_t EventKeyUp[] = L"KeyUp";
inline constexpr wchar_t EventChar[] = L"EventChar";
inline constexpr wchar_t EventActivated[] = L"Activated";
inline constexpr wchar_t EventDeactivated[] = L"Deactivated";
inline constexpr wchar_t EventSetFocus[] = L"SetFocus";
inline constexpr wchar_t EventKillFocus[] = L"KillFocus";
inline constexpr wchar_t EventUpdate[] = L"Update";
inline constexpr wchar_t EventDraw[] = L"Draw";
inline constexpr wchar_t EventClose[] = L"Close";
inline constexpr wchar_t EventClicked[] = L"Clicked";
inline constexpr wchar_t EventChanged[] = L"Changed";
inline constexpr wchar_t EventScrollBarPosChanged[] = L"PosChanged";
inline constexpr wchar_t EventSliderPosChanged[] = L"PosChanged";
inline constexpr wchar_t EventComboSelChanged[] = L"SelChanged";
inline constexpr wchar_t EventListSelChanged[] = L"SelChanged";
inline constexpr wchar_t EventBeginDrawItem[] = L"BeginDrawItem";
inline constexpr wchar_t EventDrawItem[] = L"DrawItem";
inline constexpr wchar_t EventEndDrawItem[] = L"EndDrawItem";
inline constexpr wchar_t EventEnterKeyDown[] = L"EnterKeyDown";
inline constexpr wchar_t EventAnimFinished[] = L"AnimFinished";
inline constexpr wchar_t EventAnimObjectDraw[] = L"Draw";

} // namespace kv
