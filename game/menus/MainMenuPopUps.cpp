#include "menus/MainMenuPopUps.h"

#include "board/GameSeams.h"
#include "menus/PopUp.h"
#include "menus/PopUpAchievements.h"
#include "menus/PopUpMovieTutorials.h"
#include "menus/PopUpRanking.h"
#include "menus/PopUpStageSelect.h"
#include "menus/PopUpSpecialModes.h"
#include "menus/PopUpTutorialMenus.h"
#include "menus/PopUpCubeUnlock.h"
#include "menus/PopUpOption.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpRecords.h"
#include "menus/PopUpSkin.h"
#include "menus/PopUpStart.h"
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
void IMainMenuPopUps::OpenStart(int kind, int mode, bool, RankEntry*)
{
    Missing("VanteoPopUp_Start");
    // The start pop-up's confirmation (kind, mode), so the mode still starts.
    constexpr int32_t kStartConfirmed = 2046;
    PayloadWriter().I32(kind).I32(mode).PostTo(GetSceneQueueSink(), kStartConfirmed);
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
    // From the menu's Enter to its Leave.
    std::unique_ptr<VanteoPopUp_StageSelect> stageSelect;
    // Tutorials and special modes: what the tutorial menus open is updated before the menus, so a
    // closing key reaches the upper pop-up first.
    VanteoPopUp_Quibly movieTutorial;
    VanteoPopUp_HowTo_IQ howToIQ;
    VanteoPopUp_HowTo_Push howToPush;
    VanteoPopUp_HowTo_Puzzle howToPuzzle;
    VanteoPopUp_Video video;
    VanteoPopUp_BattleHelp battleHelp;
    VanteoPopUp_Help keyHelp;
    VanteoPopUp_Tutorial tutorialMenu;
    VanteoPopUp_BattleTutorial battleTutorialMenu;
    VanteoPopUp_BattleGeek battleGeek;
    VanteoPopUp_PushGeek pushGeek;
    // The kind of a notice asked for and not yet built; 0 for none.
    int pendingNotice = 0;
    // Mode start, options, records, skins and the purchases of menu entries.
    VanteoPopUp_Start start;
    VanteoPopUp_Option option;
    VanteoPopUp_Records records;
    VanteoPopUp_Skin skin;
    VanteoPopUp_CubeUnlock cubeUnlock;
    VanteoPopUp_CubeUnlockFail cubeUnlockFail;

    // Every member, in update order.
    std::vector<VanteoPopUp*> All()
    {
        std::vector<VanteoPopUp*> all{&ok,          &okCancel,    &okCancel2Line, &rankingPoint, &rankingCombo, &rankingMulti,
                                      &rankingStage, &rankingBattle, &rankingPush, &rankingIQ,    &achievements, &unlockNotice,
                                      &lockedNotice, &start,        &option,       &records,      &skin,         &cubeUnlock,
                                      &cubeUnlockFail, &movieTutorial, &howToIQ,   &howToPush,    &howToPuzzle,  &video,
                                      &battleHelp,   &keyHelp,       &tutorialMenu,  &battleTutorialMenu, &battleGeek, &pushGeek};
        if (stageSelect)
            all.push_back(stageSelect.get());
        return all;
    }
};

MainMenuPopUps::MainMenuPopUps() : m_pMembers(std::make_unique<Members>()) {}

MainMenuPopUps::~MainMenuPopUps() = default;

bool MainMenuPopUps::IsAnyOpen()
{
    if (m_pMembers->pendingNotice)
        return true;
    for (VanteoPopUp* popUp : m_pMembers->All())
        if (popUp->IsOpen())
            return true;
    return false;
}

void MainMenuPopUps::UpdateAll(float seconds)
{
    if (int kind = m_pMembers->pendingNotice) {
        m_pMembers->pendingNotice = 0;
        m_pMembers->unlockNotice.Open();
        m_pMembers->unlockNotice.m_nKind = kind;
    }
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
    if (m_pMembers->unlockNotice.IsOpen())
        m_pMembers->unlockNotice.m_nKind = kind;
    else
        m_pMembers->pendingNotice = kind;
}

bool MainMenuPopUps::IsUnlockNoticeOpen()
{
    return m_pMembers->pendingNotice != 0 || m_pMembers->unlockNotice.IsOpen();
}

bool MainMenuPopUps::IsSkinOpen()
{
    return m_pMembers->skin.IsOpen();
}

int MainMenuPopUps::PendingSkin()
{
    const int pending = m_pMembers->skin.m_nPending;
    return pending == 1 || pending == 2 ? pending : 0;
}

