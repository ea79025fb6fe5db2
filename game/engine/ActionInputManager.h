// The action-mapping input layer: a fixed table of keyboard actions, a device manager set up on
// the game window and polled every frame. Nothing in the game reads what it polls; play reads
// the keyboard and the mouse directly. This build has no action-mapping input devices, so the
// device manager enumerates none and a poll reads nothing; setting it up still hands the game
// window to the keyboard, which its focus tests need.
#pragma once

#include <win32/Types.h>

#include <memory>

// One mapped action: the game's value, the keyboard semantic it maps to, flags, its name.
struct InputAction {
    UINT_PTR appData;
    DWORD semantic;
    DWORD flags;
    const wchar_t* actionName;
};

inline constexpr int kGameActionCount = 6;
extern const InputAction g_rgGameAction[kGameActionCount];

// The action format applied to every device.
struct InputActionFormat {
    DWORD actionCount = 0;
    const InputAction* actions = nullptr;
    GUID actionMap{};
    DWORD genre = 0;
    DWORD bufferSize = 0;
    LONG axisMin = 0;
    LONG axisMax = 0;
    const wchar_t* actionMapName = nullptr;
};

class InputDeviceManager {
public:
    static constexpr int kGrowBy = 10;

    // Stores the window and the format and enumerates the devices (none in this build).
    HRESULT Create(HWND window, const InputActionFormat& format);
    // Re-applies the format; with reset the devices are enumerated again.
    HRESULT SetActionMap(const InputActionFormat& format, bool reset);
    int GetDeviceCount() const { return m_deviceCount; }
    // Reads each device's buffered records; errors skip the device.
    void PollDevices();

private:
    int m_deviceCount = 0;
    HWND m_hWnd = nullptr;
    InputActionFormat m_format;
    int m_forceFeedback = 0;
};

class ActionInputManager {
public:
    static ActionInputManager& Instance();

    // Fills the action format, hands the window to the keyboard, creates the device manager
    // and applies the format.
    void Setup(HWND window);
    // 0 before Setup; otherwise polls every device and returns 1. The time is not used.
    int Poll(float seconds);

    const InputActionFormat& GetFormat() const { return m_format; }
    InputDeviceManager* GetDeviceManager() { return m_deviceManager.get(); }

private:
    ActionInputManager() = default;

    std::unique_ptr<InputDeviceManager> m_deviceManager;
    InputActionFormat m_format;
    HWND m_hWnd = nullptr;
};
