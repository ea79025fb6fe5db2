// Framed window: copies its nine skin pieces from the description, adds the present ones to its
// renderer group, stretches the background and edges on resize and moves the corners at draw.
#include "kv/KVWndEx.h"

#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVXmlCursor.h"


namespace kv {

void KVWndEx::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    // A PANEL comes with a frameless description of the same record type; anything else has no
    // pieces at all.
    auto* frame = dynamic_cast<WndExBase*>(description);
    if (!frame)
        return;
    m_pieces[kBackground] = frame->bg;
    m_pieces[kEdgeLT] = frame->edgeLT;
    m_pieces[kEdgeLB] = frame->edgeLB;
    m_pieces[kEdgeRT] = frame->edgeRT;
    m_pieces[kEdgeRB] = frame->edgeRB;
    m_pieces[kFrameT] = frame->frameT;
    m_pieces[kFrameB] = frame->frameB;
    m_pieces[kFrameL] = frame->frameL;
    m_pieces[kFrameR] = frame->frameR;
}

void KVWndEx::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

int32_t KVWndEx::AddGroupImage(const std::wstring& path, const KVPoint& position, const KVRect& source,
                               const KVRect& display, bool tile)
{
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->AddImage(m_uniqueId, path, position, source, display, tile);
    return m_imageCounter++;
}

int32_t KVWndEx::AddGroupImage(const std::wstring& path, const KVPoint& position, const KVRect& rect)
{
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->AddImage(m_uniqueId, path, position, rect);
    return m_imageCounter++;
}

void KVWndEx::LoadAssets()
{
    KVPoint at{m_pos.x + m_animOffset.x, m_pos.y + m_animOffset.y};
    for (int32_t i = 0; i < kPieceCount; ++i) {
        const SkinImage& piece = m_pieces[i];
        if (piece.path.empty())
            continue;
        m_imageIndex[i] = AddGroupImage(piece.path, at, {0, piece.tex.x, 0, piece.tex.y},
                                        {0, piece.rect.right, 0, piece.rect.bottom}, true);
    }
}

void KVWndEx::ResetDefaults()
{
    KVWnd::ResetDefaults();
    m_imageIndex.fill(-1);
    m_imageCounter = 0;
    backgroundAlpha = 1;
    m_laidOutSize = {0, m_width, 0, m_height};
}

void KVWndEx::GrowPiece(Piece piece, float dWidth, float dHeight)
{
    if (m_imageIndex[piece] == -1)
        return;
    KVRect& rect = m_pieces[piece].rect;
    rect.right += dWidth;
    rect.bottom += dHeight;
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->SetImageSize(m_uniqueId, m_imageIndex[piece], rect.right, rect.bottom);
}

void KVWndEx::OnResize(int32_t flags)
{
    KVWnd::OnResize(flags);
    if (!(flags & kSizeChanged))
        return;
    float dWidth = m_width - m_laidOutSize.right;
    float dHeight = m_height - m_laidOutSize.bottom;
    GrowPiece(kBackground, dWidth, dHeight);
    GrowPiece(kFrameT, dWidth, 0);
    GrowPiece(kFrameB, dWidth, 0);
    GrowPiece(kFrameL, 0, dHeight);
    GrowPiece(kFrameR, 0, dHeight);
    m_laidOutSize = {0, m_width, 0, m_height};
}

void KVWndEx::DrawPiece(Piece piece, const KVPoint& at, float alpha)
{
    if (m_imageIndex[piece] == -1)
        return;
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->DrawImage(m_uniqueId, m_imageIndex[piece], at, alpha, {m_scaleX, m_scaleY}, 0, {0, 0});
}

void KVWndEx::OnDraw()
{
    KVPoint a = GetAbsolutePosition();
    float alpha = GetEffectiveAlpha();
    float sx = m_scaleX;
    float sy = m_scaleY;
    // Where a piece lands: its offset, plus the window's size less the piece's image size on the
    // sides it is anchored to (right, bottom), all scaled with the window.
    auto place = [&](Piece piece, bool right, bool bottom) {
        const SkinImage& p = m_pieces[piece];
        float x = right ? m_width - p.tex.x + p.rect.left : p.rect.left;
        float y = bottom ? m_height - p.tex.y + p.rect.top : p.rect.top;
        return KVPoint{a.x + x * sx, a.y + y * sy};
    };
    // The background's offset is not scaled.
    const SkinImage& bg = m_pieces[kBackground];
    DrawPiece(kBackground, {a.x + bg.rect.left, a.y + bg.rect.top}, alpha * backgroundAlpha);
    DrawPiece(kFrameT, place(kFrameT, false, false), alpha);
    DrawPiece(kFrameB, place(kFrameB, false, true), alpha);
    DrawPiece(kFrameL, place(kFrameL, false, false), alpha);
    DrawPiece(kFrameR, place(kFrameR, true, false), alpha);
    DrawPiece(kEdgeLT, place(kEdgeLT, false, false), alpha);
    DrawPiece(kEdgeLB, place(kEdgeLB, false, true), alpha);
    DrawPiece(kEdgeRT, place(kEdgeRT, true, false), alpha);
    DrawPiece(kEdgeRB, place(kEdgeRB, true, true), alpha);
}

} // namespace kv
