#include "modes/ClearEffect_StageChallenge.h"

#include "board/BoardSkin.h"
#include "engine/FrameGraphics.h"

#include <helvane/Log.h>
#include <lumenkit/Drawers.h>
#include <win32/Files.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

constexpr StarTier kPointTiers[ClearEffect_StageChallenge::kTiers] = {
    {10, 4, "bezier_point_S"},  {25, 4, "bezier_point"},    {55, 6, "bezier_point"},
    {100, 6, "bezier_point_L"}, {200, 8, "bezier_point_L"}, {100000, 16, "bezier_point_L"}};
constexpr StarTier kComboTiers[ClearEffect_StageChallenge::kTiers] = {
    {15, 4, "bezier_point_S"}, {30, 4, "bezier_point"},   {45, 6, "bezier_point"},
    {60, 6, "bezier_point_L"}, {80, 8, "bezier_point_L"}, {100, 16, "bezier_point_L"}};
constexpr int kFallbackTier = 2;
constexpr const char* kStarBlastScene = "bezier_point_star";
constexpr float kFramesPerSecond = 30.0f;
// A path runs 100 units from start to end; a point further out than this is no path (and NaN
// fails the test too).
constexpr float kMaxPathCoordinate = 10000.0f;
// The whole path file is read at once; a larger file is refused.
constexpr size_t kMaxPathFileBytes = 1 << 20;

// Without the colour layout the stars take the clear numbers' colours.
constexpr D3DCOLOR kFallbackColours[4] = {0xFFE8505B, 0xFF3CC47C, 0xFF3D8BFD, 0xFFF7C548};

int g_tailTexture = -1;

// The game's tails: textured triangles into the drawer's batch, flushed at the end of the frame.
class DrawerTailSink : public IStarTailSink {
public:
    void Triangle(const StarTailVertex& a, const StarTailVertex& b, const StarTailVertex& c) override
    {
        TextureDrawer2D* drawer = TextureDrawer2D::GetSingletonPtr();
        if (!drawer)
            return;
        drawer->SetTexture(GetFrameGraphics().GetTexture(g_tailTexture));
        auto v = [](const StarTailVertex& s) { return stTextureDrawerVertex{s.x, s.y, 0.0f, s.colour, s.u, s.v}; };
        drawer->DrawTexture(v(a), v(b), v(c));
    }
};

DrawerTailSink g_drawerSink;
IStarTailSink* g_tailSink = &g_drawerSink;

bool NextLine(std::istringstream& in, std::string& line)
{
    return static_cast<bool>(std::getline(in, line));
}

// The path's unit direction from one point to another; false when they coincide.
bool Direction(const D3DXVECTOR3& from, const D3DXVECTOR3& to, D3DXVECTOR3* out)
{
    D3DXVECTOR3 d = to - from;
    d.z = 0.0f;
    float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (!(length > 1e-6f))
        return false;
    *out = d / length;
    return true;
}

D3DCOLOR FadedColour(D3DCOLOR colour, int index)
{
    float alpha = static_cast<float>((colour >> 24) & 0xFF) * static_cast<float>(10 - index) / 10.0f;
    auto byte = static_cast<D3DCOLOR>(std::clamp(static_cast<int>(std::lround(alpha)), 0, 255));
    return (colour & 0x00FFFFFF) | byte << 24;
}

} // namespace

void SetStarTailSink(IStarTailSink* sink) { g_tailSink = sink ? sink : &g_drawerSink; }

