// The two pop-ups between the player and a purchase with cubes: the question whether to spend
// the price, and the notice that the cubes do not suffice. Both only show numbers and report;
// neither takes cubes nor unlocks anything. The caller opens one, gives it its values and keeps
// in mind what is being bought.
#pragma once

#include "menus/PopUp.h"

// Yes or no to a price. Enter answers yes, Backspace and Escape no. Once closed it posts
// MSG_CUBE_UNLOCK_DECLINED for no, and for yes MSG_CUBE_UNLOCK_CONFIRMED or, when the cubes it
// was given are fewer than the price, MSG_CUBE_UNLOCK_SHORT.
class VanteoPopUp_CubeUnlock : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/unlock.xml";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    // Stores the price and the cubes and shows them; call it right after Open.
    virtual void SetValues(int32_t need, int32_t have);
    void OnYes(kv::EventArgs& args);
    void OnNo(kv::EventArgs& args);

    int32_t m_nAnswer = 0;
    int32_t m_nNeed = 0;
    int32_t m_nHave = 0;

private:
    void Answer(int32_t answer);
};

// The shortfall: price, cubes and what is missing. Enter, Backspace or Escape close it; it posts
// nothing.
class VanteoPopUp_CubeUnlockFail : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/unlock_error.xml";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    virtual void SetValues(int32_t need, int32_t have, int32_t want);
    void OnOk(kv::EventArgs& args);

    int32_t m_nNeed = 0;
    int32_t m_nHave = 0;
    int32_t m_nWant = 0;
};
