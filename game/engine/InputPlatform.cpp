// The input calls in use, and the stand-in that answers while no window system is installed.
#include "engine/InputPlatform.h"

namespace {

class NoWindowInput final : public InputPlatform {
public:
    HWND GetActiveWindow() override { return nullptr; }
    HWND GetFocus() override { return nullptr; }
    SHORT GetAsyncKeyState(int) override { return 0; }
    bool GetCursorClientPos(HWND, POINT* point) override
    {
        *point = {0, 0};
        return true;
    }
    bool GetClientRect(HWND, RECT* rect) override
    {
        *rect = {0, 0, 1024, 768};
        return true;
    }
    void SetCapture(HWND) override {}
    void ReleaseCapture() override {}
    int ShowCursor(bool show) override { return m_counter += show ? 1 : -1; }

private:
    int m_counter = 0;
};

NoWindowInput g_noWindowInput;
InputPlatform* g_inputPlatform = &g_noWindowInput;

} // namespace

InputPlatform& GetInputPlatform()
{
    return *g_inputPlatform;
}

void SetInputPlatform(InputPlatform* platform)
{
    g_inputPlatform = platform ? platform : &g_noWindowInput;
}
