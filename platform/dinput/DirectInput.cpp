// DirectInput 8 over the platform's keyboard state: the system keyboard with an action map.
#include "dinput/DInput.h"

#include "win32/Debug.h"
#include "win32/Time.h"

#include "../common/RefCounted.h"
#include "../win32/UserState.h"

#include <array>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace {

constexpr DWORD kKeyboardGenreMask = 0xFFFFFF00;
constexpr DWORD kDefaultBufferSize = 16;

bool IsKeyboardSemantic(DWORD semantic) { return (semantic & kKeyboardGenreMask) == DIKEYBOARD_BASE; }

std::array<bool, 256> KeyboardSnapshot()
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    return s.scanDown;
}

class Keyboard final : public platform::RefCounted<IDirectInputDevice8W> {
public:
    HRESULT QueryInterface(REFIID /*iid*/, void** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT Acquire() override
    {
        std::lock_guard guard(m_lock);
        if (m_acquired)
            return S_FALSE;
        m_acquired = true;
        m_previous = KeyboardSnapshot();
        return DI_OK;
    }
    HRESULT Unacquire() override
    {
        std::lock_guard guard(m_lock);
        if (!m_acquired)
            return DI_NOEFFECT;
        m_acquired = false;
        m_buffer.clear();
        return DI_OK;
    }
    HRESULT SetCooperativeLevel(HWND /*hwnd*/, DWORD /*flags*/) override { return DI_OK; }
    HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) override
    {
        if (!header)
            return DIERR_INVALIDPARAM;
        if (property == DIPROP_BUFFERSIZE) {
            std::lock_guard guard(m_lock);
            m_bufferSize = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
            return DI_OK;
        }
        // A keyboard has no axes: a dead zone changes nothing.
        return property == DIPROP_DEADZONE ? DI_OK : DIERR_UNSUPPORTED;
    }
    HRESULT BuildActionMap(DIACTIONFORMATW* format, LPCWSTR /*userName*/, DWORD /*flags*/) override
    {
        if (!format || (format->dwNumActions && !format->rgoAction))
            return DIERR_INVALIDPARAM;
        for (DWORD i = 0; i < format->dwNumActions; ++i) {
            DIACTIONW& action = format->rgoAction[i];
            if (IsKeyboardSemantic(action.dwSemantic)) {
                action.guidInstance = GUID_SysKeyboard;
                action.dwObjID = action.dwSemantic & 0xFF;
                action.dwHow = DIAH_DEFAULT;
            } else {
                action.dwHow = DIAH_UNMAPPED;
            }
        }
        return DI_OK;
    }
    HRESULT SetActionMap(DIACTIONFORMATW* format, LPCWSTR /*userName*/, DWORD /*flags*/) override
    {
        if (!format || (format->dwNumActions && !format->rgoAction))
            return DIERR_INVALIDPARAM;
        std::lock_guard guard(m_lock);
        m_actions.clear();
        for (DWORD i = 0; i < format->dwNumActions; ++i) {
            const DIACTIONW& action = format->rgoAction[i];
            if (action.dwHow != DIAH_UNMAPPED && action.guidInstance == GUID_SysKeyboard)
                m_actions[action.dwObjID & 0xFF] = static_cast<DWORD>(action.uAppData);
        }
        if (format->dwBufferSize)
            m_bufferSize = format->dwBufferSize;
        return DI_OK;
    }
    HRESULT Poll() override
    {
        std::lock_guard guard(m_lock);
        if (!m_acquired)
            return DIERR_NOTACQUIRED;
        const auto now = KeyboardSnapshot();
        for (const auto& [dik, appData] : m_actions) {
            if (now[dik] == m_previous[dik])
                continue;
            if (m_buffer.size() >= m_bufferSize)
                m_buffer.pop_front();   // the oldest record makes room, as a full buffer does
            m_buffer.push_back({dik, now[dik] ? 0x80u : 0u, timeGetTime(), ++m_sequence, appData});
        }
        m_previous = now;
        return DI_OK;
    }
    HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* inOut, DWORD flags) override
    {
        if (!inOut || recordSize != sizeof(DIDEVICEOBJECTDATA))
            return DIERR_INVALIDPARAM;
        std::lock_guard guard(m_lock);
        if (!m_acquired)
            return DIERR_NOTACQUIRED;
        const DWORD count = std::min<DWORD>(*inOut, static_cast<DWORD>(m_buffer.size()));
        for (DWORD i = 0; records && i < count; ++i)
            records[i] = m_buffer[i];
        if (!(flags & DIGDD_PEEK))
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + count);
        *inOut = count;
        return DI_OK;
    }
    HRESULT GetDeviceState(DWORD size, LPVOID data) override
    {
        if (!data || size != 256)
            return DIERR_INVALIDPARAM;
        std::lock_guard guard(m_lock);
        if (!m_acquired)
            return DIERR_NOTACQUIRED;
        const auto now = KeyboardSnapshot();
        auto* bytes = static_cast<BYTE*>(data);
        for (size_t i = 0; i < now.size(); ++i)
            bytes[i] = now[i] ? 0x80 : 0;
        return DI_OK;
    }

