// The frame renderer: opens and ends the device scene of each frame behind the Begin/End gate,
// resets a lost device (invalidating and restoring the registered device objects around the
// reset), queues the frame's sprites and draws them in one sprite pass, and locks and flushes
// the batched drawers' buffers around the scene.
#pragma once

#include <d3d9/D3DX9.h>

#include <list>
#include <vector>

// Base of every object whose device resources must be released before a device reset and
// rebuilt after it. Derived objects register themselves with CRenderer::AddDeviceObject.
class DeviceObject {
public:
    virtual void Invalidate() {}
    virtual void Restore() {}

protected:
    ~DeviceObject() = default;
};

// One queued sprite.
struct stSpriteObject {
    static constexpr DWORD kHasRect = 1;
    static constexpr DWORD kHasCenter = 2;
    static constexpr DWORD kHasPosition = 4;
    static constexpr DWORD kHasTransform = 8;

    IDirect3DTexture9* pTexture;
    RECT rcSrc;
    D3DXVECTOR3 vCenter;
    D3DXVECTOR3 vPosition;
    D3DCOLOR color;
    D3DXMATRIX matTransform;
    DWORD dwFlags;
};

class CViewTexture;

class CRenderer {
public:
    CRenderer() = default;
    // The renderer owns its scene target and sprite records: it is never copied.
    CRenderer(const CRenderer&) = delete;
    CRenderer& operator=(const CRenderer&) = delete;
    virtual ~CRenderer();

    // Opens the frame gate unless the game is closing.
    static void Begin();
    // Closes the frame gate unless the game is closing.
    static void End();

    // Forgets the scene target and state block without releasing them; empties the queue.
    virtual void Init();
    // Releases the state block and deletes the scene target.
    virtual void Close();
    // 1 when the scene is open and the frame may be drawn: the gate is open, the game is not
    // closing, the device is not lost (a resettable device is reset, and that frame skipped)
    // and the scene target began. Locks the drawers' buffers.
    virtual int BeginScene(D3DCOLOR clearColor);
    // Unlocks and flushes the drawers, ends the scene and presents.
    virtual void EndScene();
    // Draws one record through the shared sprite (used by FlushSprite).
    virtual void DrawSprite(stSpriteObject* sprite);
    // Queues a sprite; every pointer may be null.
    virtual void DrawSprite(IDirect3DTexture9* texture, RECT* srcRect, D3DXVECTOR3* center, D3DXVECTOR3* position,
                            D3DCOLOR color, D3DXMATRIX* transform);
    virtual void DrawSortSprite(IDirect3DTexture9* texture, RECT* srcRect, D3DXVECTOR3* center, D3DXVECTOR3* position,
                                D3DCOLOR color, D3DXMATRIX* transform);
    // Draws the queued sprites in queue order in one sprite pass and empties the queue.
    virtual void FlushSprite();
    // Frees the pooled records; the queue must be empty.
    virtual void ClearSprite();
    // Makes a wrapper of the device's render target and depth surface the scene target.
    virtual void SetViewTarget();
    virtual void Invalidate();
    virtual void Restore();

    // Invalidate, reset the device with the kept present parameters, Restore.
    void Resize3DEnvironment();
    // Records the default state block (viewport with MinZ 0.1) once.
    void InitRenderState();
    void RestoreDefaultStateBlock();

    // Registers a device object once; DeleteDeviceObject removes the first entry equal to it.
    void AddDeviceObject(DeviceObject* object);
    void DeleteDeviceObject(DeviceObject* object);

    CViewTexture* GetViewTexture() const { return m_pViewTexture; }
    // Stores the pointer; the previous target is not deleted.
    void SetViewTexture(CViewTexture* target) { m_pViewTexture = target; }
    int GetQueuedSpriteCount() const { return m_nUsedSprite; }
    int GetPooledSpriteCount() const { return static_cast<int>(m_SpritePool.size()); }
    const std::list<DeviceObject*>& GetDeviceObjects() const { return m_DeviceObjects; }

    static int m_bBeginRenderer;
    static ID3DXSprite* m_SprDevice;

private:
    void LockDrawers();
    void UnlockDrawers();
    void FlushDrawers();

    CViewTexture* m_pViewTexture = nullptr;
    IDirect3DStateBlock9* m_pDefaultStateBlock = nullptr;
    std::vector<stSpriteObject*> m_SpritePool;
    int m_nUsedSprite = 0;
    std::list<DeviceObject*> m_DeviceObjects;

    // The sprite transform in force when the flush began, and whether it is set right now.
    D3DXMATRIX m_matFlushTransform;
    bool m_bFlushTransformInForce = false;
};

extern CRenderer* g_pRenderer;
