// The base of the 2-D effect lists drawn over the board and the screens: each keeps its entries
// in insertion order, advances them by Update and draws them with Draw.
#pragma once

#include <d3d9/D3DXMath.h>

class AnimationScene;

class Effect2D {
public:
    Effect2D() = default;
    virtual ~Effect2D() = default;

    virtual void Update(float seconds) = 0;
    virtual void Reserved() {}
    // Draws every entry at its position, then through the matrix when one is given.
    virtual void Draw(const D3DXMATRIX* matrix) = 0;

    bool m_bEnable = true;

protected:
    // Draws an entry's animation scene at its point, then through the matrix when one is given;
    // returns the transform it drew with.
    static D3DXMATRIX DrawSceneAt(AnimationScene& scene, float time, float x, float y, const D3DXMATRIX* matrix);
};
