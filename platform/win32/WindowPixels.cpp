// The size a window really has on the display, and desktop full screen that covers the display
// also where no window manager answers the request. SDL keeps its own idea of the size: after a
// switch to desktop full screen it takes the desktop's size, even on a display without a window
// manager where nothing resizes the window. Drawing and pointer mapping ask the display itself
// (X11) and fall back to SDL's size on other video drivers.
#include "win32/SdlBridge.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace platform {

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// The X display and window of an SDL window on the X11 driver; false on other drivers.
bool X11WindowOf(SDL_Window* window, Display** display, Window* x11)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return false;
    *display = info.info.x11.display;
    *x11 = info.info.x11.window;
    return true;
}

// A window manager that follows the desktop conventions names its check window on the root
// window; full-screen requests go to it. Without one, nobody acts on them.
bool HasWindowManager(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data);
    const bool named = status == Success && type == XA_WINDOW && format == 32 && count == 1;
    if (data)
        XFree(data);
    return named;
}
#endif

} // namespace

void RealWindowSize(SDL_Window* window, int* width, int* height)
{
    int w = 0, h = 0;
    if (window)
        SDL_GL_GetDrawableSize(window, &w, &h);
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window x11 = 0;
    XWindowAttributes attributes{};
    if (X11WindowOf(window, &display, &x11) && XGetWindowAttributes(display, x11, &attributes) &&
        attributes.width > 0 && attributes.height > 0) {
        w = attributes.width;
        h = attributes.height;
    }
#endif
    if (width)
        *width = w;
    if (height)
        *height = h;
}

void SetDesktopFullScreen(SDL_Window* window, bool full)
{
    if (!window)
        return;
    SDL_SetWindowFullscreen(window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
#if defined(SDL_VIDEO_DRIVER_X11)
    // On a bare X display the window is placed over its screen here, as a window manager would.
    // Going back, the caller gives the window its windowed size and place.
    Display* display = nullptr;
    Window x11 = 0;
    SDL_Rect bounds{};
    const int screen = SDL_GetWindowDisplayIndex(window);
    if (full && X11WindowOf(window, &display, &x11) && !HasWindowManager(display) && screen >= 0 &&
        SDL_GetDisplayBounds(screen, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        XMoveResizeWindow(display, x11, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                          static_cast<unsigned>(bounds.h));
        XRaiseWindow(display, x11);
        XSync(display, False);
    }
#endif
}

} // namespace platform
