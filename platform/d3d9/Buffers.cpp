// Vertex and index buffers in memory.
#include "Buffers.h"

#include "Log.h"

namespace platform::d3d9 {

HRESULT BufferMemory::Lock(UINT offset, UINT size, void** data)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (size == 0 && offset == 0)
        size = Length();
    if (offset > Length() || size > Length() - offset) {
        LogLine("Lock: bytes %u..%u lie outside a buffer of %u bytes", offset, offset + size, Length());
        return D3DERR_INVALIDCALL;
    }
    ++m_locks;
    *data = m_bytes.data() + offset;
    return D3D_OK;
}

HRESULT BufferMemory::Unlock()
{
    if (m_locks == 0)
        return D3DERR_INVALIDCALL;
    --m_locks;
    return D3D_OK;
}

VertexBuffer::VertexBuffer(const RenderContextPtr& context, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : m_context(context), m_memory(length), m_usage(usage), m_fvf(fvf), m_pool(pool)
{
    if (pool == D3DPOOL_DEFAULT)
        ++m_context->defaultPoolResources;
}

VertexBuffer::~VertexBuffer()
{
    if (m_pool == D3DPOOL_DEFAULT)
        --m_context->defaultPoolResources;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, m_usage, m_pool, m_memory.Length(), m_fvf};
    return D3D_OK;
}

IndexBuffer::IndexBuffer(const RenderContextPtr& context, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_context(context), m_memory(length), m_usage(usage), m_format(format), m_pool(pool)
{
    if (pool == D3DPOOL_DEFAULT)
        ++m_context->defaultPoolResources;
}

IndexBuffer::~IndexBuffer()
{
    if (m_pool == D3DPOOL_DEFAULT)
        --m_context->defaultPoolResources;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {m_format, D3DRTYPE_INDEXBUFFER, m_usage, m_pool, m_memory.Length()};
    return D3D_OK;
}

} // namespace platform::d3d9
