// The two small menus that offer the tutorials, and the battle help.
//
// The tutorial menu offers the paged movie tutorial, the battle video and free play; the battle
// tutorial menu the battle help, the battle video and the key help. A slide, video or key-help
// choice is reported at once and the menu stays open beneath what the main menu opens for it;
// free play closes the menu first and is reported once it has closed.
//
// The battle help explains battle in nine categories: a category button plays its scene of the
// pop-up's animation and restarts the category picture's own animation. It reports nothing.
#pragma once

#include "menus/PopUp.h"

#include <cstdint>

inline constexpr int32_t MSG_BATTLE_TUTORIAL_CHOSEN = 2051;
inline constexpr int32_t MSG_TUTORIAL_CHOSEN = 2052;
inline constexpr int32_t MSG_TUTORIAL_CLOSED = 2053;

// The choices the two menus report.
inline constexpr int32_t kTutorialChoiceSlide = 0;
inline constexpr int32_t kTutorialChoiceVideo = 1;
inline constexpr int32_t kTutorialChoiceKeyHelp = 2;
inline constexpr int32_t kTutorialChoiceFreePlay = 2;
inline constexpr int32_t kTutorialChoiceNone = 3;

// The common part of the two menus: opening, the close button and keys, the choice buttons.
class VanteoPopUp_TutorialChoices : public VanteoPopUp {
public:
    void Update(float seconds) override;
    void OnClose(kv::EventArgs& args);
    template <int Choice>
    void OnChoice(kv::EventArgs&)
    {
        Post(m_nChoiceMessage, Choice);
    }

protected:
    VanteoPopUp_TutorialChoices(const char* layout, int32_t choiceMessage)
        : m_pLayout(layout), m_nChoiceMessage(choiceMessage)
    {
    }
    int OpenMenu();
    // Runs once the menu has closed.
    virtual void OnClosed() {}

private:
    const char* m_pLayout;
    int32_t m_nChoiceMessage;
};

class VanteoPopUp_BattleTutorial : public VanteoPopUp_TutorialChoices {
public:
    static constexpr const char* kLayout = "data/battle_tutorial.xml";
    VanteoPopUp_BattleTutorial() : VanteoPopUp_TutorialChoices(kLayout, MSG_BATTLE_TUTORIAL_CHOSEN) {}
    int Open() override;
    void BindEvents() override;
};

class VanteoPopUp_Tutorial : public VanteoPopUp_TutorialChoices {
public:
    static constexpr const char* kLayout = "data/tutorial.xml";
    VanteoPopUp_Tutorial() : VanteoPopUp_TutorialChoices(kLayout, MSG_TUTORIAL_CHOSEN) {}
    int Open() override;
    void BindEvents() override;
    void OnFreePlay(kv::EventArgs& args);

    // 3 (none) from every opening, 2 once free play was chosen.
    int32_t m_nChoice = kTutorialChoiceNone;

protected:
    void OnClosed() override;
};

class VanteoPopUp_BattleHelp : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/howto_battle.xml";
    static constexpr int kCategories = 9;

    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;
    void OnClose(kv::EventArgs& args);
    template <int N>
    void OnCategory(kv::EventArgs&)
    {
        ShowCategory(N);
    }

private:
    template <int... N>
    void BindCategories(std::integer_sequence<int, N...>);
    void ShowCategory(int n);
};
