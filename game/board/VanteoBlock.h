// A board cell with its sprites: the animation players of its body in every kind and size, the
// join marks, point sprites and number, star hover and overlays, all from the current skin.
#pragma once

#include "board/Block.h"
#include "engine/AnimationPlayer.h"

class VanteoBlock : public Block {
public:
    explicit VanteoBlock(GameRandom& random);

    void Reset() override;
    void Update(float seconds) override;
    void DrawMarks(const D3DXMATRIX* matrix) override;
    void GetPosition(float* outX, float* outY) const override;
    void PlayEnter() override;
    void PlayLeave() override;
    void SetStarHover(int level) override;
    void SetNumber(int number) override;
    void SetNumberDisabled(int number) override;
    void Disable() override;
    // Draws the body and overlays with the alpha (1 opaque; above 1 also opaque).
    virtual void DrawBlock(const D3DXMATRIX* matrix, float alpha);
    virtual void Flash();

    // The A byte of a draw alpha.
    static int AlphaByte(float alpha);

    AnimationPlayer fixedOverlay;
    AnimationPlayer pinOverlay;
    AnimationPlayer clearBonusOverlay;
    AnimationPlayer magicTurnOverlay;
    AnimationPlayer smallBody[7];
    AnimationPlayer largeBody[7];
    AnimationPlayer joinRightMark[3];
    AnimationPlayer joinBottomMark[3];
    AnimationPlayer pointSprite[3];
    AnimationPlayer largePointSprite[3];
    D3DCOLOR pointColour[3] = {0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD};
    AnimationPlayer pointNumber;
    AnimationPlayer starHoverPlayer;
    int clearBonusShown = 0;
    int magicTurnShown = 0;

private:
    // The body player of the block's kind, or null for a kind outside 1..7.
    AnimationPlayer* Body(bool large);
    void PlayColourMarks(const char* name, const char* next, bool withPoints);
    void Translate(D3DXMATRIX* out, float dx, float dy, const D3DXMATRIX* matrix) const;
};
