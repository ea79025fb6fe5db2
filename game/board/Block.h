// The content of one 45 x 45 cell of the board: kind, present flag, eased position, square
// membership, join marks and the fixed, point and pin flags. The board owns one per cell for the
// whole game and empties a cell by clearing its flags, never by deleting the object.
#pragma once

#include <d3d9/D3DXMath.h>

class GameRandom;

// Block kinds: 0 none, 1 to 3 the colours, then star, stone, buffer and wall.
inline constexpr int kBlockNone = 0;
inline constexpr int kBlockStar = 4;
inline constexpr int kBlockStone = 5;
inline constexpr int kBlockBuffer = 6;
inline constexpr int kBlockWall = 7;
inline constexpr int kBlockKindCount = 8;
inline constexpr int kCellPixels = 45;

inline bool IsColourKind(int kind) { return kind >= 1 && kind <= 3; }
inline bool IsBlockKind(int kind) { return kind >= 1 && kind <= 7; }

class Block {
public:
    // `random` draws the kind of a reset: the board's generator.
    explicit Block(GameRandom& random);
    virtual ~Block() = default;
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    virtual void Reset();
    virtual void Reserved() {}
    virtual void Update(float seconds);
    virtual void Draw(const D3DXMATRIX* matrix);
    virtual void DrawMarks(const D3DXMATRIX*) {}
    virtual void GetPosition(float* outX, float* outY) const;
    virtual void SetAngle(float radians) { angle = radians; }
    virtual void PlayEnter() {}
    virtual void PlayLeave() {}
    virtual void SetStarHover(int level) { starHover = level; }
    virtual void SetNumber(int number) { value = number; }
    virtual void SetNumberDisabled(int) {}
    virtual void Disable() {}

    // Sets the vertical target and speed and marks the block moving.
    void FallTo(float y, float speed);
    // Clears present, join marks, corner, inSquare and star hover; keeps the rest.
    void Empty();
    // The offset from an anchor in `corner` to the top-left corner of its square.
    static void CornerOffset(int corner, float* dx, float* dy);

    int joinRight = 0;
    int joinBottom = 0;
    int inSquare = 0;
    int corner = 0;
    int starHover = 0;
    float x = 0, y = 0;
    float targetX = 0, targetY = 0;
    float speedX = 0, speedY = 0;
    int moving = 0;
    int wasMoving = 0;
    int kind = 1;
    int present = 0;
    float angle = 0;
    int fixed = 0;
    int point = 0;
    int value = 1;
    int pin = 0;

protected:
    GameRandom* m_random;
};
