// The opponent's tower in an online battle: the battle's opponent display, whose tower face
// counts its frames from the shown hit points as the online match shows them.
#pragma once

#include "lane/Player.h"

class Player_Net : public Player_CPU {
public:
    void Update(float seconds) override;
    // The face's scene number for displayed hit points 0..1000: 2 at full hit points, 10 at 0.
    static int FaceScene(int hp);
};
