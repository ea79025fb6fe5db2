// The device object: creation, the device list, full-screen toggling and shut-down.
#include <lumenkit/Direct3DDevice.h>

#include <lumenkit/D3DFont.h>
#include <lumenkit/Drawers.h>
#include <lumenkit/Renderer.h>
#include <lumenkit/Texture.h>

#include <helvane/DXUtil.h>

#include <win32/User.h>

#include <algorithm>

DWORD g_dwDefaultWidth = 1024;
DWORD g_dwDefaultHeight = 768;

namespace {

constexpr DWORD kWindowedStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kHardwareMultithreaded = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;
constexpr DWORD kSoftwareMultithreaded = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;

bool Is16BitFormat(D3DFORMAT format)
{
    return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5;
}

// The distinct display modes of at least 640 x 400 in the desktop format, sorted by format
// (higher value first), then width and height ascending. Returns how many were kept.
int ListDesktopModes(IDirect3D9* d3d, UINT adapter, D3DFORMAT format, D3DModeInfo* out, int capacity)
{
    int count = 0;
    const UINT listed = d3d->GetAdapterModeCount(adapter, format);
    for (UINT i = 0; i < listed && count < capacity; ++i) {
        D3DDISPLAYMODE mode{};
        if (FAILED(d3d->EnumAdapterModes(adapter, format, i, &mode)) || mode.Width < 640 || mode.Height < 400)
            continue;
        const bool known = std::any_of(out, out + count, [&](const D3DModeInfo& m) {
            return m.Width == mode.Width && m.Height == mode.Height && m.Format == mode.Format;
        });
        if (!known)
            out[count++] = {mode.Width, mode.Height, mode.Format, 0, D3DFMT_UNKNOWN};
    }
    std::sort(out, out + count, [](const D3DModeInfo& a, const D3DModeInfo& b) {
        if (a.Format != b.Format)
            return a.Format > b.Format;
        if (a.Width != b.Width)
            return a.Width < b.Width;
        return a.Height < b.Height;
    });
    return count;
}

// The first 16-bit 640 x 480 mode, else the last 640 x 480 mode, else mode 0.
DWORD ChooseCurrentMode(const D3DDeviceEntry& device)
{
    DWORD current = 0;
    for (DWORD i = 0; i < device.dwNumModes; ++i) {
        const D3DModeInfo& mode = device.modes[i];
        if (mode.Width != 640 || mode.Height != 480)
            continue;
        current = i;
        if (Is16BitFormat(mode.Format))
            break;
    }
    return current;
}

} // namespace

CDirect3DDevice::CDirect3DDevice()
{
    g_dwDefaultWidth = 1024;
    g_dwDefaultHeight = 768;
}

void CDirect3DDevice::Init()
{
    m_hWnd = nullptr;
    m_d3dpp = {};
    m_FullScreenFormat = m_DesktopFormat = D3DFMT_UNKNOWN;
    m_dwFullScreenWidth = m_dwFullScreenHeight = 0;
    m_nWindowLeft = m_nWindowTop = 0;
    m_d3dCaps = {};
    m_bUseDepthBuffer = 1;
    m_dwMinDepthBits = 16;
    m_dwMinStencilBits = 0;
    m_bDestroyWindow = 0;
    m_nClientWidth = m_nClientHeight = 0;
    m_dwVSVersion = m_dwPSVersion = 0;
    m_pD3D = nullptr;
    m_pd3dDevice = nullptr;
    m_pSprite = nullptr;
    m_dwAdapter = m_dwNumAdapters = 0;
}

int CDirect3DDevice::Create(HWND hwnd, int windowed, int width, int height)
{
    if (!m_pD3D)
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D)
        return 0;
    BuildDeviceList();

    RECT client{};
    GetClientRect(hwnd, &client);
    m_nClientWidth = client.right - client.left;
    m_nClientHeight = client.bottom - client.top;
    const bool useDefault = width == -1 || height == -1;
    m_dwFullScreenWidth = useDefault ? g_dwDefaultWidth : static_cast<DWORD>(width);
    m_dwFullScreenHeight = useDefault ? g_dwDefaultHeight : static_cast<DWORD>(height);

    FillPresentParameters(hwnd, windowed);

    if (FAILED(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, kHardwareMultithreaded, &m_d3dpp, &m_pd3dDevice)) &&
        FAILED(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, kSoftwareMultithreaded, &m_d3dpp, &m_pd3dDevice))) {
        m_pd3dDevice = nullptr;
        return 0;
    }
    m_pD3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &m_d3dCaps);
    ChangeDefaultRenderer();
    m_hWnd = hwnd;
    if (FAILED(D3DXCreateSprite(m_pd3dDevice, &m_pSprite)))
        m_pSprite = nullptr;
    CRenderer::m_SprDevice = m_pSprite;
    DXUtil_Timer(TIMER_START);
    g_pRenderer->InitRenderState();
    return 1;
}