int ParseStarPaths(const std::string& text, std::array<StarPath, 8>& paths)
{
    for (StarPath& path : paths) {
        path.m_Keys.clear();
        path.m_bSorted = false;
        path.m_fMaxTime = 0.0f;
    }
    std::istringstream in(text);
    int count = 0;
    if (!(in >> count) || count <= 0)
        return 0;
    std::string line;
    NextLine(in, line); // the rest of the count's line
    // Blank lines after the count are skipped.
    std::streampos pathStart = in.tellg();
    while (NextLine(in, line) && line.find_first_not_of(" \t\r") == std::string::npos)
        pathStart = in.tellg();
    in.clear();
    in.seekg(pathStart);

    const int wanted = std::min(count, static_cast<int>(paths.size()));
    int read = 0;
    for (; read < wanted; ++read) {
        std::string countLine;
        if (!NextLine(in, line) || !NextLine(in, countLine))
            break;
        int points = 0;
        if (std::sscanf(countLine.c_str(), "%d", &points) != 1 || points < 1 ||
            points > ClearEffect_StageChallenge::kMaxPathPoints)
            break;
        StarPath& path = paths[static_cast<size_t>(read)];
        bool whole = true;
        for (int j = 0; j < points && whole; ++j) {
            int first = 0, third = 0, fourth = 0;
            float x = 0.0f, y = 0.0f;
            whole = NextLine(in, line) &&
                    std::sscanf(line.c_str(), "%d %f %f %d %d", &first, &x, &y, &third, &fourth) >= 3 &&
                    std::fabs(x) <= kMaxPathCoordinate && std::fabs(y) <= kMaxPathCoordinate;
            if (whole)
                path.m_Keys.push_back({static_cast<float>(j) / kFramesPerSecond, D3DXVECTOR3(x, y, 0.0f)});
        }
        if (!whole) {
            path.m_Keys.clear();
            break;
        }
        const float length = static_cast<float>(points) / kFramesPerSecond;
        path.m_Keys.push_back({length, path.m_Keys.back().value});
        path.m_fMaxTime = length;
        NextLine(in, line); // the closing line, which may be missing at the end
    }
    return read;
}

ClearEffect_StageChallenge::ClearEffect_StageChallenge()
{
    SetTiers(kPointTiers);
    LoadData();
    ReadSkinColours(kSkinBlockNumColor, std::array<const wchar_t*, 4>{L"Point_color_1", L"Point_color_2",
                                                                      L"Point_color_3", L"Point_color_4"}
                                            .data(),
                    4, kFallbackColours, m_Colours);
    if (g_tailTexture < 0)
        g_tailTexture = GetFrameGraphics().GetTextureHandle(L"tail.tga", true);
}

ClearEffect_StageChallenge_Combo::ClearEffect_StageChallenge_Combo() { SetTiers(kComboTiers); }

void ClearEffect_StageChallenge::SetTiers(const StarTier (&tiers)[kTiers])
{
    std::copy(std::begin(tiers), std::end(tiers), m_Tiers);
}

void ClearEffect_StageChallenge::LoadData()
{
    m_Stars.Load(kAnimationFile);
    std::string text;
    if (platform::ReadWholeFile(kPathFile, text, kMaxPathFileBytes)) {
        m_nPathCount = ParseStarPaths(text, m_Paths);
        if (m_nPathCount < kPaths)
            DFLog(LOG_WARN, L"star flights: %hs holds %d whole paths of %d; the others fly straight", kPathFile,
                  m_nPathCount, kPaths);
    } else {
        m_nPathCount = 0;
        DFLog(LOG_WARN, L"star flights: %hs cannot be read; every star flies straight", kPathFile);
    }
    m_bLoaded = 1;
}

void ClearEffect_StageChallenge::AddFlight(int kind, int value, float startX, float startY, float endX, float endY)
{
    if (!m_bLoaded)
        LoadData();
    StarFlight flight{};
    flight.kind = kind;
    flight.value = value;
    flight.start = D3DXVECTOR3(startX, startY, 0.0f);
    flight.end = D3DXVECTOR3(endX, endY, 0.0f);
    D3DXVECTOR3 u;
    if (!Direction(flight.start, flight.end, &u))
        return;
    float angle = std::acos(std::clamp(u.x, -1.0f, 1.0f));
    if (u.y < 0.0f)
        angle = -angle;
    D3DXVECTOR3 d = flight.end - flight.start;
    flight.scale = std::sqrt(d.x * d.x + d.y * d.y) / 100.0f;
    D3DXMATRIX rotation, move;
    D3DXMatrixRotationZ(&rotation, angle);
    D3DXMatrixTranslation(&move, startX, startY, 0.0f);
    D3DXMatrixMultiply(&flight.transform, &rotation, &move);
    flight.time = 0.0f;
    m_Flights.push_back(flight);
}

void ClearEffect_StageChallenge::Update(float seconds)
{
    for (StarFlight& flight : m_Flights)
        flight.time += seconds;
    std::erase_if(m_Flights, [](const StarFlight& f) { return f.time > kLifetime; });
}

const StarTier& ClearEffect_StageChallenge::TierFor(int value) const
{
    for (const StarTier& tier : m_Tiers)
        if (tier.threshold > value)
            return tier;
    return m_Tiers[kFallbackTier];
}

