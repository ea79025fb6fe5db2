#include "engine/ActionInputManager.h"

#include "engine/InputKeyboard.h"

#include <win32/Window.h>

#include <cstring>
#include <cwchar>
#include <new>

DIACTIONW g_rgGameAction[kGameActionCount] = {
    {1, DIKEYBOARD_SPACE, 0, L"왼쪽 타격", {}, 0, 0},
    {2, DIKEYBOARD_NUMPAD0, 0, L"오른쪽으로", {}, 0, 0},
    {4, DIKEYBOARD_NUMPADENTER, 0, L"스페샬 키", {}, 0, 0},
    {1, DIKEYBOARD_LSHIFT, 0, L"왼쪽 타격", {}, 0, 0},
    {2, DIKEYBOARD_RSHIFT, 0, L"오른쪽으로", {}, 0, 0},
    {8, DIKEYBOARD_RETURN, 0, L"Main Enter Key", {}, 0, 0},
};

namespace {

// The game's own action map.
constexpr GUID kGameActionMap = {0x5156B1A7, 0x2C41, 0x4E0B, {0x9A, 0x3D, 0x51, 0x75, 0x69, 0x62, 0x6C, 0x79}};
constexpr DWORD kFormatSize = 588;
constexpr DWORD kActionSize = 40;
constexpr DWORD kDataSize = 24;
constexpr DWORD kGenre = 0x05000000;
constexpr DWORD kBufferSize = 16;
constexpr LONG kDeadZone = 500;

} // namespace

// ---- InputDeviceManager ---------------------------------------------------------------------

InputDeviceManager::InputDeviceManager()
{
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    m_devices.resize(kGrowBy);
}

InputDeviceManager::~InputDeviceManager()
{
    ReleaseDevices();
    if (m_input)
        m_input->Release();
    if (m_comInitialised)
        CoUninitialize();
}

HRESULT InputDeviceManager::Create(HWND window, LPCWSTR userName, const DIACTIONFORMATW& format,
                                   AddDeviceCallback callback, void* context)
{
    m_hWnd = window;
    m_userName = userName;
    m_addDevice = callback;
    m_addDeviceContext = context;
    void* input = nullptr;
    HRESULT hr = DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W, &input,
                                    nullptr);
    if (FAILED(hr))
        return hr;
    m_input = static_cast<IDirectInput8W*>(input);
    return SetActionMap(format, true);
}

void InputDeviceManager::ReleaseDevices()
{
    for (int i = 0; i < m_deviceCount; ++i) {
        DeviceEntry& entry = m_devices[static_cast<size_t>(i)];
        if (entry.device) {
            entry.device->Unacquire();
            entry.device->Release();
        }
        delete entry.state;
        entry = {};
    }
    m_deviceCount = 0;
}

