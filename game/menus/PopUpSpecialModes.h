// The special-mode pop-ups of the main menu: the six special battle modes and the two special
// push modes. Each mode shows whether it is locked and whether the player's cubes cover its
// price, and the player's place in the mode's local ranking table with a clear or first-place
// mark; modes that are all cleared, or all held at first place, earn their achievements.
//
// Choosing an unlocked mode closes the pop-up and reports the mode; the lock of a locked mode
// reports the mode at once while the pop-up stays open, and the main menu offers the purchase.
#pragma once

#include "menus/PopUp.h"

#include <cstdint>
#include <utility>

inline constexpr int32_t MSG_BATTLE_GEEK_CLOSED = 2047;
inline constexpr int32_t MSG_BATTLE_GEEK_LOCKED = 2048;
inline constexpr int32_t MSG_PUSH_GEEK_CLOSED = 2049;
inline constexpr int32_t MSG_PUSH_GEEK_LOCKED = 2050;

// What sets one special-mode pop-up apart from the other.
struct SpecialModeKind {
    const char* layout;
    const char* buttonPrefix;  // "btn_btgeek_": the mode button and "…lock_" its lock
    const char* const* modes;  // the modes' names, in index order
    int modeCount;
    int unlockGroup;
    int rankingBoard;
    int firstTable;  // the ranking table of mode 0, by number
    int clearAbove;  // a score above this counts as a clear
    int achievementAllClear;
    int achievementAllFirst;
    int32_t closedMessage;
    int32_t lockedMessage;
};

class VanteoPopUp_SpecialModes : public VanteoPopUp {
public:
    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;

    // Locks, prices and mode buttons from the unlock records and the player's cubes.
    void UpdateLocks();
    // Places, marks and achievements from the ranking tables: 2 every mode at first place,
    // 1 every mode placed, 0 otherwise.
    int ShowRanks();

    template <int M>
    void OnModeChosen(kv::EventArgs&)
    {
        ChooseMode(M);
    }
    template <int M>
    void OnLockedMode(kv::EventArgs&)
    {
        Post(m_Kind.lockedMessage, M);
    }
    void OnClose(kv::EventArgs& args);

    // The mode reported when the pop-up has closed, or the mode count for none.
    int32_t m_nChosenMode;
    // Set by the owner after opening, once the menu's unlock records are loaded; until then the
    // locks are left as the layout has them.
    bool m_bUnlocksSet = false;

protected:
    explicit VanteoPopUp_SpecialModes(const SpecialModeKind& kind) : m_nChosenMode(kind.modeCount), m_Kind(kind) {}

private:
    void ChooseMode(int mode);
    template <int... M>
    void BindModes(std::integer_sequence<int, M...>);
    std::wstring Name(const char* part, int mode) const;

    const SpecialModeKind& m_Kind;
};

class VanteoPopUp_BattleGeek : public VanteoPopUp_SpecialModes {
public:
    static const SpecialModeKind kKind;
    VanteoPopUp_BattleGeek() : VanteoPopUp_SpecialModes(kKind) {}
};

class VanteoPopUp_PushGeek : public VanteoPopUp_SpecialModes {
public:
    static const SpecialModeKind kKind;
    VanteoPopUp_PushGeek() : VanteoPopUp_SpecialModes(kKind) {}
};
