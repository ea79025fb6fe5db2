#include "board/BoardTuning.h"

#include "data/GameDataXml.h"

#include <algorithm>

float BoardTuning::ComboBonus(int combo) const
{
    int index = std::clamp(combo, 1, kComboSteps) - 1;
    return std::min(comboBonus[index], 9.9f);
}

int BoardTuning::WeightTotal() const
{
    // Held at the int range: weights set by hand or by an old configuration may be any int.
    int total = 0;
    for (int weight : weights)
        total = gamedata::SaturatingAdd(total, std::max(weight, 0));
    return total;
}
