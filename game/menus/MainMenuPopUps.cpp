#include "menus/MainMenuPopUps.h"

#include "board/GameSeams.h"
#include "menus/PopUp.h"
#include "menus/PopUpAchievements.h"
#include "menus/PopUpRanking.h"
#include "menus/PopUpUnlockNotices.h"

#include <helvane/Log.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

void IMainMenuPopUps::Missing(const char* popUp)
{
    static std::mutex lock;
    static std::set<std::string> logged;
    std::lock_guard guard(lock);
    if (!logged.insert(popUp).second)
        return;
    std::wstring name(popUp, popUp + std::char_traits<char>::length(popUp));
    DFLog(LOG_WARN, L"Main menu: the pop-up %s is not available; nothing opens", name.c_str());
}

void IMainMenuPopUps::ShowMessage(int, const std::wstring&, const std::wstring&) { Missing("VanteoPopUp_OK"); }
void IMainMenuPopUps::AskYesNo(int, const std::wstring&, const std::wstring&) { Missing("VanteoPopUp_OKCancel"); }
void IMainMenuPopUps::OfferPurchase(int, int) { Missing("VanteoPopUp_CubeUnlock"); }
void IMainMenuPopUps::ShowShortfall(int, int, int) { Missing("VanteoPopUp_CubeUnlockFail"); }
void IMainMenuPopUps::OnSkinBought(int) { Missing("VanteoPopUp_Skin"); }
// Until the start pop-up exists, a chosen mode starts at once, as its confirmation would start it.
void IMainMenuPopUps::OpenStart(int kind, int mode, bool, RankEntry*)
{
    Missing("VanteoPopUp_Start");
    constexpr int32_t kMsgStartConfirmed = 2046;
    PayloadWriter().I32(kind).I32(mode).PostTo(GetSceneQueueSink(), kMsgStartConfirmed);
}
void IMainMenuPopUps::SetStartMode(int, int) { Missing("VanteoPopUp_Start"); }
void IMainMenuPopUps::OpenStageSelect(int) { Missing("VanteoPopUp_StageSelect"); }
void IMainMenuPopUps::OpenOptions(bool, float, float) { Missing("VanteoPopUp_Option"); }
void IMainMenuPopUps::OpenSkins() { Missing("VanteoPopUp_Skin"); }
void IMainMenuPopUps::OpenRecords() { Missing("VanteoPopUp_Records"); }
void IMainMenuPopUps::OpenTutorialMenu() { Missing("VanteoPopUp_Tutorial"); }
void IMainMenuPopUps::OpenBattleTutorialMenu() { Missing("VanteoPopUp_BattleTutorial"); }
void IMainMenuPopUps::OpenMovieTutorial() { Missing("VanteoPopUp_Quibly"); }
void IMainMenuPopUps::OpenHowTo(HowToKind) { Missing("VanteoPopUp_HowTo"); }
void IMainMenuPopUps::OpenBattleHelp() { Missing("VanteoPopUp_BattleHelp"); }
bool IMainMenuPopUps::OpenBattleVideo()
{
    Missing("VanteoPopUp_Video");
    return false;
}
void IMainMenuPopUps::OpenKeyHelp(int) { Missing("VanteoPopUp_Help"); }
void IMainMenuPopUps::OpenRanking(RankingKind) { Missing("VanteoPopUp_Ranking"); }
void IMainMenuPopUps::OpenAchievements() { Missing("VanteoPopUp_Achievements_Steam"); }
void IMainMenuPopUps::OpenBattleSpecial() { Missing("VanteoPopUp_BattleGeek"); }
void IMainMenuPopUps::OpenPushSpecial() { Missing("VanteoPopUp_PushGeek"); }
void IMainMenuPopUps::UpdateSpecialLocks() {}
void IMainMenuPopUps::ShowModeLocked(int, int) { Missing("VanteoPopUp_MainMenuUnlocked"); }
void IMainMenuPopUps::OpenUnlockNotice(int) { Missing("VanteoPopUp_MainMenuUnlock"); }