const char* ClearEffect_StageChallenge::SceneFor(const StarFlight& flight) const
{
    return flight.kind == 3 ? kStarBlastScene : TierFor(flight.value).sceneName;
}

D3DCOLOR ClearEffect_StageChallenge::ColourOf(int kind) const
{
    return kind >= 0 && kind < 4 ? m_Colours[kind] : 0xFFFFFFFF;
}

D3DXVECTOR3 ClearEffect_StageChallenge::PathValue(int path, float time) const
{
    // Evaluation sorts the keys once; the paths are the effect's own, so this stays logically const.
    auto& track = const_cast<StarPath&>(m_Paths[static_cast<size_t>(path % kPaths)]);
    D3DXVECTOR3 value(100.0f * std::clamp(time, 0.0f, kLifetime), 0.0f, 0.0f);
    if (!track.m_Keys.empty())
        track.Evaluate(time, value);
    return value;
}

D3DXMATRIX ClearEffect_StageChallenge::StarWorld(const StarFlight& flight, int star, float time) const
{
    const float spread = static_cast<float>(star / kPaths + 1);
    D3DXVECTOR3 p = PathValue(star % kPaths, time);
    D3DXMATRIX local, world;
    D3DXMatrixTranslation(&local, flight.scale * p.x, flight.scale * p.y * spread, p.z);
    D3DXMatrixMultiply(&world, &local, &flight.transform);
    return world;
}

std::vector<StarTailPoint> ClearEffect_StageChallenge::TailPoints(const StarFlight& flight, int star) const
{
    std::vector<StarTailPoint> points;
    if (!(flight.time > 0.0f))
        return points;
    const D3DCOLOR colour = ColourOf(flight.kind);
    for (int i = 0; i < kTailPoints; ++i) {
        float t = flight.time - kTailStep * static_cast<float>(i);
        if (!(t > 0.0f))
            break;
        D3DXMATRIX world = StarWorld(flight, star, t);
        D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f), at;
        D3DXVec3TransformCoord(&at, &origin, &world);
        points.push_back({at, at, at, FadedColour(colour, i)});
    }
    // Each point's side runs across the segment to the point before it (nearer the star); the
    // star's own point takes the side of the segment behind it. A point that coincides with its
    // neighbour keeps the side of the one before, so no length of 0 is ever divided by.
    D3DXVECTOR3 along(1.0f, 0.0f, 0.0f);
    for (size_t i = 0; i < points.size(); ++i) {
        D3DXVECTOR3 n;
        if (i == 0) {
            if (points.size() > 1 && Direction(points[1].at, points[0].at, &n))
                along = -n;
        } else if (Direction(points[i].at, points[i - 1].at, &n)) {
            along = n;
        }
        D3DXVECTOR3 w(kTailHalfWidth * along.y, -kTailHalfWidth * along.x, 0.0f);
        points[i].a = points[i].at + w;
        points[i].b = points[i].at - w;
    }
    return points;
}

void ClearEffect_StageChallenge::Draw(const D3DXMATRIX*)
{
    for (const StarFlight& flight : m_Flights) {
        const int stars = TierFor(flight.value).starCount;
        AnimationScene* scene = m_Stars.GetScene(SceneFor(flight));
        const D3DCOLOR colour = ColourOf(flight.kind);
        for (int j = 0; j < stars; ++j) {
            if (scene) {
                D3DXMATRIX world = StarWorld(flight, j, flight.time);
                scene->Draw(flight.time, &world, colour, 0.0f, nullptr);
            }
            std::vector<StarTailPoint> tail = TailPoints(flight, j);
            for (size_t i = 1; i < tail.size(); ++i) {
                const StarTailPoint& p = tail[i];
                const StarTailPoint& q = tail[i - 1];
                StarTailVertex a{p.a.x, p.a.y, p.colour, 0.0f, 0.0f};
                StarTailVertex b{p.b.x, p.b.y, p.colour, 0.0f, 1.0f};
                StarTailVertex aPrev{q.a.x, q.a.y, q.colour, 1.0f, 0.0f};
                StarTailVertex bPrev{q.b.x, q.b.y, q.colour, 1.0f, 1.0f};
                g_tailSink->Triangle(a, b, aPrev);
                g_tailSink->Triangle(aPrev, b, bPrev);
            }
        }
    }
}