void CDirect3DDevice::FillPresentParameters(HWND hwnd, int windowed)
{
    m_d3dpp = {};
    if (windowed == 1) {
        D3DDISPLAYMODE desktop{};
        m_pD3D->GetAdapterDisplayMode(0, &desktop);
        m_d3dpp.Windowed = TRUE;
        m_d3dpp.SwapEffect = D3DSWAPEFFECT_COPY;
        m_d3dpp.BackBufferWidth = static_cast<UINT>(m_nClientWidth);
        m_d3dpp.BackBufferHeight = static_cast<UINT>(m_nClientHeight);
        m_d3dpp.BackBufferFormat = desktop.Format;
        m_DesktopFormat = desktop.Format;
    } else {
        m_d3dpp.Windowed = FALSE;
        m_d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        m_d3dpp.BackBufferWidth = m_dwFullScreenWidth;
        m_d3dpp.BackBufferHeight = m_dwFullScreenHeight;
        m_d3dpp.BackBufferFormat = D3DFMT_A8R8G8B8;
    }
    m_d3dpp.BackBufferCount = 1;
    m_d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_d3dpp.EnableAutoDepthStencil = TRUE;
    m_d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
    m_d3dpp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    m_d3dpp.FullScreen_RefreshRateInHz = 0;
    m_d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    m_d3dpp.hDeviceWindow = hwnd;
    m_FullScreenFormat = m_d3dpp.BackBufferFormat;
}

void CDirect3DDevice::ToggleFullScreen()
{
    m_d3dpp.hDeviceWindow = m_hWnd;
    m_d3dpp.Windowed = !m_d3dpp.Windowed;
    if (m_d3dpp.Windowed) {
        D3DDISPLAYMODE desktop{};
        if (m_pD3D)
            m_pD3D->GetAdapterDisplayMode(0, &desktop);
        m_d3dpp.SwapEffect = D3DSWAPEFFECT_COPY;
        m_d3dpp.BackBufferWidth = static_cast<UINT>(m_nClientWidth);
        m_d3dpp.BackBufferHeight = static_cast<UINT>(m_nClientHeight);
        m_d3dpp.BackBufferFormat = desktop.Format == D3DFMT_X8R8G8B8 ? D3DFMT_A8R8G8B8 : m_DesktopFormat;
    } else {
        RECT outer{};
        GetWindowRect(m_hWnd, &outer);
        m_nWindowLeft = outer.left;
        m_nWindowTop = outer.top;
        m_d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        m_d3dpp.BackBufferWidth = m_dwFullScreenWidth;
        m_d3dpp.BackBufferHeight = m_dwFullScreenHeight;
        m_d3dpp.BackBufferFormat = D3DFMT_A8R8G8B8;
    }
    if (g_pRenderer)
        g_pRenderer->Resize3DEnvironment();
    PlaceWindowForMode();
}

void CDirect3DDevice::PlaceWindowForMode()
{
    if (m_d3dpp.Windowed) {
        SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(kWindowedStyle));
        RECT rect{m_nWindowLeft, m_nWindowTop, m_nWindowLeft + 1024, m_nWindowTop + 768};
        AdjustWindowRect(&rect, kWindowedStyle, FALSE);
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, m_nWindowLeft, m_nWindowTop, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_SHOWWINDOW);
    } else {
        RECT rect{0, 0, 1024, 768};
        AdjustWindowRect(&rect, kFullScreenStyle, FALSE);
        SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(kFullScreenStyle));
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, rect.right - rect.left, rect.bottom - rect.top, SWP_SHOWWINDOW);
    }
    ShowWindow(m_hWnd, SW_SHOW);
}

