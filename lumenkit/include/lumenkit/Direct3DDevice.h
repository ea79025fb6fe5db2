// The Direct3D 9 device of the game: the Direct3D object, the one device on adapter 0, the
// shared sprite, the window it presents into and the present parameters kept for every reset.
// Creating the device also creates the frame renderer (g_pRenderer). At creation the adapters,
// their display modes and device types are listed into fixed tables (the device list).
#pragma once

#include <helvane/Singleton.h>

#include <d3d9/D3DX9.h>

// One display mode a device entry can run in.
struct D3DModeInfo {
    UINT Width;
    UINT Height;
    D3DFORMAT Format;
    DWORD dwBehavior;               // D3DCREATE_* vertex-processing flags to create with
    D3DFORMAT DepthStencilFormat;
};

// One device type (hardware or reference) of an adapter with the modes it can use.
struct D3DDeviceEntry {
    static constexpr int kMaxModes = 150;

    D3DDEVTYPE DeviceType;
    D3DCAPS9 d3dCaps;
    const wchar_t* strDesc;          // "HAL" or "REF"
    BOOL bCanDoWindowed;
    DWORD dwNumModes;
    D3DModeInfo modes[kMaxModes];
    DWORD dwCurrentMode;
    BOOL bSelectable;
};

// One adapter that has at least one usable device type.
struct D3DAdapterEntry {
    static constexpr int kMaxDevices = 5;

    D3DADAPTER_IDENTIFIER9 d3dAdapterIdentifier;
    D3DDISPLAYMODE d3ddmDesktop;
    DWORD dwNumDevices;
    D3DDeviceEntry devices[kMaxDevices];
    DWORD dwCurrentDevice;
};

// The screen size used when Create is given -1 (and by full screen).
extern DWORD g_dwDefaultWidth;
extern DWORD g_dwDefaultHeight;

class CDirect3DDevice : public singleton<CDirect3DDevice> {
public:
    static constexpr int kMaxAdapters = 10;
    static constexpr int kMaxDistinctModes = 100;
    // What BuildDeviceList returns when no adapter has a usable device type.
    static constexpr HRESULT kNoCompatibleDevices = MakeHResult(0x82000003u);

    CDirect3DDevice();
    CDirect3DDevice(const CDirect3DDevice&) = default;
    CDirect3DDevice& operator=(const CDirect3DDevice&) = default;
    ~CDirect3DDevice() = default;

    // Creates the Direct3D object, the device, the renderer and the sprite on the window.
    // windowed 1: the back buffer is the window's client size; otherwise width x height
    // (1024 x 768 when either is -1). 1 on success, 0 when no device could be created.
    int Create(HWND hwnd, int windowed, int width, int height);
    // Switches between windowed and full screen, resetting the device.
    void ToggleFullScreen();
    // Releases the global device resources, the renderer, the sprite, the device and the
    // Direct3D object.
    void Close();

    // Releases what depends on the device outside the renderer: textures, drawer buffers, fonts.
    void DeleteGlobalVariable();
    void CreateGlobalVariable() {}
    void SaveDeviceSettings() {}
    // Replaces the renderer in g_pRenderer by a new one wrapping the current render target.
    void ChangeDefaultRenderer();
    HRESULT BuildDeviceList();
    HRESULT ConfirmDevice(D3DCAPS9* caps, DWORD behavior, D3DFORMAT format);
    int FindDepthStencilFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT* out);

    // Puts the fields back to their constructed values.
    void Init();
    // Creates the Direct3D object and lists the devices without creating one: 0 on success.
    int BuildDeviceListNoCreate();
    // Makes `mode` the current mode of the current device entry and goes full screen.
    void ChangeFullScreenMode(int mode);
    D3DModeInfo* GetCurrentScreenModeInfo();

    HWND GetHwnd() const { return m_hWnd; }
    // Windowed: the client size at Create; full screen: the full-screen size.
    int GetWidth() const;
    int GetHeight() const;
    D3DFORMAT GetFormat() const;
    DWORD VSVersion() const { return m_dwVSVersion; }
    DWORD PSVersion() const { return m_dwPSVersion; }
    void SetDestroyWindowFlag(int flag) { m_bDestroyWindow = flag; }
    int GetDestroyWindowFlag() const { return m_bDestroyWindow; }
    D3DPRESENT_PARAMETERS& GetD3DStatus() { return m_d3dpp; }
    ID3DXSprite* GetSprite() const { return m_pSprite; }
    DWORD GetAdapterCount() const { return m_dwNumAdapters; }
    const D3DAdapterEntry& GetAdapter(int index) const { return m_Adapters[index]; }

    // Read directly by the game program.
    HWND m_hWnd = nullptr;
    D3DPRESENT_PARAMETERS m_d3dpp{};

private:
    void FillPresentParameters(HWND hwnd, int windowed);
    void ListAdapter(UINT adapter);
    bool ListDeviceType(D3DAdapterEntry& entry, UINT adapter, D3DDEVTYPE type, const D3DModeInfo* modes, int modeCount);
    void PlaceWindowForMode();

public:
    D3DFORMAT m_FullScreenFormat = D3DFMT_UNKNOWN;
    D3DFORMAT m_DesktopFormat = D3DFMT_UNKNOWN;
    DWORD m_dwFullScreenWidth = 0;
    DWORD m_dwFullScreenHeight = 0;
    int m_nWindowLeft = 0;
    int m_nWindowTop = 0;
    D3DCAPS9 m_d3dCaps{};
    int m_bUseDepthBuffer = 1;
    DWORD m_dwMinDepthBits = 16;
    DWORD m_dwMinStencilBits = 0;
    // Set by the game program when it quits; while set nothing is drawn.
    int m_bDestroyWindow = 0;
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    DWORD m_dwVSVersion = 0;
    DWORD m_dwPSVersion = 0;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pd3dDevice = nullptr;
    ID3DXSprite* m_pSprite = nullptr;
    D3DAdapterEntry m_Adapters[kMaxAdapters]{};
    DWORD m_dwAdapter = 0;
    DWORD m_dwNumAdapters = 0;
};

// Transforms of the device and of the shared sprite.
HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix);
HRESULT GetSpriteTransform(D3DXMATRIX* matrix);
HRESULT SetSpriteTransform(const D3DXMATRIX* matrix);
