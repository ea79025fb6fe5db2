// FreeType faces and the TrueType font of the font manager.
#include "engine/FreeTypeFont.h"


#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <strings.h>

namespace {

std::mutex g_folderLock;
std::vector<std::string> g_fontFolders{".", "/usr/share/fonts/truetype"};

bool EqualsIgnoringCase(const char* a, const std::string& b)
{
    return a && strcasecmp(a, b.c_str()) == 0;
}

bool IsTrueTypeFile(const std::string& name)
{
    return name.size() > 4 && EqualsIgnoringCase(name.c_str() + name.size() - 4, ".ttf");
}

// Every ".ttf" below the folder: the folder's own files first, then each sub-folder, in name order.
void CollectFontFiles(const std::string& folder, std::vector<std::string>& files, int depth = 0)
{
    if (depth > 8)
        return;
    std::vector<std::string> subFolders;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder)) {
        std::string path = folder + "/" + entry.name;
        if (entry.isFolder)
            subFolders.push_back(path);
        else if (IsTrueTypeFile(entry.name))
            files.push_back(path);
    }
    for (const std::string& sub : subFolders)
        CollectFontFiles(sub, files, depth + 1);
}

// FreeType reads a font file through the guarded open, so a FIFO or a device named like a font
// never blocks the search. The stream owns its FILE and itself; FreeType closes it with the face
// (or at once when the face cannot be opened).
unsigned long ReadFontStream(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    FILE* file = static_cast<FILE*>(stream->descriptor.pointer);
    const bool moved = fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
    if (count == 0)
        return moved ? 0 : 1;  // a seek: 0 is success
    return moved ? std::fread(buffer, 1, count, file) : 0;
}

void CloseFontStream(FT_Stream stream)
{
    std::fclose(static_cast<FILE*>(stream->descriptor.pointer));
    delete stream;
}

FT_Error OpenFaceFile(FT_Library library, const std::string& path, FT_Face* face)
{
    FILE* file = platform::OpenFile(path, "rb");
    if (!file)
        return FT_Err_Cannot_Open_Resource;
    off_t size = -1;
    if (fseeko(file, 0, SEEK_END) == 0)
        size = ftello(file);
    if (size <= 0) {
        std::fclose(file);
        return FT_Err_Invalid_File_Format;
    }
    auto* stream = new FT_StreamRec{};
    stream->size = static_cast<unsigned long>(size);
    stream->descriptor.pointer = file;
    stream->read = &ReadFontStream;
    stream->close = &CloseFontStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    return FT_Open_Face(library, &args, 0, face);
}

void WriteVersionBannerOnce(FT_Library library)
{
    static std::once_flag once;
    std::call_once(once, [library] {
        FT_Int major = 0, minor = 0, patch = 0;
        FT_Library_Version(library, &major, &minor, &patch);
        char text[160];
        std::snprintf(text, sizeof text, "FreeType version %d.%d.%d\n", major, minor, patch);
        OutputDebugStringA(text);
        OutputDebugStringA("Portions of this software are copyright (c) The FreeType Project (www.freetype.org). "
                           "All rights reserved.\n");
    });
}

// The coverage byte at (x, y) of a rendered bitmap, whatever its pixel mode.
uint8_t CoverageAt(const FT_Bitmap& bitmap, unsigned x, unsigned y)
{
    const int pitch = bitmap.pitch;
    const unsigned char* row = pitch >= 0 ? bitmap.buffer + static_cast<ptrdiff_t>(y) * pitch
                                          : bitmap.buffer + static_cast<ptrdiff_t>(bitmap.rows - 1 - y) * -pitch;
    switch (bitmap.pixel_mode) {
    case FT_PIXEL_MODE_GRAY:
        return bitmap.num_grays > 1 && bitmap.num_grays != 256
                   ? static_cast<uint8_t>(row[x] * 255 / (bitmap.num_grays - 1))
                   : row[x];
    case FT_PIXEL_MODE_MONO:
        return (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
    case FT_PIXEL_MODE_BGRA:
        return row[x * 4 + 3];
    default:
        return 0;
    }
}

} // namespace

GlyphMetrics::~GlyphMetrics()
{
    if (glyph)
        FT_Done_Glyph(glyph);
}

// ---- shared font files ------------------------------------------------------------------------

FontFileBytes FontFileShare::Get(const std::string& file)
{
    std::lock_guard guard(m_lock);
    Held& held = m_Files[file];
    if (auto data = held.data.lock())
        return FontFileBytes{std::move(data), held.size};
    KVXFileBuffer buffer;
    if (!m_pProvider || !m_pProvider->LoadFile(platform::Widen(file), &buffer))
        return {};
    FontFileBytes bytes{std::shared_ptr<uint8_t[]>(buffer.data), buffer.size};
    held.data = bytes.data;
    held.size = bytes.size;
    return bytes;
}