void MainMenuPopUps::OfferPurchase(int price, int cubes)
{
    if (m_pMembers->cubeUnlock.Open())
        m_pMembers->cubeUnlock.SetValues(price, cubes);
}

void MainMenuPopUps::ShowShortfall(int need, int have, int difference)
{
    // The skin pop-up shows the shortfall of its purchases on top of itself.
    VanteoPopUp_CubeUnlockFail& notice = m_pMembers->skin.IsOpen() ? m_pMembers->skin.m_UnlockFail : m_pMembers->cubeUnlockFail;
    if (notice.Open())
        notice.SetValues(need, have, difference);
}

void MainMenuPopUps::OnSkinBought(int skin)
{
    m_pMembers->skin.OnSkinBought(skin);
}

void MainMenuPopUps::OpenStart(int kind, int mode, bool withTable, RankEntry* table)
{
    VanteoPopUp_Start& start = m_pMembers->start;
    if (!start.Open())
        return;
    start.SetMode(kind, mode);
    if (!withTable)
        return;
    if (kind == VanteoPopUp_Start::kPush)
        start.FillSelfRecord(table);
    else
        start.FillRanking(table);
}

void MainMenuPopUps::SetStartMode(int kind, int mode)
{
    m_pMembers->start.SetMode(kind, mode);
}

void MainMenuPopUps::OpenOptions(bool fullScreen, float musicVolume, float effectsVolume)
{
    if (m_pMembers->option.Open())
        m_pMembers->option.Setup(fullScreen ? 1 : 0, musicVolume, effectsVolume);
}

void MainMenuPopUps::OpenSkins()
{
    m_pMembers->skin.Open();
}

void MainMenuPopUps::OpenRecords()
{
    m_pMembers->records.Open();
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

void MainMenuPopUps::CreateStageSelect()
{
    if (!m_pMembers->stageSelect)
        m_pMembers->stageSelect = std::make_unique<VanteoPopUp_StageSelect>();
}

void MainMenuPopUps::DeleteStageSelect()
{
    if (m_pMembers->stageSelect)
        m_pMembers->stageSelect->Close();
    m_pMembers->stageSelect.reset();
}

void MainMenuPopUps::OpenStageSelect(int reachedStage)
{
    VanteoPopUp_StageSelect* select = m_pMembers->stageSelect.get();
    if (select && select->Open())
        select->Setup(reachedStage);
}

void MainMenuPopUps::RecreateStageBoards()
{
    if (m_pMembers->stageSelect)
        m_pMembers->stageSelect->RecreateBoards();
}

// Tutorials, battle help and the special modes.

void MainMenuPopUps::OpenTutorialMenu()
{
    m_pMembers->tutorialMenu.Open();
}

void MainMenuPopUps::OpenBattleTutorialMenu()
{
    m_pMembers->battleTutorialMenu.Open();
}

void MainMenuPopUps::OpenMovieTutorial()
{
    m_pMembers->movieTutorial.Open();
}

void MainMenuPopUps::OpenHowTo(HowToKind kind)
{
    switch (kind) {
    case HowToKind::Puzzle: m_pMembers->howToPuzzle.Open(); break;
    case HowToKind::Battle: m_pMembers->battleHelp.Open(); break;
    case HowToKind::Push: m_pMembers->howToPush.Open(); break;
    case HowToKind::IQ: m_pMembers->howToIQ.Open(); break;
    }
}

void MainMenuPopUps::OpenBattleHelp()
{
    m_pMembers->battleHelp.Open();
}

void MainMenuPopUps::OpenKeyHelp(int mode)
{
    if (m_pMembers->keyHelp.Open())
        m_pMembers->keyHelp.Setup(mode);
}

bool MainMenuPopUps::OpenBattleVideo()
{
    if (!m_pMembers->video.Open())
        return false;
    m_pMembers->video.LoadMovies();
    return true;
}

namespace {

void OpenSpecialModes(VanteoPopUp_SpecialModes& popUp)
{
    if (!popUp.Open())
        return;
    popUp.m_bUnlocksSet = true;
    popUp.UpdateLocks();
    popUp.ShowRanks();
}

} // namespace

void MainMenuPopUps::OpenBattleSpecial()
{
    OpenSpecialModes(m_pMembers->battleGeek);
}

void MainMenuPopUps::OpenPushSpecial()
{
    OpenSpecialModes(m_pMembers->pushGeek);
}

void MainMenuPopUps::UpdateSpecialLocks()
{
    m_pMembers->battleGeek.UpdateLocks();
    m_pMembers->pushGeek.UpdateLocks();
}
