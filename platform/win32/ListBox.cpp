// The built-in "LISTBOX" window class: keeps its items and selection and draws them into its
// top-level window's surface, one text line per item on white, the selection highlighted and
// kept in view (the newest item, when the owner selects each one it adds). Items may be added
// from any thread; the message pump draws the list boxes that changed, on the video thread,
// because the game's loop takes WM_PAINT off the queue without dispatching it.
// Implemented: LB_ADDSTRING, LB_RESETCONTENT, LB_SETCURSEL, LB_GETCURSEL, LB_GETCOUNT, WM_PAINT.
// Left out:    sorting, owner drawing, scrolling by the user, mouse selection; the scroll bar is
//              not drawn. Items are drawn with the first system font found (DejaVu Sans, with
//              Nanum Gothic for Hangul); without one, only the selection bar shows.
#include "UserState.h"
#include "win32/Window.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform::user {

namespace {

constexpr int kRowHeight = 16;
constexpr int kFontPixels = 12;
constexpr int kTextInset = 3;

// The faces text is drawn with: a Latin face and a Hangul face, loaded once.
struct ListFonts {
    FT_Library library = nullptr;
    std::vector<FT_Face> faces;
    std::mutex lock;
};

ListFonts& Fonts()
{
    static ListFonts* fonts = [] {
        auto* f = new ListFonts;
        if (FT_Init_FreeType(&f->library) != 0)
            return f;
        for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                 "/usr/share/fonts/truetype/nanum/NanumGothic.ttf"}) {
            FT_Face face = nullptr;
            if (FT_New_Face(f->library, path, 0, &face) == 0) {
                FT_Set_Pixel_Sizes(face, 0, kFontPixels);
                f->faces.push_back(face);
            }
        }
        return f;
    }();
    return *fonts;
}

void FillRect(SDL_Surface* surface, int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    SDL_Rect rect{x, y, w, h};
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, r, g, b));
}

// Draws one line of text with its baseline at y, clipped to [x, right).
void DrawText(SDL_Surface* surface, const std::wstring& text, int x, int baseline, int right, const SDL_Rect& clip,
              uint8_t shade)
{
    ListFonts& fonts = Fonts();
    std::lock_guard guard(fonts.lock);
    if (fonts.faces.empty() || SDL_LockSurface(surface) != 0)
        return;
    int pen = x;
    for (wchar_t ch : text) {
        if (pen >= right)
            break;
        FT_Face face = fonts.faces.front();
        for (FT_Face candidate : fonts.faces)
            if (FT_Get_Char_Index(candidate, static_cast<FT_ULong>(ch)) != 0) {
                face = candidate;
                break;
            }
        if (FT_Load_Char(face, static_cast<FT_ULong>(ch), FT_LOAD_RENDER) != 0)
            continue;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int left = pen + face->glyph->bitmap_left;
        const int top = baseline - face->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int px = left + static_cast<int>(col), py = top + static_cast<int>(row);
                if (px < clip.x || py < clip.y || px >= std::min(right, clip.x + clip.w) || py >= clip.y + clip.h)
                    continue;
                const uint8_t cover = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col];
                if (cover == 0)
                    continue;
                auto* pixel = static_cast<uint8_t*>(surface->pixels) + py * surface->pitch +
                              px * surface->format->BytesPerPixel;
                Uint32 value = 0;
                std::memcpy(&value, pixel, surface->format->BytesPerPixel);
                uint8_t r = 0, g = 0, b = 0;
                SDL_GetRGB(value, surface->format, &r, &g, &b);
                auto mix = [&](uint8_t under) { return static_cast<uint8_t>(under + (shade - under) * cover / 255); };
                value = SDL_MapRGB(surface->format, mix(r), mix(g), mix(b));
                std::memcpy(pixel, &value, surface->format->BytesPerPixel);
            }
        pen += static_cast<int>(face->glyph->advance.x >> 6);
    }
    SDL_UnlockSurface(surface);
}

// Paints the list box into its top-level window's surface.
void Paint(HWND hwnd)
{
    auto& s = Get();
    SDL_Window* sdl = nullptr;
    RECT area{};
    std::vector<std::wstring> items;
    int selection = -1;
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = Find(s, hwnd);
        WindowRecord* top = w ? Find(s, w->parent) : nullptr;
        if (!w || !top || !top->sdl || !w->visible || !top->visible)
            return;
        sdl = top->sdl;
        area = w->rect;
        items = w->listItems;
        selection = w->listSelection;
    }
    if (!OnVideoThread())
        return;
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    if (!surface)
        return;
    const SDL_Rect clip{static_cast<int>(area.left), static_cast<int>(area.top),
                        std::min<int>(area.right - area.left, surface->w - static_cast<int>(area.left)),
                        std::min<int>(area.bottom - area.top, surface->h - static_cast<int>(area.top))};
    if (clip.w <= 0 || clip.h <= 0)
        return;
    FillRect(surface, clip.x, clip.y, clip.w, clip.h, 255, 255, 255);
    const int rows = std::max(clip.h / kRowHeight, 1);
    const int count = static_cast<int>(items.size());
    // The selection stays in view; without one the last items show.
    const int last = selection >= 0 ? selection : count - 1;
    const int first = std::max(0, last - rows + 1);
    for (int i = first; i < count && i < first + rows; ++i) {
        const int y = clip.y + (i - first) * kRowHeight;
        const bool selected = i == selection;
        if (selected)
            FillRect(surface, clip.x, y, clip.w, kRowHeight, 0, 120, 215);
        DrawText(surface, items[static_cast<size_t>(i)], clip.x + kTextInset, y + kRowHeight - 4, clip.x + clip.w,
                 clip, selected ? 255 : 0);
    }
    SDL_UpdateWindowSurface(sdl);
}

} // namespace

void PaintChangedListBoxes()
{
    if (!OnVideoThread())
        return;
    std::vector<HWND> changed;
    {
        auto& s = Get();
        std::lock_guard guard(s.lock);
        for (auto& [handle, w] : s.windows)
            if (w.proc == ListBoxProc && w.visible && (w.listDirty || w.needsPaint)) {
                w.listDirty = false;
                w.needsPaint = false;
                changed.push_back(handle);
            }
    }
    for (HWND hwnd : changed)
        Paint(hwnd);
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& s = Get();
    std::unique_lock guard(s.lock);
    WindowRecord* w = Find(s, hwnd);
    if (!w) {
        guard.unlock();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    const auto count = static_cast<LRESULT>(w->listItems.size());
    switch (msg) {
    case LB_ADDSTRING: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        w->listItems.emplace_back(text ? text : L"");
        w->listDirty = true;
        return count;
    }
    case LB_RESETCONTENT:
        w->listItems.clear();
        w->listSelection = -1;
        w->listDirty = true;
        return 0;
    case LB_SETCURSEL: {
        const auto index = static_cast<intptr_t>(wParam);
        if (index < 0 || index >= count) {
            w->listSelection = -1;
            return index == -1 ? 0 : LB_ERR;
        }
        w->listSelection = static_cast<int>(index);
        w->listDirty = true;
        return index;
    }
    case LB_GETCURSEL:
        return w->listSelection < 0 ? LB_ERR : w->listSelection;
    case LB_GETCOUNT:
        return count;
    case WM_PAINT:
        w->needsPaint = false;
        w->listDirty = false;
        guard.unlock();
        Paint(hwnd);
        return 0;
    default:
        guard.unlock();
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