// ---- face -------------------------------------------------------------------------------------

void FreeTypeFace::SetFontFolders(std::vector<std::string> folders)
{
    std::lock_guard guard(g_folderLock);
    g_fontFolders = std::move(folders);
}

std::vector<std::string> FreeTypeFace::GetFontFolders()
{
    std::lock_guard guard(g_folderLock);
    return g_fontFolders;
}

bool FreeTypeFace::FromMemory(const uint8_t* bytes, uint32_t length, int size, int dpi)
{
    std::shared_ptr<uint8_t[]> copy(new uint8_t[length]);
    std::copy(bytes, bytes + length, copy.get());
    return FromMemory(FontFileBytes{std::move(copy), length}, size, dpi);
}

bool FreeTypeFace::FromMemory(FontFileBytes bytes, int size, int dpi)
{
    Close();
    if (!bytes.data)
        return false;
    m_FontData = std::move(bytes);
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, m_FontData.data.get(), static_cast<FT_Long>(m_FontData.size), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return false;
    }
    return Setup(library, face, size, dpi);
}

bool FreeTypeFace::FromSystemFont(const std::string& familyName, int size, int dpi)
{
    Close();
    std::vector<std::string> files;
    for (const std::string& folder : GetFontFolders())
        CollectFontFiles(folder, files);
    for (const std::string& path : files) {
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) != 0)
            continue;
        FT_Face face = nullptr;
        if (OpenFaceFile(library, path, &face) == 0) {
            if (EqualsIgnoringCase(face->family_name, familyName))
                return Setup(library, face, size, dpi);
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }
    return false;
}

bool FreeTypeFace::Setup(FT_Library library, FT_Face face, int size, int dpi)
{
    m_library = library;
    m_face = face;
    WriteVersionBannerOnce(library);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(size) * 64, dpi, dpi);
    FT_Fixed scale = face->size ? face->size->metrics.y_scale : 0;
    m_nAscender = static_cast<int32_t>(FT_MulFix(face->ascender, scale) >> 6);
    m_nDescender = static_cast<int32_t>(FT_MulFix(face->descender, scale) >> 6);
    m_nLineHeight = static_cast<int32_t>(FT_MulFix(face->height, scale) >> 6);
    m_nSize = size;
    m_nDpi = dpi;
    return true;
}

bool FreeTypeFace::LoadGlyph(uint32_t character, GlyphMetrics* metrics)
{
    if (!m_face)
        return false;
    FT_UInt index = FT_Get_Char_Index(m_face, character);
    if (index == 0 || FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT) != 0)
        return false;
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(m_face->glyph, &glyph) != 0)
        return false;
    if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) != 0) {
        FT_Done_Glyph(glyph);
        return false;
    }
    const FT_Bitmap& bitmap = reinterpret_cast<FT_BitmapGlyph>(glyph)->bitmap;
    metrics->glyph = glyph;
    metrics->width = static_cast<int32_t>(bitmap.width);
    metrics->rows = static_cast<int32_t>(bitmap.rows);
    metrics->coverage.resize(static_cast<size_t>(bitmap.width) * bitmap.rows);
    for (unsigned y = 0; y < bitmap.rows; ++y)
        for (unsigned x = 0; x < bitmap.width; ++x)
            metrics->coverage[static_cast<size_t>(y) * bitmap.width + x] = CoverageAt(bitmap, x, y);
    const FT_Glyph_Metrics& slot = m_face->glyph->metrics;
    metrics->left = static_cast<int32_t>(slot.horiBearingX >> 6);
    metrics->top = static_cast<int32_t>(slot.horiBearingY >> 6);
    metrics->advance = static_cast<int32_t>(slot.horiAdvance >> 6);
    return true;
}

void FreeTypeFace::Close()
{
    if (m_face)
        FT_Done_Face(m_face);
    if (m_library)
        FT_Done_FreeType(m_library);
    m_face = nullptr;
    m_library = nullptr;
    m_FontData = {};
    m_nAscender = m_nDescender = m_nLineHeight = 0;
}

// ---- font -------------------------------------------------------------------------------------

KVXFreeTypeFont::KVXFreeTypeFont(IDirect3DDevice9* device, ID3DXSprite*, KVXResourceProvider* provider,
                                 FontFileShare* files)
    : m_pDevice(device), m_pProvider(provider), m_pFiles(files)
{
}

KVXFreeTypeFont::~KVXFreeTypeFont()
{
    m_Metrics.clear();
    if (m_pVertexBuffer)
        m_pVertexBuffer->Release();
    m_pGlyphCache.reset();
    m_pFace.reset();
}

