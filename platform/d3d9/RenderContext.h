// What the device's resources share with it: the thread that owns the OpenGL context, and the
// OpenGL names released on other threads, deleted later on the render thread.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::d3d9 {

class RenderContext {
public:
    RenderContext() : m_renderThread(std::this_thread::get_id()) {}

    bool OnRenderThread() const { return std::this_thread::get_id() == m_renderThread; }

    // Deletes now on the render thread; from another thread, at the render thread's next frame.
    void DeleteTexture(unsigned name);
    void DeleteFramebuffer(unsigned name);
    void DeleteRenderbuffer(unsigned name);
    // Render thread: deletes what other threads released.
    void CollectGarbage();
    // The context is gone, and every OpenGL name with it: later deletions are dropped.
    void Close();

    // Resources of the default pool that are alive; a Reset logs them.
    std::atomic<int> defaultPoolResources{0};
    // Render thread: set when a resource changed OpenGL state behind the device's back; the
    // device applies all of its states again at the next draw.
    bool statesTouched = false;

private:
    enum class Kind { Texture, Framebuffer, Renderbuffer };
    void Delete(Kind kind, unsigned name);
    static void DeleteNow(Kind kind, unsigned name);

    std::thread::id m_renderThread;
    std::mutex m_lock;
    bool m_closed = false;
    std::vector<std::pair<Kind, unsigned>> m_garbage;
};

using RenderContextPtr = std::shared_ptr<RenderContext>;

} // namespace platform::d3d9
