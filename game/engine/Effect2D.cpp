#include "engine/Effect2D.h"

#include "engine/AnimationSet.h"

D3DXMATRIX Effect2D::DrawSceneAt(AnimationScene& scene, float time, float x, float y, const D3DXMATRIX* matrix)
{
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, y, 0.0f);
    if (matrix)
        D3DXMatrixMultiply(&world, &world, matrix);
    scene.Draw(time, &world, 0xFFFFFFFF, 0.0f, nullptr);
    return world;
}
