// Test input: SDL events pushed onto SDL's queue, so they take the player's path.
#include "win32/TestInput.h"

#include "UserState.h"
#include "win32/Keyboard.h"
#include "win32/SdlBridge.h"
#include "win32/Window.h"

#include <SDL.h>

#include <cstring>

namespace {

Uint32 SdlIdOf(HWND hwnd)
{
    SDL_Window* window = platform::SdlWindowOf(hwnd);
    return window ? SDL_GetWindowID(window) : 0;
}

// The SDL window position of a client point (the inverse of the fit into the SDL window).
SDL_Point WindowPointOf(HWND hwnd, int x, int y)
{
    SDL_Window* window = platform::SdlWindowOf(hwnd);
    RECT client{};
    if (!window || !GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0)
        return {x, y};
    int outW = 0, outH = 0;
    platform::RealWindowSize(window, &outW, &outH);
    const RECT r = platform::ClientPresentRect(hwnd, outW, outH);
    return {r.left + x * (r.right - r.left) / client.right, r.top + y * (r.bottom - r.top) / client.bottom};
}

void Push(SDL_Event& e)
{
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

// Cuts UTF-8 text into pieces that fit an SDL text event, never inside a character.
template <typename Emit>
void ForEachPiece(const std::string& utf8, size_t capacity, Emit emit)
{
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = std::min(utf8.size(), start + capacity - 1);
        while (end < utf8.size() && end > start && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        emit(utf8.substr(start, end - start));
        start = end;
    }
}

} // namespace

namespace platform {

void InjectKey(HWND hwnd, UINT vk, bool down, bool repeat)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = SdlIdOf(hwnd);
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(ScancodeOfVirtualKey(vk));
    e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
    Push(e);
}

void InjectText(HWND hwnd, const std::string& utf8)
{
    ForEachPiece(utf8, SDL_TEXTINPUTEVENT_TEXT_SIZE, [&](const std::string& piece) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = SdlIdOf(hwnd);
        std::memcpy(e.text.text, piece.c_str(), piece.size() + 1);
        Push(e);
    });
}

void InjectMouseMove(HWND hwnd, int x, int y)
{
    const SDL_Point p = WindowPointOf(hwnd, x, y);
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SdlIdOf(hwnd);
    e.motion.x = p.x;
    e.motion.y = p.y;
    Push(e);
}

void InjectMouseButton(HWND hwnd, int button, bool down, int x, int y, int clicks)
{
    const SDL_Point p = WindowPointOf(hwnd, x, y);
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = SdlIdOf(hwnd);
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = static_cast<Uint8>(clicks);
    e.button.x = p.x;
    e.button.y = p.y;
    Push(e);
}

void InjectWheel(HWND hwnd, int notches)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = SdlIdOf(hwnd);
    e.wheel.y = notches;
    e.wheel.preciseY = static_cast<float>(notches);
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(e);
}

void InjectFocus(HWND hwnd, bool gained)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlIdOf(hwnd);
    e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    Push(e);
}

void InjectClose(HWND hwnd)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlIdOf(hwnd);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(e);
}

void InjectTextEditing(HWND hwnd, const std::string& utf8, int selectionStart, int selectionLength)
{
    SDL_Event e{};
    if (utf8.size() < SDL_TEXTEDITINGEVENT_TEXT_SIZE) {
        e.type = SDL_TEXTEDITING;
        e.edit.windowID = SdlIdOf(hwnd);
        std::memcpy(e.edit.text, utf8.c_str(), utf8.size() + 1);
        e.edit.start = selectionStart;
        e.edit.length = selectionLength;
    } else {
        // Longer compositions travel as SDL's extended event, whose text the pump frees.
        e.type = SDL_TEXTEDITING_EXT;
        e.editExt.windowID = SdlIdOf(hwnd);
        e.editExt.text = SDL_strdup(utf8.c_str());
        e.editExt.start = selectionStart;
        e.editExt.length = selectionLength;
    }
    Push(e);
}

} // namespace platform
