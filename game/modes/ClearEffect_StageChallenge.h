// The star flights of the stage challenge: every cleared group sends a swarm of small stars from
// its cell to the goal gauge's light. Each star follows one of eight curved paths read from
// "data/stage_bezier.txt", stretched and turned to fit the straight line from start to end,
// trails a fading ribbon of textured triangles and is drawn in the colour of the cleared group.
// The swarm grows with the worth of the clear (its points in a point stage, its share of the
// combo goal in a combo stage); a flight lasts one second.
//
// The path file is outside text: its counts and lines are bounded, a malformed path is dropped
// with the ones after it, and a star whose path is missing flies straight.
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"

#include <d3d9/D3D9Types.h>
#include <d3d9/D3DXMath.h>
#include <lumenkit/Locus.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct StarTier {
    int32_t threshold;
    int32_t starCount;
    char sceneName[128];
};

struct StarFlight {
    int32_t kind;  // 0, 1, 2 the colour of the cleared group, 3 a star blast
    int32_t value; // points, or the percentage of the combo goal
    D3DXVECTOR3 start;
    D3DXVECTOR3 end;
    D3DXMATRIX transform;
    float scale;
    float time;
};

// One corner pair of a tail: the point on the star's path, the ribbon's two edges and the
// point's colour.
struct StarTailPoint {
    D3DXVECTOR3 at;
    D3DXVECTOR3 a;
    D3DXVECTOR3 b;
    D3DCOLOR colour;
};

struct StarTailVertex {
    float x, y;
    D3DCOLOR colour;
    float u, v;
};

// Where the tails' triangles go: the graphics library's 2-D texture drawer with "tail.tga" in
// the game, a recorder in tests.
class IStarTailSink {
public:
    virtual ~IStarTailSink() = default;
    virtual void Triangle(const StarTailVertex& a, const StarTailVertex& b, const StarTailVertex& c) = 0;
};
// Null restores the game's own sink.
void SetStarTailSink(IStarTailSink* sink);

using StarPath = LocusLinear<D3DXVECTOR3>;

// The star paths of the text: a count, then for each path a skipped line, the number of points M,
// M lines "%d %f %f %d %d" of which x and y are used, and a skipped line. At most eight paths are
// read; a path with a bad count (not 1 to kMaxPathPoints) or a bad point line ends the reading
// and is dropped. Returns how many paths were read whole.
int ParseStarPaths(const std::string& text, std::array<StarPath, 8>& paths);

class ClearEffect_StageChallenge : public Effect2D {
public:
    static constexpr const char* kAnimationFile = "S0_bezier_point_Animation.xml";
    static constexpr const char* kPathFile = "data/stage_bezier.txt";
    static constexpr const char* kTailTexture = "tail.tga";
    static constexpr int kPaths = 8;
    static constexpr int kTiers = 6;
    static constexpr int kMaxPathPoints = 1000;
    static constexpr float kLifetime = 1.0f;
    static constexpr int kTailPoints = 10;
    static constexpr float kTailStep = 0.045f;
    static constexpr float kTailHalfWidth = 10.0f;

    ClearEffect_StageChallenge();
    ~ClearEffect_StageChallenge() override = default;

    // A flight from start to end. A flight whose ends coincide has no direction and is dropped.
    void AddFlight(int kind, int value, float startX, float startY, float endX, float endY);
    // Advances every flight; one whose time passes the lifetime is removed.
    void Update(float seconds) override;
    // Draws every flight's stars and tails.
    void Draw(const D3DXMATRIX* matrix) override;

    // The tier of a flight's value: the first whose threshold is above it, else tier 2.
    const StarTier& TierFor(int value) const;
    // The scene a flight's stars show.
    const char* SceneFor(const StarFlight& flight) const;
    // The value of a path at a time; a path without keys runs straight from (0, 0) to (100, 0).
    D3DXVECTOR3 PathValue(int path, float time) const;
    // The world matrix of a flight's star at a time.
    D3DXMATRIX StarWorld(const StarFlight& flight, int star, float time) const;
    // The ribbon behind a star at the flight's time: up to ten points, newest first.
    std::vector<StarTailPoint> TailPoints(const StarFlight& flight, int star) const;
    D3DCOLOR ColourOf(int kind) const;

    const std::vector<StarFlight>& Flights() const { return m_Flights; }
    int PathCount() const { return m_nPathCount; }

    std::vector<StarFlight> m_Flights;
    AnimationPlayer m_Stars;
    std::array<StarPath, kPaths> m_Paths;
    StarTier m_Tiers[kTiers] = {};
    D3DCOLOR m_Colours[4] = {};
    int32_t m_bLoaded = 0;

protected:
    void SetTiers(const StarTier (&tiers)[kTiers]);

private:
    void LoadData();
    int m_nPathCount = 0;
};

// The combo stages' flights: the value is the percentage of the combo goal.
class ClearEffect_StageChallenge_Combo : public ClearEffect_StageChallenge {
public:
    ClearEffect_StageChallenge_Combo();
    ~ClearEffect_StageChallenge_Combo() override = default;
};
