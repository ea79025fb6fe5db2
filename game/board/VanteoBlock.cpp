#include "board/VanteoBlock.h"

#include "board/BoardSkin.h"

#include <cstdio>
#include <string>

namespace {
void LoadPlayer(AnimationPlayer& player, int skinIndex, bool looping)
{
    LoadSkinPlayer(player, skinIndex);
    player.m_bLoop = looping;
}

constexpr D3DCOLOR kFallbackPointColours[3] = {0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD};
}

VanteoBlock::VanteoBlock(GameRandom& random) : Block(random)
{
    VanteoBlock::Reset();
}

void VanteoBlock::Reset()
{
    Block::Reset();
    corner = 0;
    LoadPlayer(fixedOverlay, kSkinBlockPin, false);
    LoadPlayer(pinOverlay, kSkinBlockErase, false);
    LoadPlayer(clearBonusOverlay, kSkinBlockClearBonus, true);
    LoadPlayer(magicTurnOverlay, kSkinBlockMagicTurn, true);
    for (int k = 0; k < 7; ++k) {
        LoadPlayer(smallBody[k], kSkinBlockSmall + k, true);
        LoadPlayer(largeBody[k], kSkinBlockLarge + k, true);
    }
    for (int c = 0; c < 3; ++c) {
        LoadPlayer(joinRightMark[c], kSkinBlockHandRight + c, false);
        LoadPlayer(joinBottomMark[c], kSkinBlockHandBottom + c, false);
        LoadPlayer(pointSprite[c], kSkinBlockPoint + c, true);
        LoadPlayer(largePointSprite[c], kSkinBlockPointLarge + c, true);
    }
    LoadPlayer(pointNumber, kSkinBlockPointNum, false);
    LoadPlayer(starHoverPlayer, kSkinEffectStarOver, false);
    // Read once per skin and shared by every block, not a layout per block.
    static const wchar_t* const kNames[3] = {L"Point_num_color_1", L"Point_num_color_2", L"Point_num_color_3"};
    ReadSkinColours(kSkinBlockPointColor, kNames, 3, kFallbackPointColours, pointColour);
    clearBonusShown = 0;
    magicTurnShown = 0;
}

AnimationPlayer* VanteoBlock::Body(bool large)
{
    if (!IsBlockKind(kind))
        return nullptr;
    return large ? &largeBody[kind - 1] : &smallBody[kind - 1];
}

void VanteoBlock::Update(float seconds)
{
    for (int k = 0; k < 7; ++k) {
        smallBody[k].Update(seconds);
        largeBody[k].Update(seconds);
    }
    for (int c = 0; c < 3; ++c) {
        joinRightMark[c].Update(seconds);
        joinBottomMark[c].Update(seconds);
        pointSprite[c].Update(seconds);
        largePointSprite[c].Update(seconds);
    }
    pointNumber.Update(seconds);
    starHoverPlayer.Update(seconds);
    fixedOverlay.Update(seconds);
    pinOverlay.Update(seconds);
    if (magicTurnShown)
        magicTurnOverlay.Update(seconds);
    if (clearBonusShown)
        clearBonusOverlay.Update(seconds);
    Block::Update(seconds);
}

void VanteoBlock::Translate(D3DXMATRIX* out, float dx, float dy, const D3DXMATRIX* matrix) const
{
    D3DXMatrixTranslation(out, x + dx, y + dy, 0.0f);
    if (matrix)
        D3DXMatrixMultiply(out, out, matrix);
}

void VanteoBlock::DrawMarks(const D3DXMATRIX* matrix)
{
    if (!IsColourKind(kind) || angle != 0.0f)
        return;
    if (!joinRight && !joinBottom)
        return;
    D3DXMATRIX world;
    Translate(&world, 0, 0, matrix);
    if (joinRight)
        joinRightMark[kind - 1].Draw(&world, 0xFFFFFFFF, 0.0f, nullptr);
    if (joinBottom)
        joinBottomMark[kind - 1].Draw(&world, 0xFFFFFFFF, 0.0f, nullptr);
}

void VanteoBlock::GetPosition(float* outX, float* outY) const
{
    float dx, dy;
    CornerOffset(corner, &dx, &dy);
    *outX = x + dx;
    *outY = y + dy;
}

int VanteoBlock::AlphaByte(float alpha)
{
    if (alpha >= 1.0f)
        return 255;
    if (alpha <= 0.0f)
        return 0;
    return static_cast<int>(alpha * 255.0f + 0.5f);
}