// In the order the menu updates them: the one-button box, the yes/no box, the two-line yes/no box.
struct MainMenuPopUps::Members {
    VanteoPopUp_OK ok;
    VanteoPopUp_OKCancel okCancel;
    VanteoPopUp_OKCancel_2Line okCancel2Line;
    // Leaderboards and achievements, in the order of the ranking buttons.
    VanteoPopUp_Ranking_Point rankingPoint;
    VanteoPopUp_Ranking_Combo rankingCombo;
    VanteoPopUp_Ranking_Multi rankingMulti;
    VanteoPopUp_Ranking_Stage rankingStage;
    VanteoPopUp_Ranking_Battle rankingBattle;
    VanteoPopUp_Ranking_Push rankingPush;
    VanteoPopUp_Ranking_IQ rankingIQ;
    VanteoPopUp_Achievements_Steam achievements;
    VanteoPopUp_MainMenuUnlock unlockNotice;
    VanteoPopUp_MainMenuUnlocked lockedNotice;

    // Every member, in update order.
    std::vector<VanteoPopUp*> All()
    {
        return {&ok,          &okCancel,    &okCancel2Line, &rankingPoint, &rankingCombo, &rankingMulti,
                &rankingStage, &rankingBattle, &rankingPush, &rankingIQ,    &achievements, &unlockNotice,
                &lockedNotice};
    }
};

MainMenuPopUps::MainMenuPopUps() : m_pMembers(std::make_unique<Members>()) {}

MainMenuPopUps::~MainMenuPopUps() = default;

bool MainMenuPopUps::IsAnyOpen()
{
    for (VanteoPopUp* popUp : m_pMembers->All())
        if (popUp->IsOpen())
            return true;
    return false;
}

void MainMenuPopUps::UpdateAll(float seconds)
{
    for (VanteoPopUp* popUp : m_pMembers->All())
        popUp->Update(seconds);
}

void MainMenuPopUps::CloseAll()
{
    for (VanteoPopUp* popUp : m_pMembers->All())
        popUp->Close();
}

void MainMenuPopUps::OpenRanking(RankingKind kind)
{
    VanteoPopUp_Ranking* popUps[] = {&m_pMembers->rankingPoint,  &m_pMembers->rankingCombo, &m_pMembers->rankingMulti,
                                     &m_pMembers->rankingStage,  &m_pMembers->rankingBattle, &m_pMembers->rankingPush,
                                     &m_pMembers->rankingIQ};
    popUps[static_cast<int>(kind)]->Open();
}

void MainMenuPopUps::OpenAchievements()
{
    m_pMembers->achievements.Open();
}

void MainMenuPopUps::OpenUnlockNotice(int kind)
{
    m_pMembers->unlockNotice.Open();
    m_pMembers->unlockNotice.m_nKind = kind;
}

bool MainMenuPopUps::IsUnlockNoticeOpen()
{
    return m_pMembers->unlockNotice.IsOpen();
}

void MainMenuPopUps::ShowModeLocked(int kind, int index)
{
    VanteoPopUp_MainMenuUnlocked& notice = m_pMembers->lockedNotice;
    notice.Open();
    notice.m_nKind = kind;
    notice.PlayIn(index);
}

void MainMenuPopUps::ShowMessage(int param, const std::wstring& title, const std::wstring& message)
{
    VanteoPopUp_OK& box = m_pMembers->ok;
    if (!box.Open())
        return;
    box.SetTitle(title.c_str());
    box.SetMessage(message.c_str());
    box.m_nParam = param;
}

void MainMenuPopUps::AskYesNo(int param, const std::wstring& title, const std::wstring& message)
{
    VanteoPopUp_OKCancel& box = m_pMembers->okCancel;
    if (!box.Open())
        return;
    box.SetTitle(title.c_str());
    box.SetMessage(message.c_str());
    box.m_nParam = param;
}
