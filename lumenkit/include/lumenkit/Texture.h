// Textures by name: CTexture wraps one image file's device texture; CTextureManager keeps them
// in a handle table keyed by the upper-cased bare file name, with the null texture "Null.tga"
// handed out for every bad handle and for every texture that is not loaded (yet).
#pragma once

#include <lumenkit/GameObject.h>
#include <lumenkit/ResourceManager.h>

#include <helvane/Singleton.h>

#include <d3d9/D3DX9.h>

#include <atomic>
#include <mutex>
#include <string>

class CTexture : public CBaseDeviceObject {
public:
    CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;
    // Drops a pending load of this texture and releases the device texture.
    ~CTexture() override;

    // Managed textures survive a device reset.
    HRESULT Invalidate() override { return 0; }
    HRESULT Restore() override { return 0; }

    // Loads the file at the path as given, else through the data-folder index. 0 when loaded,
    // 1 when not (the texture then draws the null texture).
    virtual long CreateTextureFromFile(const wchar_t* path);
    // An empty texture of the device; its creation parameters are remembered.
    virtual int CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    // Its own device texture once loaded; otherwise the null texture's, and the first call
    // hands the file to the loader thread.
    virtual IDirect3DTexture9* GetTexture();
    virtual D3DXIMAGE_INFO* GetSrcImageInfo() { return &m_SrcInfo; }
    virtual D3DSURFACE_DESC* GetTextureDesc() { return &m_Desc; }

    // Makes the texture when *texture is null; loads now or at first use. Returns 1.
    static int LoadTexture(const wchar_t* path, CTexture** texture, int loadNow);
    static int LoadTextureDirect(const wchar_t* path, CTexture** texture);

    // Releases the device texture; the next GetTexture queues the file again.
    void ReleaseTexture();

    bool IsLoaded() const { return m_bLoaded.load(std::memory_order_acquire) != 0; }
    bool IsQueued() const { return m_bQueued.load() != 0; }
    const std::wstring& GetPath() const { return m_strPath; }

private:
    void ReleaseDeviceTexture();
    void CopyNullDescription();

    // Set only after the device texture and its description are stored.
    std::atomic<int> m_bLoaded{0};
    // Set by the one caller that hands the file to the loader thread; the main thread and the
    // scene loader thread both ask for textures, and a texture is queued at most once.
    std::atomic<int> m_bQueued{0};
    std::wstring m_strPath;
    int m_bCreated = 0;
    IDirect3DTexture9* m_pTexture = nullptr;
    D3DXIMAGE_INFO m_SrcInfo{};
    D3DSURFACE_DESC m_Desc{};
    UINT m_nCreateWidth = 0;
    UINT m_nCreateHeight = 0;
    UINT m_nCreateLevels = 0;
    DWORD m_dwCreateUsage = 0;
    D3DFORMAT m_CreateFormat = D3DFMT_UNKNOWN;
    D3DPOOL m_CreatePool = D3DPOOL_MANAGED;
    // Guards the device texture between the loader thread and the main thread.
    std::mutex m_TextureLock;
};

class CTextureManager : public CResourceStaticTemplateManager<CTexture, 100>, public singleton<CTextureManager> {
public:
    // Loads the null texture "Null.tga" from the data folder.
    CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;
    ~CTextureManager() override;

    // The handle of the named image (at most 254 characters reach the table); -1 when the data
    // folder has no such file. Asking again returns the same handle.
    static int GetTextureHandle(const char* name, int loadNow);
    static int GetTextureHandleByTCHAR(const wchar_t* name, int loadNow);

    // Unloads the texture of the handle; its slot and name stay, and it loads again at its
    // next use.
    void DeleteResource(int handle) override;
    virtual void Load(int) {}
    void Init() {}
    // Deletes every texture and the null texture.
    void Close();

    CTexture* GetNullTexture() const { return m_pNullTexture; }

private:
    CTexture* m_pNullTexture = nullptr;
};
