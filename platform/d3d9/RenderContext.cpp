// Deferred deletion of OpenGL names released away from the render thread.
#include "RenderContext.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

namespace platform::d3d9 {

void RenderContext::DeleteTexture(unsigned name) { Delete(Kind::Texture, name); }
void RenderContext::DeleteFramebuffer(unsigned name) { Delete(Kind::Framebuffer, name); }
void RenderContext::DeleteRenderbuffer(unsigned name) { Delete(Kind::Renderbuffer, name); }

void RenderContext::Delete(Kind kind, unsigned name)
{
    if (name == 0)
        return;
    std::lock_guard guard(m_lock);
    if (m_closed)
        return;
    if (OnRenderThread())
        DeleteNow(kind, name);
    else
        m_garbage.emplace_back(kind, name);
}

void RenderContext::DeleteNow(Kind kind, unsigned name)
{
    GLuint glName = name;
    switch (kind) {
    case Kind::Texture:
        glDeleteTextures(1, &glName);
        break;
    case Kind::Framebuffer:
        glDeleteFramebuffers(1, &glName);
        break;
    case Kind::Renderbuffer:
        glDeleteRenderbuffers(1, &glName);
        break;
    }
}

void RenderContext::CollectGarbage()
{
    std::vector<std::pair<Kind, unsigned>> garbage;
    {
        std::lock_guard guard(m_lock);
        garbage.swap(m_garbage);
    }
    for (auto& [kind, name] : garbage)
        DeleteNow(kind, name);
}

void RenderContext::Close()
{
    std::lock_guard guard(m_lock);
    m_closed = true;
    m_garbage.clear();
}

} // namespace platform::d3d9