HRESULT InputDeviceManager::SetActionMap(const DIACTIONFORMATW& format, bool reset)
{
    m_format = format;
    if (reset) {
        ReleaseDevices();
        if (!m_input)
            return E_FAIL;
        // The force-feedback devices are offered first; the count runs on into the second pass.
        m_input->EnumDevicesBySemantics(m_userName, &m_format, &InputDeviceManager::EnumerateDevice, this,
                                        DIEDBSFL_FORCEFEEDBACK);
        if (m_deviceCount == 1)
            m_forceFeedback = 1;
        return m_input->EnumDevicesBySemantics(m_userName, &m_format, &InputDeviceManager::EnumerateDevice, this, 0);
    }
    for (int i = 0; i < m_deviceCount; ++i)
        m_devices[static_cast<size_t>(i)].device->Unacquire();
    for (int i = 0; i < m_deviceCount; ++i) {
        IDirectInputDevice8W* device = m_devices[static_cast<size_t>(i)].device;
        HRESULT hr = device->BuildActionMap(&m_format, m_userName, DIDBAM_INITIALIZE);
        if (FAILED(hr))
            return hr;
        hr = device->SetActionMap(&m_format, m_userName, DIDSAM_FORCESAVE);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

BOOL InputDeviceManager::EnumerateDevice(const DIDEVICEINSTANCEW*, IDirectInputDevice8W* device, DWORD, DWORD,
                                         void* context)
{
    static_cast<InputDeviceManager*>(context)->AddDevice(device);
    return DIENUM_CONTINUE;
}

HRESULT InputDeviceManager::AddDevice(IDirectInputDevice8W* device)
{
    if (!device)
        return E_INVALIDARG;
    device->Unacquire();
    // Only the first device of a force-feedback set-up is taken exclusively.
    const DWORD level = (m_deviceCount == 0 && m_forceFeedback) ? DISCL_EXCLUSIVE | DISCL_FOREGROUND
                                                                  : DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
    if (HRESULT hr = device->SetCooperativeLevel(m_hWnd, level); FAILED(hr))
        return hr;
    if (m_deviceCount >= static_cast<int>(m_devices.size())) {
        try {
            m_devices.resize(m_devices.size() + kGrowBy);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    DeviceEntry& entry = m_devices[static_cast<size_t>(m_deviceCount)];
    entry.device = device;
    entry.state = new DeviceState{};
    if (m_addDevice)
        m_addDevice(device, entry.state, m_addDeviceContext);
    HRESULT hr = device->BuildActionMap(&m_format, m_userName, DIDBAM_DEFAULT);
    if (SUCCEEDED(hr))
        hr = device->SetActionMap(&m_format, m_userName, DIDSAM_DEFAULT);
    if (FAILED(hr)) {
        delete entry.state;
        entry = {};
        return hr;
    }
    device->AddRef();
    ++m_deviceCount;
    return S_OK;
}

IDirectInputDevice8W* InputDeviceManager::GetDevice(int index) const
{
    return index >= 0 && index < m_deviceCount ? m_devices[static_cast<size_t>(index)].device : nullptr;
}

InputDeviceManager::DeviceState* InputDeviceManager::GetDeviceState(int index) const
{
    return index >= 0 && index < m_deviceCount ? m_devices[static_cast<size_t>(index)].state : nullptr;
}

// ---- ActionInputManager ---------------------------------------------------------------------

ActionInputManager& ActionInputManager::Instance()
{
    static ActionInputManager* const instance = new ActionInputManager();
    return *instance;
}

HRESULT ActionInputManager::AddDeviceCallback(IDirectInputDevice8W* device, void*, void*)
{
    DIPROPDWORD deadZone{};
    deadZone.diph.dwSize = sizeof(DIPROPDWORD);
    deadZone.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    deadZone.diph.dwObj = 0;
    deadZone.diph.dwHow = DIPH_DEVICE;
    deadZone.dwData = kDeadZone;
    device->SetProperty(DIPROP_DEADZONE, &deadZone.diph);
    device->Acquire();
    return S_OK;
}

void ActionInputManager::Setup(HWND window)
{
    m_format = DIACTIONFORMATW{};
    m_format.dwSize = kFormatSize;
    m_format.dwActionSize = kActionSize;
    m_format.dwDataSize = kDataSize;
    m_format.dwNumActions = kGameActionCount;
    m_format.rgoAction = g_rgGameAction;
    m_format.guidActionMap = kGameActionMap;
    m_format.dwGenre = kGenre;
    m_format.dwBufferSize = kBufferSize;
    m_format.lAxisMin = -100;
    m_format.lAxisMax = 100;
    std::wcsncpy(m_format.tszActionMap, L"Quibly Actions", MAX_PATH - 1);

    m_hWnd = window;
    singleton<CInputKeyboard>::GetSingleton().SetWindow(window);

    m_deviceManager = std::make_unique<InputDeviceManager>();
    if (FAILED(m_deviceManager->Create(window, nullptr, m_format, &ActionInputManager::AddDeviceCallback, this)))
        return;
    ConfigureDevices();
}

void ActionInputManager::ConfigureDevices()
{
    auto zeroStates = [this] {
        for (int i = 0; i < m_deviceManager->GetDeviceCount(); ++i)
            *m_deviceManager->GetDeviceState(i) = {};
    };
    zeroStates();
    m_deviceManager->SetActionMap(m_format, false);
    zeroStates();
}

int ActionInputManager::Poll(float)
{
    if (!m_deviceManager)
        return 0;
    m_deviceManager->PollDevices([this](const DIDEVICEOBJECTDATA& record) {
        if (m_handler)
            m_handler(record);
    });
    return 1;
}
