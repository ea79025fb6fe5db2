// The size a window really has on the display. SDL keeps its own idea of the size: after a
// switch to desktop full screen it takes the desktop's size, even on a display without a window
// manager where nothing resizes the window. Drawing and pointer mapping ask the display itself
// (X11) and fall back to SDL's size on other video drivers.
#include "win32/SdlBridge.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace platform {

void RealWindowSize(SDL_Window* window, int* width, int* height)
{
    int w = 0, h = 0;
    if (window)
        SDL_GL_GetDrawableSize(window, &w, &h);
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) && attributes.width > 0 &&
            attributes.height > 0) {
            w = attributes.width;
            h = attributes.height;
        }
    }
#endif
    if (width)
        *width = w;
    if (height)
        *height = h;
}

} // namespace platform
