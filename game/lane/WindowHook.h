// A handler hung on one window of a layout, once per window. Hanging it again on the window that
// still holds it does nothing; a window of a layout built later gets it, even one that took the
// place in memory of a destroyed window, because the hook asks whether a window still holds its
// handler instead of comparing addresses alone.
#pragma once

#include "kv/KVObject.h"
#include "kv/KVWnd.h"

class WindowHook {
public:
    template <typename T>
    void Hang(kv::KVWnd* window, const wchar_t* event, T* object, void (T::*handler)(kv::EventArgs&))
    {
        if (!window || (window == m_window && Held()))
            return;
        m_handler = kv::MakeHandler(object, handler);
        window->AddHandler(event, m_handler);
        m_window = window;
    }

private:
    // A window besides the hook holds the handler: the window it was hung on is still alive.
    bool Held() const { return m_handler && m_handler.Get()->RefCount() > 1; }

    kv::KVWnd* m_window = nullptr;
    kv::EventFunctorRef m_handler;
};
