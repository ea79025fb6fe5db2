#include "engine/ActionInputManager.h"

#include "engine/InputKeyboard.h"

const InputAction g_rgGameAction[kGameActionCount] = {
    {1, 0x81000439, 0, L"왼쪽 타격"},      // space
    {2, 0x81000452, 0, L"오른쪽으로"},     // numpad 0
    {4, 0x8100049C, 0, L"스페샬 키"},      // numpad enter
    {1, 0x8100042A, 0, L"왼쪽 타격"},      // left shift
    {2, 0x81000436, 0, L"오른쪽으로"},     // right shift
    {8, 0x8100041C, 0, L"Main Enter Key"}, // return
};

namespace {

// The game's own action map.
constexpr GUID kGameActionMap = {0x5156B1A7, 0x2C41, 0x4E0B, {0x9A, 0x3D, 0x51, 0x75, 0x69, 0x62, 0x6C, 0x79}};
constexpr DWORD kGenre = 0x05000000;
constexpr DWORD kBufferSize = 16;

} // namespace

HRESULT InputDeviceManager::Create(HWND window, const InputActionFormat& format)
{
    m_hWnd = window;
    return SetActionMap(format, true);
}

HRESULT InputDeviceManager::SetActionMap(const InputActionFormat& format, bool reset)
{
    m_format = format;
    if (reset) {
        // No action-mapping devices exist here: enumeration finds none.
        m_deviceCount = 0;
        m_forceFeedback = 0;
    }
    return S_OK;
}

void InputDeviceManager::PollDevices() {}

ActionInputManager& ActionInputManager::Instance()
{
    static ActionInputManager* const instance = new ActionInputManager();
    return *instance;
}

void ActionInputManager::Setup(HWND window)
{
    m_format = InputActionFormat{};
    m_format.actionCount = kGameActionCount;
    m_format.actions = g_rgGameAction;
    m_format.actionMap = kGameActionMap;
    m_format.genre = kGenre;
    m_format.bufferSize = kBufferSize;
    m_format.axisMin = -100;
    m_format.axisMax = 100;
    m_format.actionMapName = L"Quibly Actions";

    m_hWnd = window;
    singleton<CInputKeyboard>::GetSingleton().SetWindow(window);

    m_deviceManager = std::make_unique<InputDeviceManager>();
    if (FAILED(m_deviceManager->Create(window, m_format)))
        return;
    m_deviceManager->SetActionMap(m_format, false);
}

int ActionInputManager::Poll(float)
{
    if (!m_deviceManager)
        return 0;
    m_deviceManager->PollDevices();
    return 1;
}
