// Textures and the texture manager: loading by bare name through the data-folder index, the
// null texture, and loads deferred to the loader thread.
#include <lumenkit/Texture.h>

#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/TextureLoader.h>

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>

#include <cwchar>

namespace {

constexpr size_t kNameChars = 512;
// An image opened by the path given: 5 mip levels; opaque pure blue becomes transparent.
constexpr UINT kDirectMipLevels = 5;
constexpr D3DCOLOR kDirectColorKey = 0xFF0000FF;
// An image found through the data-folder index: a full mip chain and a key no opaque pixel has.
constexpr UINT kIndexMipLevels = 0;
constexpr D3DCOLOR kIndexColorKey = 0x00FF00FF;

IDirect3DDevice9* Device()
{
    return singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
}

const wchar_t* FindInDataFolder(const wchar_t* name)
{
    return singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(name, kResourceTexture);
}

HRESULT LoadImageFile(const wchar_t* path, UINT mipLevels, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                      IDirect3DTexture9** texture)
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return D3DERR_INVALIDCALL;
    return D3DXCreateTextureFromFileExW(device, path, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, mipLevels, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, colorKey,
                                        info, nullptr, texture);
}

CTexture* NullTexture()
{
    CTextureManager* manager = singleton<CTextureManager>::GetSingletonPtr();
    return manager ? manager->GetNullTexture() : nullptr;
}

} // namespace

// ---- CTexture -------------------------------------------------------------------------------

CTexture::CTexture()
{
    AddRTTI(L" | CTexture");
}

CTexture::~CTexture()
{
    singleton<TextureLoader>::GetSingleton().RemoveLoadTexture(this);
    ReleaseDeviceTexture();
}

void CTexture::ReleaseDeviceTexture()
{
    std::lock_guard guard(m_TextureLock);
    m_bLoaded.store(0, std::memory_order_release);
    ReleaseAndClear(m_pTexture);
}

void CTexture::CopyNullDescription()
{
    CTexture* null = NullTexture();
    if (null && null != this)
        m_Desc = *null->GetTextureDesc();
}

long CTexture::CreateTextureFromFile(const wchar_t* path)
{
    if (!path)
        return 1;
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(LoadImageFile(path, kDirectMipLevels, kDirectColorKey, &info, &texture))) {
        texture = nullptr;
        const wchar_t* found = FindInDataFolder(path);
        if (!found || FAILED(LoadImageFile(found, kIndexMipLevels, kIndexColorKey, &info, &texture))) {
            // Drawn as the null texture, which also gives the size callers see.
            CopyNullDescription();
            return 1;
        }
    }
    std::lock_guard guard(m_TextureLock);
    // A second load of the same texture replaces the first without leaking it.
    if (m_pTexture)
        m_pTexture->Release();
    m_pTexture = texture;
    m_SrcInfo = info;
    texture->GetLevelDesc(0, &m_Desc);
    m_bLoaded.store(1, std::memory_order_release);
    return 0;
}

int CTexture::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
{
    m_nCreateWidth = width;
    m_nCreateHeight = height;
    m_nCreateLevels = levels;
    m_dwCreateUsage = usage;
    m_CreateFormat = format;
    m_CreatePool = pool;
    m_bCreated = 1;
    IDirect3DDevice9* device = Device();
    IDirect3DTexture9* texture = nullptr;
    if (!device || FAILED(device->CreateTexture(width, height, levels, usage, format, pool, &texture, nullptr))) {
        // Nothing to load from a file: the texture stays empty and is never queued.
        m_bQueued = 1;
        return -1;
    }
    {
        std::lock_guard guard(m_TextureLock);
        if (m_pTexture)
            m_pTexture->Release();
        m_pTexture = texture;
        texture->GetLevelDesc(0, &m_Desc);
        m_bLoaded.store(1, std::memory_order_release);
    }
    CTextureManager& manager = singleton<CTextureManager>::GetSingleton();
    return manager.AddResource(this, L"");
}

IDirect3DTexture9* CTexture::GetTexture()
{
    if (IsLoaded())
        return m_pTexture;
    CTexture* null = NullTexture();
    // The null texture never queues itself: it is what everything else falls back to.
    if (!null || null == this)
        return nullptr;
    if (!m_bCreated && m_bQueued.exchange(1) == 0)
        singleton<TextureLoader>::GetSingleton().AddLoadTexture(this, m_strPath.c_str());
    return null->IsLoaded() ? null->m_pTexture : nullptr;
}

void CTexture::ReleaseTexture()
{
    // Waits for a running load of this texture and drops a pending one, so no load lands
    // after the release.
    singleton<TextureLoader>::GetSingleton().RemoveLoadTexture(this);
    ReleaseDeviceTexture();
    m_bQueued = 0;
}

int CTexture::LoadTexture(const wchar_t* path, CTexture** texture, int loadNow)
{
    if (!*texture)
        *texture = new CTexture();
    if (loadNow)
        (*texture)->CreateTextureFromFile(path);
    (*texture)->m_bCreated = 0;
    (*texture)->m_strPath = path ? path : L"";
    return 1;
}

int CTexture::LoadTextureDirect(const wchar_t* path, CTexture** texture)
{
    return LoadTexture(path, texture, 1);
}

// ---- CTextureManager ------------------------------------------------------------------------

CTextureManager::CTextureManager()
{
    const wchar_t* path = FindInDataFolder(L"Null.tga");
    if (!path)
        DFLog(LOG_ERROR, L"CTextureManager: the data folder has no Null.tga; bad handles draw no texture");
    CTexture::LoadTextureDirect(path ? path : L"Null.tga", &m_pNullTexture);
    AddNullResource(m_pNullTexture);
}

CTextureManager::~CTextureManager()
{
    Close();
}

int CTextureManager::GetTextureHandle(const char* name, int loadNow)
{
    if (!name)
        return -1;
    wchar_t wide[255] = {};
    DXUtil_ConvertAnsiStringToGeneric(wide, name, 255);
    return GetTextureHandleByTCHAR(wide, loadNow);
}

int CTextureManager::GetTextureHandleByTCHAR(const wchar_t* name, int loadNow)
{
    if (!name)
        return -1;
    std::wstring key(name, wcsnlen(name, kNameChars - 1));
    key = lumenkit::ResourceKey(key.c_str());

    CTextureManager& manager = GetSingleton();
    std::lock_guard guard(manager.GetLock());
    int slot = manager.GetResourceHandle(key.c_str());
    if (slot >= 0) {
        if (!manager.GetResourceList()[slot]) {
            CTexture* texture = nullptr;
            CTexture::LoadTexture(key.c_str(), &texture, loadNow);
            manager.AddResource(texture, slot);
        }
    } else {
        if (!FindInDataFolder(key.c_str()))
            return -1;
        CTexture* texture = nullptr;
        CTexture::LoadTexture(key.c_str(), &texture, loadNow);
        slot = manager.AddResource(texture, key.c_str());
    }
    manager.GetResourceList()[slot]->AddRef();
    return slot;
}

void CTextureManager::DeleteResource(int handle)
{
    std::lock_guard guard(GetLock());
    if (handle < 0 || handle >= GetSize())
        return;
    if (CTexture* texture = GetResourceList()[handle])
        texture->ReleaseTexture();
}

void CTextureManager::Close()
{
    DeleteAll();
    AddNullResource(nullptr);
    delete m_pNullTexture;
    m_pNullTexture = nullptr;
}