void CDirect3DDevice::Close()
{
    DeleteGlobalVariable();
    if (g_pRenderer) {
        g_pRenderer->Close();
        delete g_pRenderer;
        g_pRenderer = nullptr;
    }
    CRenderer::m_SprDevice = nullptr;
    ReleaseAndClear(m_pSprite);
    ReleaseAndClear(m_pd3dDevice);
    ReleaseAndClear(m_pD3D);
}

void CDirect3DDevice::DeleteGlobalVariable()
{
    if (CTextureManager* textures = singleton<CTextureManager>::GetSingletonPtr())
        textures->Close();
    singleton<CLineDrawer>::GetSingleton().Close();
    singleton<LineDrawer2D>::GetSingleton().Close();
    singleton<TextureDrawer2D>::GetSingleton().Close();
    singleton<PolygonDrawer2D>::GetSingleton().Close();
    singleton<CD3DFont>::GetSingleton().Close();
}

void CDirect3DDevice::ChangeDefaultRenderer()
{
    delete g_pRenderer;
    g_pRenderer = new CRenderer();
    g_pRenderer->SetViewTarget();
}

// ---- device list ----------------------------------------------------------------------------

HRESULT CDirect3DDevice::BuildDeviceList()
{
    m_dwNumAdapters = 0;
    const UINT adapters = m_pD3D ? m_pD3D->GetAdapterCount() : 0;
    for (UINT adapter = 0; adapter < adapters && m_dwNumAdapters < kMaxAdapters; ++adapter)
        ListAdapter(adapter);
    if (m_dwNumAdapters == 0)
        return kNoCompatibleDevices;
    m_dwAdapter = 0;
    m_Adapters[0].dwCurrentDevice = 0;
    if (m_Adapters[0].devices[0].DeviceType == D3DDEVTYPE_REF)
        MessageBoxW(m_hWnd, L"디바이스가 REF로 작동 합니다. 심각하게 느릴수 있습니다.", L"경고", MB_OK);
    return S_OK;
}

void CDirect3DDevice::ListAdapter(UINT adapter)
{
    D3DAdapterEntry& entry = m_Adapters[m_dwNumAdapters];
    entry = {};
    m_pD3D->GetAdapterIdentifier(adapter, D3DENUM_WHQL_LEVEL, &entry.d3dAdapterIdentifier);
    m_pD3D->GetAdapterDisplayMode(adapter, &entry.d3ddmDesktop);

    D3DModeInfo modes[kMaxDistinctModes];
    const int modeCount = ListDesktopModes(m_pD3D, adapter, entry.d3ddmDesktop.Format, modes, kMaxDistinctModes);
    for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF}) {
        if (entry.dwNumDevices < D3DAdapterEntry::kMaxDevices && ListDeviceType(entry, adapter, type, modes, modeCount))
            ++entry.dwNumDevices;
    }
    if (entry.dwNumDevices > 0)
        ++m_dwNumAdapters;
}

bool CDirect3DDevice::ListDeviceType(D3DAdapterEntry& entry, UINT adapter, D3DDEVTYPE type, const D3DModeInfo* modes,
                                     int modeCount)
{
    D3DDeviceEntry& device = entry.devices[entry.dwNumDevices];
    device = {};
    device.DeviceType = type;
    m_pD3D->GetDeviceCaps(adapter, type, &device.d3dCaps);
    device.strDesc = type == D3DDEVTYPE_HAL ? L"HAL" : L"REF";
    device.bSelectable = TRUE;

    const D3DFORMAT format = entry.d3ddmDesktop.Format;
    if (FAILED(m_pD3D->CheckDeviceType(adapter, type, format, format, FALSE)))
        return false;
    DWORD behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (device.d3dCaps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        if (SUCCEEDED(ConfirmDevice(&device.d3dCaps, D3DCREATE_HARDWARE_VERTEXPROCESSING, format)))
            behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING;
        else if (SUCCEEDED(ConfirmDevice(&device.d3dCaps, D3DCREATE_MIXED_VERTEXPROCESSING, format)))
            behavior = D3DCREATE_MIXED_VERTEXPROCESSING;
    }
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    if (m_bUseDepthBuffer && !FindDepthStencilFormat(adapter, type, format, &depth))
        return false;

    for (int i = 0; i < modeCount && device.dwNumModes < D3DDeviceEntry::kMaxModes; ++i) {
        if (modes[i].Format == format)
            device.modes[device.dwNumModes++] = {modes[i].Width, modes[i].Height, format, behavior, depth};
    }
    device.dwCurrentMode = ChooseCurrentMode(device);
    device.bCanDoWindowed = TRUE;
    return device.dwNumModes > 0;
}

