#include "online/Player_Net.h"

#include <algorithm>

int Player_Net::FaceScene(int hp)
{
    if (hp <= 0)
        return 10;
    return std::clamp(11 - (9 * hp) / 1000, 1, 9);
}

void Player_Net::Update(float seconds)
{
    UpdateDisplay(seconds, &Player_Net::FaceScene);
    UpdateBulletIcons();
}
