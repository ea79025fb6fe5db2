#include "menus/MainMenuPopUps.h"

#include <helvane/Log.h>

#include <mutex>
#include <set>
#include <string>

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
void IMainMenuPopUps::OpenStart(int, int, bool, RankEntry*) { Missing("VanteoPopUp_Start"); }
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
