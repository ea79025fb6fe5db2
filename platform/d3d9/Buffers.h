// Vertex and index buffers: plain memory, drawn from client-side arrays.
// Locks may nest (each Lock needs its Unlock); a range outside the buffer fails.
#pragma once

#include "RefCounted.h"
#include "RenderContext.h"

#include <d3d9/D3D9.h>

#include <vector>

namespace platform::d3d9 {

class BufferMemory {
public:
    BufferMemory(UINT length) : m_bytes(length, 0) {}
    HRESULT Lock(UINT offset, UINT size, void** data);
    HRESULT Unlock();
    const uint8_t* Data() const { return m_bytes.data(); }
    UINT Length() const { return static_cast<UINT>(m_bytes.size()); }

private:
    std::vector<uint8_t> m_bytes;
    int m_locks = 0;
};

class VertexBuffer final : public RefCounted<IDirect3DVertexBuffer9> {
public:
    VertexBuffer(const RenderContextPtr& context, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD /*flags*/) override
    {
        return m_memory.Lock(offset, size, data);
    }
    HRESULT Unlock() override { return m_memory.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    const BufferMemory& Memory() const { return m_memory; }

private:
    ~VertexBuffer() override;
    RenderContextPtr m_context;
    BufferMemory m_memory;
    DWORD m_usage, m_fvf;
    D3DPOOL m_pool;
};

class IndexBuffer final : public RefCounted<IDirect3DIndexBuffer9> {
public:
    IndexBuffer(const RenderContextPtr& context, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD /*flags*/) override
    {
        return m_memory.Lock(offset, size, data);
    }
    HRESULT Unlock() override { return m_memory.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    const BufferMemory& Memory() const { return m_memory; }
    D3DFORMAT Format() const { return m_format; }

private:
    ~IndexBuffer() override;
    RenderContextPtr m_context;
    BufferMemory m_memory;
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
};

} // namespace platform::d3d9