private:
    ~Keyboard() override = default;

    std::mutex m_lock;
    bool m_acquired = false;
    std::map<DWORD, DWORD> m_actions;   // DIK code -> application value
    std::array<bool, 256> m_previous{};
    std::deque<DIDEVICEOBJECTDATA> m_buffer;
    DWORD m_bufferSize = kDefaultBufferSize;
    DWORD m_sequence = 0;
};

class DirectInput final : public platform::RefCounted<IDirectInput8W> {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IDirectInput8W) {
            AddRef();
            *out = static_cast<IDirectInput8W*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT EnumDevicesBySemantics(LPCWSTR /*userName*/, DIACTIONFORMATW* format,
                                   LPDIENUMDEVICESBYSEMANTICSCBW callback, LPVOID context, DWORD flags) override
    {
        if (!format || !callback || (format->dwNumActions && !format->rgoAction))
            return DIERR_INVALIDPARAM;
        // The keyboard has no force feedback, and is offered only for keyboard actions.
        if (flags & DIEDBSFL_FORCEFEEDBACK)
            return DI_OK;
        bool wanted = false;
        for (DWORD i = 0; i < format->dwNumActions; ++i)
            wanted = wanted || IsKeyboardSemantic(format->rgoAction[i].dwSemantic);
        if (!wanted)
            return DI_OK;
        DIDEVICEINSTANCEW instance{};
        instance.dwSize = sizeof(instance);
        instance.guidInstance = GUID_SysKeyboard;
        instance.guidProduct = GUID_SysKeyboard;
        instance.dwDevType = DI8DEVTYPE_KEYBOARD;
        std::wcsncpy(instance.tszInstanceName, L"Keyboard", MAX_PATH - 1);
        std::wcsncpy(instance.tszProductName, L"Keyboard", MAX_PATH - 1);
        auto* keyboard = new Keyboard;
        callback(&instance, keyboard, DIEDBS_MAPPEDPRI1, 0, context);
        keyboard->Release();
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
};

thread_local int t_comInitialisations = 0;

} // namespace

HRESULT DirectInput8Create(HINSTANCE /*instance*/, DWORD version, REFIID iid, LPVOID* out, LPVOID /*outer*/)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (version < DIRECTINPUT_VERSION)
        return DIERR_OLDDIRECTINPUTVERSION;
    if (!(iid == IID_IDirectInput8W))
        return E_NOINTERFACE;
    *out = static_cast<IDirectInput8W*>(new DirectInput);
    return DI_OK;
}

HRESULT CoInitialize(LPVOID /*reserved*/)
{
    // Windows answers S_FALSE when the thread had already initialised COM.
    return t_comInitialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_comInitialisations > 0)
        --t_comInitialisations;
}
