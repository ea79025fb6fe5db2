#include "board/Block.h"

#include "board/GameSeams.h"

#include <cmath>

Block::Block(GameRandom& random) : m_random(&random)
{
    Block::Reset();
}

void Block::Reset()
{
    x = y = targetX = targetY = speedX = speedY = angle = 0.0f;
    joinRight = joinBottom = inSquare = corner = starHover = 0;
    moving = wasMoving = present = fixed = point = pin = 0;
    value = 1;
    kind = m_random->Next() % 5 + 1;
}

void Block::FallTo(float y_, float speed)
{
    targetY = y_;
    speedY = speed;
    moving = 1;
}

void Block::Empty()
{
    present = joinRight = joinBottom = corner = inSquare = starHover = 0;
}

void Block::CornerOffset(int corner_, float* dx, float* dy)
{
    static constexpr float kOffsets[5][2] = {{0, 0}, {0, 0}, {-45, 0}, {-45, -45}, {0, -45}};
    int c = corner_ >= 0 && corner_ <= 4 ? corner_ : 0;
    *dx = kOffsets[c][0];
    *dy = kOffsets[c][1];
}

void Block::Update(float seconds)
{
    if (!present)
        return;
    wasMoving = moving;
    moving = 0;
    float step = speedY * seconds;
    if (std::fabs(targetY - y) > step) {
        y += targetY > y ? step : -step;
        moving = 1;
    } else if (y != targetY) {
        y = targetY;
        moving = 1;
    }
    step = speedX * seconds;
    if (std::fabs(targetX - x) > step) {
        x += targetX > x ? step : -step;
        moving = 1;
    } else if (x != targetX) {
        // Snapping onto the horizontal target ends the move, also when the block still fell.
        x = targetX;
        moving = 0;
    }
}

void Block::Draw(const D3DXMATRIX* matrix)
{
    if (present)
        DrawMarks(matrix);
}

void Block::GetPosition(float* outX, float* outY) const
{
    *outX = x;
    *outY = y;
}