bool KVXFreeTypeFont::Load(const std::string& file, int size, int dpi)
{
    std::lock_guard guard(m_lock);
    m_nSize = size;
    m_Metrics.clear();
    m_pGlyphCache.reset();
    m_pFace = std::make_unique<FreeTypeFace>();
    bool opened = false;
    if (file.find(".ttf") != std::string::npos && m_pFiles) {
        opened = m_pFace->FromMemory(m_pFiles->Get(file), size, dpi);
    } else if (file.find(".ttf") != std::string::npos) {
        KVXFileBuffer buffer;
        if (m_pProvider && m_pProvider->LoadFile(platform::Widen(file), &buffer)) {
            opened = m_pFace->FromMemory(buffer.data, buffer.size, size, dpi);
            delete[] buffer.data;
        }
    } else {
        opened = m_pFace->FromSystemFont(file, size, dpi);
    }
    if (!opened) {
        m_pFace->Close();
        DFLog(LOG_WARN, L"font %s cannot be opened", platform::Widen(file).c_str());
        return false;
    }

    // Rows are as tall as a line; a face without a line height uses its ascender to descender.
    int32_t rowHeight = m_pFace->m_nLineHeight;
    if (rowHeight <= 0)
        rowHeight = m_pFace->m_nAscender - m_pFace->m_nDescender;
    m_pGlyphCache = std::make_unique<KVXD3D9TexCache>(this, m_pDevice);
    if (!m_pGlyphCache->Init(rowHeight)) {
        DFLog(LOG_WARN, L"font %s has no line height and cannot be drawn", platform::Widen(file).c_str());
        m_pGlyphCache.reset();
    }
    return CreateVertexBuffer();
}

bool KVXFreeTypeFont::CreateVertexBuffer()
{
    ReleaseAndClear(m_pVertexBuffer);
    if (!m_pDevice)
        return false;
    if (FAILED(m_pDevice->CreateVertexBuffer(80, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1,
                                             D3DPOOL_DEFAULT, &m_pVertexBuffer, nullptr))) {
        m_pVertexBuffer = nullptr;
        return false;
    }
    return true;
}

std::string KVXFreeTypeFont::GetName() const
{
    return m_pFace && m_pFace->m_face && m_pFace->m_face->family_name ? m_pFace->m_face->family_name : "";
}

int KVXFreeTypeFont::GetSize() const
{
    return m_nSize;
}

bool KVXFreeTypeFont::GetMetrics(uint32_t character, GlyphInfo* info)
{
    std::lock_guard guard(m_lock);
    if (!m_pFace)
        return false;
    auto found = m_Metrics.find(character);
    if (found == m_Metrics.end()) {
        auto metrics = std::make_unique<GlyphMetrics>();
        if (!m_pFace->LoadGlyph(character, metrics.get()))
            return false;
        found = m_Metrics.emplace(character, std::move(metrics)).first;
    }
    const GlyphMetrics& m = *found->second;
    info->x = m.left;
    info->y = m_pFace->m_nAscender - m.top;
    info->width = m.width;
    info->height = m.rows;
    info->advance = m.advance;
    info->pixels = m.coverage.empty() ? nullptr : m.coverage.data();
    info->imageset = 0;
    return true;
}

bool KVXFreeTypeFont::GetGlyph(uint32_t character, GlyphInfo* info, bool forDraw)
{
    if (!forDraw)
        return GetMetrics(character, info);
    std::lock_guard guard(m_lock);
    return m_pGlyphCache && m_pGlyphCache->GetGlyph(character, info);
}

void KVXFreeTypeFont::Measure(const wchar_t* text, int* width, int* height)
{
    std::lock_guard guard(m_lock);
    int total = 0;
    GlyphInfo info;
    for (const wchar_t* c = text; c && *c; ++c)
        if (GetMetrics(static_cast<uint32_t>(*c), &info))
            total += info.advance;
    if (width)
        *width = total;
    if (height)
        *height = m_pFace ? m_pFace->m_nLineHeight : 0;
}

int KVXFreeTypeFont::Draw(int x, int y, D3DCOLOR colour, const wchar_t* text)
{
    // Atlas sources are fractions of the page; glyphs sit at their bearings from the pen.
    return DrawGlyphs(x, y, colour, text, static_cast<float>(GlyphAtlasPage::kSize), true);
}

void KVXFreeTypeFont::OnLostDevice()
{
    std::lock_guard guard(m_lock);
    ReleaseAndClear(m_pVertexBuffer);
    if (m_pGlyphCache)
        m_pGlyphCache->OnLostDevice();
}

void KVXFreeTypeFont::OnResetDevice()
{
    std::lock_guard guard(m_lock);
    CreateVertexBuffer();
    if (m_pGlyphCache)
        m_pGlyphCache->OnResetDevice();
}
