// The action-mapping input layer over DirectInput 8: a fixed table of keyboard actions, a device
// manager that enumerates the devices able to serve them, maps the actions onto each and polls
// them every frame. Nothing in the game reads what it polls; play reads the keyboard and the
// mouse directly. Setting it up also hands the game window to the keyboard.
#pragma once

#include <dinput/DInput.h>
#include <win32/Types.h>

#include <memory>
#include <vector>

inline constexpr int kGameActionCount = 6;
// The game's action table; mapping writes each action's device object into it.
extern DIACTIONW g_rgGameAction[kGameActionCount];

class InputDeviceManager {
public:
    static constexpr int kGrowBy = 10;

    // Called for every device as it is added, before its action map is applied.
    using AddDeviceCallback = HRESULT (*)(IDirectInputDevice8W* device, void* state, void* context);

    // Initialises COM for the thread (remembering whether it did) and makes room for 10 devices.
    InputDeviceManager();
    // Releases the devices and DirectInput, and undoes the COM initialisation.
    ~InputDeviceManager();
    InputDeviceManager(const InputDeviceManager&) = delete;
    InputDeviceManager& operator=(const InputDeviceManager&) = delete;

    // Stores the window, the user and the callback, creates DirectInput 8 and enumerates the
    // devices for the format (SetActionMap with reset).
    HRESULT Create(HWND window, LPCWSTR userName, const DIACTIONFORMATW& format, AddDeviceCallback callback,
                   void* context);
    // With reset: releases every device and enumerates again, first the force-feedback devices,
    // then all. Without: builds and applies the format's action map on every device again.
    HRESULT SetActionMap(const DIACTIONFORMATW& format, bool reset);
    // Acquires, polls and reads each device's buffered records, passing each to `onRecord`.
    template <typename OnRecord>
    void PollDevices(OnRecord onRecord);

    int GetDeviceCount() const { return m_deviceCount; }
    IDirectInputDevice8W* GetDevice(int index) const;
    // The zeroed state record kept beside each device.
    struct DeviceState {
        LONG values[kGameActionCount];
    };
    DeviceState* GetDeviceState(int index) const;
    bool HasForceFeedback() const { return m_forceFeedback != 0; }

private:
    struct DeviceEntry {
        IDirectInputDevice8W* device = nullptr;
        DeviceState* state = nullptr;
    };

    static BOOL EnumerateDevice(const DIDEVICEINSTANCEW* instance, IDirectInputDevice8W* device, DWORD flags,
                                DWORD remaining, void* context);
    HRESULT AddDevice(IDirectInputDevice8W* device);
    void ReleaseDevices();

    std::vector<DeviceEntry> m_devices;
    int m_deviceCount = 0;
    bool m_comInitialised = false;
    HWND m_hWnd = nullptr;
    LPCWSTR m_userName = nullptr;
    IDirectInput8W* m_input = nullptr;
    DIACTIONFORMATW m_format{};
    AddDeviceCallback m_addDevice = nullptr;
    void* m_addDeviceContext = nullptr;
    int m_forceFeedback = 0;
};

template <typename OnRecord>
void InputDeviceManager::PollDevices(OnRecord onRecord)
{
    constexpr DWORD kRecords = 10;
    for (int i = 0; i < m_deviceCount; ++i) {
        IDirectInputDevice8W* device = m_devices[static_cast<size_t>(i)].device;
        device->Acquire();
        device->Poll();
        DIDEVICEOBJECTDATA records[kRecords];
        DWORD count = kRecords;
        if (FAILED(device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0)))
            continue;
        for (DWORD r = 0; r < count && r < kRecords; ++r)
            onRecord(records[r]);
    }
}

class ActionInputManager {
public:
    using RecordHandler = void (*)(const DIDEVICEOBJECTDATA& record);

    static ActionInputManager& Instance();

    // Fills the action format, hands the window to the keyboard, creates the device manager
    // and applies the format.
    void Setup(HWND window);
    // 0 before Setup; otherwise polls every device and returns 1. The time is not used.
    int Poll(float seconds);

    const DIACTIONFORMATW& GetFormat() const { return m_format; }
    InputDeviceManager* GetDeviceManager() { return m_deviceManager.get(); }
    // The game sets none; what is polled then goes nowhere.
    void SetRecordHandler(RecordHandler handler) { m_handler = handler; }

private:
    ActionInputManager() = default;
    void ConfigureDevices();
    static HRESULT AddDeviceCallback(IDirectInputDevice8W* device, void* state, void* context);

    std::unique_ptr<InputDeviceManager> m_deviceManager;
    DIACTIONFORMATW m_format{};
    RecordHandler m_handler = nullptr;
    HWND m_hWnd = nullptr;
};
