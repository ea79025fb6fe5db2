// The seven ranking pop-ups: one platform leaderboard each, in pages of ten rows, with the
// player's own row. Opening one uploads the player's local best, asks for the player's row and
// the first page; the page buttons and "my record" ask for other pages. The rows read
// "Downloading..." while a page is on its way.
#pragma once

#include "menus/PopUp.h"

#include <steam/SteamTypes.h>

#include <algorithm>
#include <cstdint>
#include <string>

class QuiblyLeaderBoard;

class VanteoPopUp_Ranking : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/ranking.xml";
    // The sound the menu plays under the ranking pop-ups; closing stops it.
    static constexpr int kRankingSound = 31;

    VanteoPopUp_Ranking(int board, const wchar_t* openingScene);

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    // Plays the opening animation and asks for the board's rows.
    virtual void OpenBoard();
    // Starts the closing animation; refused while an animation plays.
    virtual bool OnClose();

    void OnCloseClicked(kv::EventArgs& args);
    void OnPrev(kv::EventArgs& args);
    void OnNext(kv::EventArgs& args);
    void OnMyRecord(kv::EventArgs& args);

    // The leaderboard the pop-up reads (the game's unless a test gives another).
    void SetLeaderBoard(QuiblyLeaderBoard* board) { m_pBoard = board; }
    int Page() const { return m_nPage; }
    int Board() const { return m_nBoard; }

protected:
    QuiblyLeaderBoard& LeaderBoard() const;
    // Uploads the local best by the board's rule and asks for the player's own row.
    virtual void UploadBest();
    // A row's score texts (the score and combo columns, or wins and losses).
    virtual void ShowScore(const std::wstring& rowSuffix, int32_t score);
    virtual void ClearScore(const std::wstring& rowSuffix);
    // The name shown for a row of the page.
    virtual std::wstring RowName(CSteamID user) const;
    void RequestPage();

    int m_nPage = 0;
    int m_nBoard = 0;
    const wchar_t* m_szOpeningScene;
    QuiblyLeaderBoard* m_pBoard = nullptr;
};

// Board 0: clear times, shown as minutes and seconds.
class VanteoPopUp_Ranking_Stage : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Stage();

protected:
    void ShowScore(const std::wstring& rowSuffix, int32_t score) override;
};

class VanteoPopUp_Ranking_Battle : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Battle();
};

class VanteoPopUp_Ranking_Push : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Push();
};

class VanteoPopUp_Ranking_IQ : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_IQ();
};

class VanteoPopUp_Ranking_Point : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Point();
};

class VanteoPopUp_Ranking_Combo : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Combo();
};

// Board 6: the online record, shown as wins and losses, with the rows' full platform names.
class VanteoPopUp_Ranking_Multi : public VanteoPopUp_Ranking {
public:
    VanteoPopUp_Ranking_Multi();

protected:
    void UploadBest() override;
    void ShowScore(const std::wstring& rowSuffix, int32_t score) override;
    void ClearScore(const std::wstring& rowSuffix) override;
    std::wstring RowName(CSteamID user) const override;
};