HRESULT CDirect3DDevice::ConfirmDevice(D3DCAPS9* caps, DWORD behavior, D3DFORMAT)
{
    if (behavior & D3DCREATE_PUREDEVICE)
        return E_FAIL;
    if ((behavior & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING)) &&
        caps->MaxUserClipPlanes < 4)
        return E_FAIL;
    return S_OK;
}

int CDirect3DDevice::FindDepthStencilFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT* out)
{
    struct Candidate {
        D3DFORMAT format;
        DWORD depthBits;
        DWORD stencilBits;
    };
    static constexpr Candidate kCandidates[] = {{D3DFMT_D16, 16, 0},   {D3DFMT_D15S1, 15, 1},  {D3DFMT_D24X8, 24, 0},
                                                {D3DFMT_D24S8, 24, 8}, {D3DFMT_D24X4S4, 24, 4}, {D3DFMT_D32, 32, 0}};
    for (const Candidate& c : kCandidates) {
        // A format with stencil bits serves a request for none only when it has none itself.
        const bool stencilFits = c.stencilBits == 0 ? m_dwMinStencilBits == 0 : m_dwMinStencilBits <= c.stencilBits;
        if (m_dwMinDepthBits > c.depthBits || !stencilFits)
            continue;
        if (SUCCEEDED(m_pD3D->CheckDeviceFormat(adapter, type, adapterFormat, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                                c.format)) &&
            SUCCEEDED(m_pD3D->CheckDepthStencilMatch(adapter, type, adapterFormat, adapterFormat, c.format))) {
            *out = c.format;
            return 1;
        }
    }
    return 0;
}

int CDirect3DDevice::BuildDeviceListNoCreate()
{
    if (!m_pD3D)
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D)
        return 1;
    if (FAILED(BuildDeviceList())) {
        ReleaseAndClear(m_pD3D);
        return 1;
    }
    return 0;
}

void CDirect3DDevice::ChangeFullScreenMode(int mode)
{
    D3DAdapterEntry& adapter = m_Adapters[m_dwAdapter];
    adapter.devices[adapter.dwCurrentDevice].dwCurrentMode = static_cast<DWORD>(mode);
    if (!m_d3dpp.Windowed)
        m_d3dpp.Windowed = TRUE;
    ToggleFullScreen();
}

D3DModeInfo* CDirect3DDevice::GetCurrentScreenModeInfo()
{
    D3DAdapterEntry& adapter = m_Adapters[m_dwAdapter];
    D3DDeviceEntry& device = adapter.devices[adapter.dwCurrentDevice];
    return &device.modes[device.dwCurrentMode];
}

int CDirect3DDevice::GetWidth() const
{
    return m_d3dpp.Windowed ? m_nClientWidth : static_cast<int>(m_dwFullScreenWidth);
}

int CDirect3DDevice::GetHeight() const
{
    return m_d3dpp.Windowed ? m_nClientHeight : static_cast<int>(m_dwFullScreenHeight);
}

D3DFORMAT CDirect3DDevice::GetFormat() const
{
    return m_d3dpp.Windowed ? m_d3dpp.BackBufferFormat : m_FullScreenFormat;
}

// ---- transforms -----------------------------------------------------------------------------

HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    IDirect3DDevice9* device = singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
    return device ? device->SetTransform(state, matrix) : D3DERR_INVALIDCALL;
}

HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    IDirect3DDevice9* device = singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
    return device ? device->GetTransform(state, matrix) : D3DERR_INVALIDCALL;
}

HRESULT GetSpriteTransform(D3DXMATRIX* matrix)
{
    ID3DXSprite* sprite = singleton<CDirect3DDevice>::GetSingleton().m_pSprite;
    return sprite ? sprite->GetTransform(matrix) : D3DERR_INVALIDCALL;
}

HRESULT SetSpriteTransform(const D3DXMATRIX* matrix)
{
    ID3DXSprite* sprite = singleton<CDirect3DDevice>::GetSingleton().m_pSprite;
    return sprite ? sprite->SetTransform(matrix) : D3DERR_INVALIDCALL;
}
