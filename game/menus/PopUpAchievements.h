// The achievements pop-up: the 75 achievements in pages of twelve boxes, in the display order of
// the description file, each with its icon, one or two lines of description and, once earned,
// the date; locked boxes sit a little lower under their overlay. It also shows how many are
// earned, the percentage with a gauge, and a button to the platform's page of the game's
// achievements.
#pragma once

#include "menus/PopUp.h"

#include <array>
#include <utility>

class VanteoPopUp_Achievements_Steam : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/achievements.xml";
    static constexpr int kBoxes = 12;
    static constexpr int kLastPage = 6;
    // The platform's page of this game's achievements.
    static constexpr const char* kGlobalAchievementsPage = "https://quibly.example/achievements";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;

    void OnClose(kv::EventArgs& args);
    void OnNextPage(kv::EventArgs& args);
    void OnPrevPage(kv::EventArgs& args);
    void OnGlobalAchievements(kv::EventArgs& args);
    // Draws the icon of box `box` (0..11) in place of the window's own drawing.
    void DrawIcon(int box, kv::EventArgs& args);

    // Fills the twelve boxes, the counts, the gauge and the page buttons for the current page.
    void FillPage();
    int Page() const { return m_nPage; }
    // The texture handle drawn in a box, -1 for none.
    int IconOf(int box) const { return m_nIcons[static_cast<size_t>(box)]; }

private:
    void ChangePage(int delta);
    // One "Draw" handler per box, as the window system binds member functions.
    template <int Box>
    void OnDrawIcon(kv::EventArgs& args)
    {
        DrawIcon(Box, args);
    }
    template <int... Boxes>
    void BindIconDraws(std::integer_sequence<int, Boxes...>);

    int m_nPage = 0;
    int m_nLastPage = kLastPage;
    int m_bFillPending = 0;
    std::array<int, kBoxes> m_nIcons{};
    std::array<kv::KVPoint, kBoxes> m_BoxPositions{};
};
