// A window framed by nine images (a background, four corners and four edges) that follow its
// size. Layout types PANEL (no pieces: a frameless container) and WNDEX build it; the edit box,
// the text area and the list derive from it and add their own images after the frame's.
#pragma once

#include "kv/KVWnd.h"
#include "kv/KVWndDesc.h"

#include <array>
#include <cstdint>

namespace kv {

class KVWndEx : public KVWnd {
public:
    // Slots of the frame, in the order its images are added and drawn from.
    enum Piece : int32_t {
        kBackground = 0,
        kEdgeLT,
        kEdgeLB,
        kEdgeRT,
        kEdgeRB,
        kFrameT,
        kFrameB,
        kFrameL,
        kFrameR,
        kPieceCount,
    };

    std::wstring GetClassName() const override { return L"KVWndEx"; }
    std::wstring GetTypeName() const override { return L"Window"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    // Widgets are configured from their description alone: the XML node is only released.
    void ReadXml(KVXmlCursor* cursor) override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void OnResize(int32_t flags) override;
    void OnDraw() override;

    int32_t GetImageIndex(Piece piece) const { return m_imageIndex[piece]; }
    const SkinImage& GetPiece(Piece piece) const { return m_pieces[piece]; }

    // Multiplies the effective alpha of the background piece only; game code may change it.
    float backgroundAlpha = 1;

protected:
    // Adds an image to the window's renderer group and returns its index: the group numbers
    // images in the order they are added, and every image of this window goes through here.
    int32_t AddGroupImage(const std::wstring& path, const KVPoint& position, const KVRect& source,
                          const KVRect& display, bool tile);
    int32_t AddGroupImage(const std::wstring& path, const KVPoint& position, const KVRect& rect);

    KVRect m_laidOutSize;
    std::array<int32_t, kPieceCount> m_imageIndex{};
    std::array<SkinImage, kPieceCount> m_pieces;
    int32_t m_imageCounter = 0;

private:
    void DrawPiece(Piece piece, const KVPoint& at, float alpha);
    void GrowPiece(Piece piece, float dWidth, float dHeight);
};

} // namespace kv