void VanteoBlock::DrawBlock(const D3DXMATRIX* matrix, float alpha)
{
    if (!present || inSquare)
        return;
    const int a = AlphaByte(alpha);
    const D3DCOLOR colour = (static_cast<D3DCOLOR>(a) << 24) | 0x00FFFFFFu;
    D3DXMATRIX world;
    if (corner == 0) {
        Translate(&world, 0, 0, matrix);
        if (AnimationPlayer* body = Body(false))
            body->Draw(&world, colour, angle, nullptr);
        if (starHover > 0)
            starHoverPlayer.Draw(&world, colour, angle, nullptr);
        if (fixed)
            fixedOverlay.Draw(&world, colour, angle, nullptr);
        if (point && IsColourKind(kind)) {
            const D3DCOLOR tint = (pointColour[kind - 1] & 0x00FFFFFFu) | (static_cast<D3DCOLOR>(a) << 24);
            if (value > 10) {
                largePointSprite[kind - 1].Draw(&world, tint, angle, nullptr);
                pointNumber.Draw(&world, tint, angle, nullptr);
            } else {
                pointSprite[kind - 1].Draw(&world, tint, angle, nullptr);
                if (value > 1)
                    pointNumber.Draw(&world, tint, angle, nullptr);
            }
        }
        if (pin)
            pinOverlay.Draw(&world, colour, angle, nullptr);
        return;
    }
    float dx, dy;
    CornerOffset(corner, &dx, &dy);
    Translate(&world, dx, dy, matrix);
    if (AnimationPlayer* body = Body(true))
        body->Draw(&world, colour, angle, nullptr);
    if (magicTurnShown)
        magicTurnOverlay.Draw(&world, colour, angle, nullptr);
    if (clearBonusShown)
        clearBonusOverlay.Draw(&world, colour, angle, nullptr);
}

void VanteoBlock::PlayColourMarks(const char* name, const char* next, bool withPoints)
{
    if (!IsColourKind(kind))
        return;
    const int c = kind - 1;
    joinRightMark[c].Play(name, next);
    joinBottomMark[c].Play(name, next);
    if (withPoints) {
        largePointSprite[c].Play(name, next);
        pointSprite[c].Play(name, next);
    }
}

void VanteoBlock::PlayEnter()
{
    if (inSquare) {
        PlayColourMarks("ENTER", "OVER", false);
    } else if (corner == 0) {
        if (AnimationPlayer* body = Body(false))
            body->Play("ENTER", "OVER");
        PlayColourMarks("ENTER", "OVER", true);
    } else {
        if (AnimationPlayer* body = Body(true))
            body->Play("OVER", "OVER");
        PlayColourMarks("OVER", "OVER", false);
    }
}

void VanteoBlock::PlayLeave()
{
    if (inSquare) {
        PlayColourMarks("NORMAL", nullptr, false);
    } else if (corner == 0) {
        if (AnimationPlayer* body = Body(false))
            body->Play("NORMAL");
        PlayColourMarks("NORMAL", nullptr, true);
    } else {
        if (AnimationPlayer* body = Body(true))
            body->Play("NORMAL");
        PlayColourMarks("NORMAL", nullptr, false);
    }
    if (starHover > 0)
        starHover = 0;
}

void VanteoBlock::Flash()
{
    if (inSquare || corner != 0) {
        PlayColourMarks("ENTER", "NORMAL", false);
        return;
    }
    if (AnimationPlayer* body = Body(false))
        body->Play("ENTER", "NORMAL");
    PlayColourMarks("ENTER", "NORMAL", true);
}

void VanteoBlock::SetStarHover(int level)
{
    starHover = level;
    if (level >= 1 && level <= 3) {
        char name[16];
        std::snprintf(name, sizeof name, "star_hover_%d", level);
        starHoverPlayer.Play(name);
    }
}

void VanteoBlock::SetNumber(int number)
{
    value = number;
    if (number > 1) {
        char name[16];
        std::snprintf(name, sizeof name, "%d", number);
        pointNumber.Play(name);
    }
}

void VanteoBlock::SetNumberDisabled(int number)
{
    SetNumber(number);
    if (number > 1 && IsColourKind(kind)) {
        pointSprite[kind - 1].Play("DISABLE", "NORMAL");
        largePointSprite[kind - 1].Play("DISABLE", "NORMAL");
    }
}

void VanteoBlock::Disable()
{
    pinOverlay.Play("DISABLE", "NORMAL");
}
