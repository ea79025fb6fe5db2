#include "modes/BattleRules.h"

#include "data/Records.h"
#include "lane/AttackLine.h"
#include "lane/AttackLineBlock.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace battle {

int BulletsToFire(int count, bool all)
{
    if (count <= 0)
        return 0;
    if (all)
        return count;
    return count % 100 == 0 ? 100 : count % 100;
}

StackChoice ChooseSmallestStack(const int counts[3])
{
    StackChoice choice;
    int best = 0;
    for (int c = 0; c < 3; ++c) {
        const int rest = counts[c] > 0 ? counts[c] % 100 : 0;
        if (rest > 0 && (choice.colour < 0 || rest < best)) {
            choice = {c, rest};
            best = rest;
        }
    }
    if (choice.colour >= 0)
        return choice;
    for (int c = 0; c < 3; ++c) {
        if (counts[c] > 0 && (choice.colour < 0 || counts[c] < best)) {
            choice = {c, 100};
            best = counts[c];
        }
    }
    return choice;
}

std::string ModeKey(int mode, const char* stageName)
{
    if (mode == kSelfPlayMode)
        return "BATTLE.SELFPLAY";
    const char* kind = mode >= 7 && mode <= 12 ? "GEEKPLAY." : "FREEPLAY.";
    return std::string("BATTLE.") + kind + (stageName ? stageName : "");
}

int CubeBonus(int mode)
{
    static constexpr int kBonus[kModeCount] = {0, 20, 50, 100, 200, 0, 0, 50, 75, 100, 200, 300, 500, 750};
    return mode >= 0 && mode < kModeCount ? kBonus[mode] : 0;
}

RankingValues RankingFor(float shownHp, float playClock)
{
    RankingValues values{static_cast<int>(shownHp), static_cast<int>(playClock)};
    if (values.score < 1) {
        values.score = 0;
        values.time = 1000000 - values.time;
    }
    return values;
}

int CubeReward(const RankEntry* table, int mode)
{
    static constexpr int kBase[5] = {72, 54, 38, 24, 12};
    if (!table)
        return 0;
    int place = -1;
    for (int i = 0; i < RankingTable::kPlaces && place < 0; ++i)
        if (table[i].isNew)
            place = i;
    if (place < 0)
        return 0;
    if (place == RankingTable::kPlaces - 1)
        return 3;
    int cubes = kBase[place] + CubeBonus(mode) / 5;
    if (std::strncmp(table[place + 1].name, kLocalPlayerName, RankEntry::kNameBytes) == 0)
        cubes /= 2;
    return cubes;
}

int ApplyItemToUnit(AttackLineBlock& unit, int kind, int factor, int add)
{
    constexpr int kSoundUpSizing = 71;
    constexpr int kSoundInvincible = 72;
    constexpr int kSoundDownSizing = 80;
    if (kind >= 0 && kind <= 3) {
        const int before = unit.m_nPower;
        const long long power = static_cast<long long>(before) * factor + add;
        unit.m_nPower = static_cast<int>(std::min<long long>(power, kMaxItemPower));
        unit.m_fSpeed = AttackLine::SpeedForPower(unit.m_nPower, unit.m_nKind);
        return unit.m_nPower < before ? kSoundDownSizing : kSoundUpSizing;
    }
    if (kind == 4) {
        unit.AddState(new BlockState_Invincible(&unit));
        return kSoundInvincible;
    }
    return 0;
}

float ItemTimer(int random15) { return static_cast<float>(random15 % 37000) / 1000.0f + 12.0f; }

std::string SafeGhostFileName(const char* name)
{
    std::string text = name ? name : "";
    const size_t slash = text.find_last_of("/\\:");
    if (slash != std::string::npos)
        text = text.substr(slash + 1);
    std::string safe;
    for (unsigned char c : text)
        if (std::isalnum(c) || c == '.' || c == '_' || c == '-')
            safe += static_cast<char>(c);
    while (!safe.empty() && safe.front() == '.')
        safe.erase(safe.begin());
    return safe.empty() ? "BattleGhost.gst" : safe;
}

bool IsGhostFileName(const std::string& name)
{
    constexpr std::string_view kExtension = ".gst";
    if (name.size() <= kExtension.size())
        return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

} // namespace battle
