// The skin chooser of the main menu: three block skins, the first free and the other two bought
// once for 1000 cubes each through the purchase question and the shortfall notice it holds. The
// chosen skin's button is disabled; a skin still locked cannot be chosen. Closing posts
// MSG_SKIN_CHOSEN with the chosen skin and the main menu switches to it. The main menu answers a
// confirmed purchase (it takes the cubes and unlocks the skin) and then calls OnSkinBought.
#pragma once

#include "menus/PopUp.h"
#include "menus/PopUpCubeUnlock.h"

class VanteoPopUp_Skin : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/skins.xml";
    static constexpr int32_t kPrice = 1000;
    static constexpr int kSoundNotEnoughCubes = 10;

    int Open() override;
    // Closes the purchase question and the notice with it.
    void Close() override;
    void BindEvents() override;
    void Update(float seconds) override;

    void OnSkin1(kv::EventArgs& args);
    void OnSkin2(kv::EventArgs& args);
    void OnSkin3(kv::EventArgs& args);
    void OnBuySkin2(kv::EventArgs& args);
    void OnBuySkin3(kv::EventArgs& args);
    void OnOk(kv::EventArgs& args);
    // The main menu has unlocked the skin offered (1 or 2): it becomes the chosen one.
    void OnSkinBought(int skin);
    // The locks and the prices, normal while the cubes reach the price, grey otherwise.
    void UpdateLocks();

    int32_t m_nSelected = 0;
    // The skin offered for cubes: -1 none, 1 the second skin, 2 the third.
    int32_t m_nPending = -1;
    VanteoPopUp_CubeUnlock m_Unlock;
    VanteoPopUp_CubeUnlockFail m_UnlockFail;

private:
    void Select(int32_t skin);
    void Offer(int32_t skin);
    void MarkButtons();
};
