// DirectInput 8 with action mapping, over the platform's keyboard state (the SDL key events that
// the message pump has seen). The one device is the system keyboard: enumeration by semantics
// offers it for keyboard semantics (DIKEYBOARD_*); its action map turns key changes seen at
// Poll into buffered records carrying the actions' application values.
// Also COM's per-thread initialisation, which DirectInput set-up brackets.
// Left out: mice, joysticks and force feedback (nothing is enumerated for them), CreateDevice,
// data formats (SetDataFormat), immediate device state beyond the keyboard's 256 bytes,
// action-map configuration UI, events (SetEventNotification).
#pragma once

#include "win32/Types.h"

// COM.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DI_BUFFEROVERFLOW = S_FALSE;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_NOTACQUIRED = MakeHResult(0x8007000Cu);
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = MakeHResult(0x8007047Eu);

inline constexpr GUID IID_IDirectInput8W = {0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
inline constexpr GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// Property ids: distinct values of our own, compared by value.
inline constexpr GUID DIPROP_BUFFERSIZE = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID DIPROP_DEADZONE = {5, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Keyboard scan codes (DIK_*) used by the game's action table; the rest follow the same set-1
// numbering, extended keys with 0x80 added.
constexpr DWORD DIK_RETURN = 0x1C;
constexpr DWORD DIK_LSHIFT = 0x2A;
constexpr DWORD DIK_RSHIFT = 0x36;
constexpr DWORD DIK_SPACE = 0x39;
constexpr DWORD DIK_NUMPAD0 = 0x52;
constexpr DWORD DIK_NUMPADENTER = 0x9C;

// Keyboard semantics: the keyboard genre's key class with the scan code in the low byte.
constexpr DWORD DIKEYBOARD_BASE = 0x81000400;
constexpr DWORD DIKEYBOARD_RETURN = DIKEYBOARD_BASE | DIK_RETURN;
constexpr DWORD DIKEYBOARD_LSHIFT = DIKEYBOARD_BASE | DIK_LSHIFT;
constexpr DWORD DIKEYBOARD_RSHIFT = DIKEYBOARD_BASE | DIK_RSHIFT;
constexpr DWORD DIKEYBOARD_SPACE = DIKEYBOARD_BASE | DIK_SPACE;
constexpr DWORD DIKEYBOARD_NUMPAD0 = DIKEYBOARD_BASE | DIK_NUMPAD0;
constexpr DWORD DIKEYBOARD_NUMPADENTER = DIKEYBOARD_BASE | DIK_NUMPADENTER;

constexpr DWORD DIEDBSFL_FORCEFEEDBACK = 0x00000100;
constexpr DWORD DIDBAM_DEFAULT = 0x00000000;
constexpr DWORD DIDBAM_INITIALIZE = 0x00000004;
constexpr DWORD DIDSAM_DEFAULT = 0x00000000;
constexpr DWORD DIDSAM_FORCESAVE = 0x00000002;
constexpr DWORD DISCL_EXCLUSIVE = 0x00000001;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x00000002;
constexpr DWORD DISCL_FOREGROUND = 0x00000004;
constexpr DWORD DISCL_BACKGROUND = 0x00000008;
constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIAH_UNMAPPED = 0x00000000;
constexpr DWORD DIAH_DEFAULT = 0x00000020;
constexpr DWORD DIGDD_PEEK = 0x00000001;
constexpr DWORD DIEDBS_MAPPEDPRI1 = 0x00000001;
constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;

struct DIACTIONW {
    UINT_PTR uAppData;
    DWORD dwSemantic;
    DWORD dwFlags;
    LPCWSTR lptszActionName;
    GUID guidInstance;
    DWORD dwObjID;
    DWORD dwHow;
};

struct DIACTIONFORMATW {
    DWORD dwSize;
    DWORD dwActionSize;
    DWORD dwDataSize;
    DWORD dwNumActions;
    DIACTIONW* rgoAction;
    GUID guidActionMap;
    DWORD dwGenre;
    DWORD dwBufferSize;
    LONG lAxisMin;
    LONG lAxisMax;
    HINSTANCE hInstString;
    FILETIME ftTimeStamp;
    DWORD dwCRC;
    WCHAR tszActionMap[MAX_PATH];
};

// The 20-byte buffered record: the application value is 32 bits wide, as the game's record size
// expects.
struct DIDEVICEOBJECTDATA {
    DWORD dwOfs;
    DWORD dwData;
    DWORD dwTimeStamp;
    DWORD dwSequence;
    DWORD uAppData;
};
static_assert(sizeof(DIDEVICEOBJECTDATA) == 20);

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};

struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};

struct DIDEVICEINSTANCEW {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    WCHAR tszInstanceName[MAX_PATH];
    WCHAR tszProductName[MAX_PATH];
};

struct IDirectInputDevice8W {
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header) = 0;
    virtual HRESULT BuildActionMap(DIACTIONFORMATW* format, LPCWSTR userName, DWORD flags) = 0;
    virtual HRESULT SetActionMap(DIACTIONFORMATW* format, LPCWSTR userName, DWORD flags) = 0;
    // Records the mapped keys that changed since the last poll.
    virtual HRESULT Poll() = 0;
    virtual HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* inOut, DWORD flags) = 0;
    // 256 bytes indexed by DIK code: 0x80 while the key is down.
    virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;

protected:
    ~IDirectInputDevice8W() = default;
};
using LPDIRECTINPUTDEVICE8W = IDirectInputDevice8W*;

using LPDIENUMDEVICESBYSEMANTICSCBW = BOOL (*)(const DIDEVICEINSTANCEW* instance, LPDIRECTINPUTDEVICE8W device,
                                               DWORD flags, DWORD remaining, LPVOID context);

struct IDirectInput8W {
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // The keyboard is offered when the format holds a keyboard semantic and force feedback
    // is not asked for. The device passed to the callback lives on only if it is AddRef'd.
    virtual HRESULT EnumDevicesBySemantics(LPCWSTR userName, DIACTIONFORMATW* format,
                                           LPDIENUMDEVICESBYSEMANTICSCBW callback, LPVOID context, DWORD flags) = 0;

protected:
    ~IDirectInput8W() = default;
};
using LPDIRECTINPUT8W = IDirectInput8W*;

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out, LPVOID outer);
