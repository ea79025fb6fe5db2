// The font manager: maps face names to font files, makes one font per (face, size) on first use
// and draws and measures text with it. Imageset fonts (".imageset" files) and FreeType fonts
// (".ttf" files or family names) live behind the same font interface; glyphs are queued on the
// frame's sprite queue, so text is drawn in the same pass as the images around it. Its device
// resources are released before a device reset (Invalidate) and made again after it (Restore).
// Fonts can be entered ahead and loaded at their first use, from whichever thread uses them
// first; the list and the loading are guarded by the manager's lock, and the sizes of one
// TrueType file share one copy of its bytes.
#pragma once

#include "engine/KVXFont.h"

#include <d3d9/D3DX9.h>
#include <helvane/Singleton.h>
#include <lumenkit/Renderer.h>
#include <win32/Types.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FontFileShare;

class FTFont : public DeviceObject, public singleton<FTFont> {
public:
    struct FontEntry {
        std::wstring faceName;
        std::unique_ptr<KVXFont> font;
        // The size the font was made for (an imageset font reports 0 whatever it was asked).
        int requestedSize = 0;
        // The file it loads from; empty once it is loaded.
        std::string pendingFile;
        bool loaded = false;
    };

    FTFont();
    virtual ~FTFont();
    FTFont(const FTFont&) = delete;
    FTFont& operator=(const FTFont&) = delete;

    // Keeps the device and makes the file reader and the manager's own sprite.
    void InitDevice(IDirect3DDevice9* device);
    // A face registered again takes the new file for fonts made from then on.
    void RegisterFont(const std::wstring& faceName, const std::string& file);
    // Null when the face is not registered. A font that fails to load is kept all the same and
    // draws nothing.
    KVXFont* CreateFont(const std::wstring& faceName, int size);
    // Enters the font as CreateFont does (its place in the list, the default fonts), from the
    // file registered now, but loads it at its first use.
    KVXFont* AddFont(const std::wstring& faceName, int size);
    // The first font of the face with that size, made on first use. Imageset fonts have size 0;
    // one asked for with another size is made once for that size, not again at every request.
    KVXFont* GetFont(const std::wstring& faceName, int size);

    // The two ignored arguments are kept for the callers that pass them.
    int DrawText(const std::wstring& faceName, int size, int x, int y, D3DCOLOR colour, int, int, const wchar_t* text);
    // The first FreeType font made, and the first imageset font made.
    int DrawDefault(int x, int y, D3DCOLOR colour, const wchar_t* text);
    int DrawDefaultImageset(int x, int y, D3DCOLOR colour, const wchar_t* text);
    SIZE MeasureDefault(const wchar_t* text);
    SIZE MeasureDefaultImageset(const wchar_t* text);
    SIZE MeasureText(const std::wstring& faceName, int size, const wchar_t* text);

    // Before a device reset: every font, then the sprite.
    void Invalidate() override;
    // After a device reset: every font, then the sprite.
    void Restore() override;
    // Deletes every font, the registry, the sprite and the file reader.
    void ReleaseAll();

    KVXFont* GetDefaultFont() const { return m_pDefaultFont; }
    KVXFont* GetDefaultImagesetFont() const { return m_pDefaultImagesetFont; }
    // Read while no other thread makes fonts.
    const std::vector<FontEntry>& Fonts() const { return m_Fonts; }

private:
    KVXFont* Enter(const std::wstring& faceName, int size, bool loadNow);
    // With the lock held: loads the font when it is still waiting for its first use.
    KVXFont* Ready(FontEntry& entry);
    // The loaded default font (FreeType or imageset), or null.
    KVXFont* ReadyDefault(bool imageset);
    int DrawWithSprite(KVXFont* font, int x, int y, D3DCOLOR colour, const wchar_t* text);
    static SIZE MeasureWith(KVXFont* font, const wchar_t* text);

    IDirect3DDevice9* m_pDevice = nullptr;
    ID3DXSprite* m_pSprite = nullptr;
    std::map<std::wstring, std::string> m_Registry;
    std::vector<FontEntry> m_Fonts;
    int m_nDpi = 96;
    KVXFont* m_pDefaultFont = nullptr;
    KVXFont* m_pDefaultImagesetFont = nullptr;
    std::unique_ptr<KVXResourceProvider> m_pProvider;
    std::unique_ptr<FontFileShare> m_pFiles;
    std::mutex m_lock;
};
