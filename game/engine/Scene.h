// The base of every screen of the game: a handler list plus the operations the scene manager
// calls while the scene is current.
#pragma once

#include "engine/MMap.h"

#include <win32/Types.h>

#include <string>

class CScene : public CMMap {
public:
    CScene() = default;
    ~CScene() override = default;

    virtual void Reserved0() {}
    virtual void Reserved1() {}
    // Set-up when the scene becomes current; the result is not used.
    virtual int Enter(int a, int b) = 0;
    // Tear-down when the scene stops being current.
    virtual void Leave() = 0;
    // Leave, then Enter with the restart values.
    virtual void Restart();
    virtual int Render() = 0;
    // 1 unless the game window is being closed.
    virtual int CanRender();
    // Called after the debug text has been drawn.
    virtual int AfterRender() { return 1; }
    // 0 means that nothing is drawn this frame.
    virtual int Update(float /*seconds*/) { return 1; }
    // Nonzero when the scene took the window message.
    virtual int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // A delivered scene message, passed on to the handler list.
    virtual int OnPostedMessage(int id, const void* data, int extra) { return Dispatch(id, data, extra); }
    virtual const char* GetName() const { return m_name.c_str(); }
    virtual void SetName(const char* name) { m_name = name ? name : ""; }

    std::string m_name;
    int m_nRestartA = 0;
    int m_nRestartB = 0;
};

// Passes a key, mouse button, mouse move or wheel message of the game window on to the UI system
// (the wheel's screen position made a window position); nonzero for those messages, 0 for any
// other.
int ForwardToUi(UINT msg, WPARAM wParam, LPARAM lParam);
