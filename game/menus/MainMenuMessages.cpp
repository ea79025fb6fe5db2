// The answers of the main menu's pop-ups, which arrive as scene messages: the quit and reset
// questions, cube purchases, mode launches, options, skins, the end of movies and tutorials; and
// the scene's window-message procedure.
#include "menus/MainMenuScene.h"

#include "data/GameDataXml.h"
#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "board/GameSeams.h"
#include "engine/DigitDisplay.h"
#include "engine/SceneManager.h"
#include "engine/SceneMessage.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>
#include <lumenkit/Direct3DDevice.h>
#include <steam/SteamApi.h>
#include <steam/SteamProfile.h>
#include <win32/Cursor.h>
#include <win32/Files.h>
#include <win32/Messages.h>
#include <win32/Window.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int MSG_ACHIEVEMENT_STORED = 2031;
constexpr int MSG_POPUP_OK = 2034;
constexpr int MSG_POPUP_YES = 2035;
constexpr int MSG_POPUP_NO = 2036;
constexpr int MSG_CUBE_UNLOCK_CONFIRMED = 2037;
constexpr int MSG_CUBE_UNLOCK_DECLINED = 2038;
constexpr int MSG_CUBE_UNLOCK_SHORT = 2039;
constexpr int MSG_SET_PLAYER_NAME = 2040;
constexpr int MSG_OPTIONS_CLOSED = 2041;
constexpr int MSG_SKIN_CHOSEN = 2042;
constexpr int MSG_STAGE_SELECTED = 2043;
constexpr int MSG_STAGE_SELECT_CANCELLED = 2044;
constexpr int MSG_START_RESET_SELF = 2045;
constexpr int MSG_START_CONFIRMED = 2046;
constexpr int MSG_BATTLE_GEEK_CLOSED = 2047;
constexpr int MSG_BATTLE_GEEK_LOCKED = 2048;
constexpr int MSG_PUSH_GEEK_CLOSED = 2049;
constexpr int MSG_PUSH_GEEK_LOCKED = 2050;
constexpr int MSG_BATTLE_TUTORIAL_CHOSEN = 2051;
constexpr int MSG_TUTORIAL_CHOSEN = 2052;
constexpr int MSG_TUTORIAL_CLOSED = 2053;
constexpr int MSG_MOVIE_TUTORIAL_CLOSED = 2054;
constexpr int MSG_VIDEO_CLOSED = 2055;

constexpr int kSkinPrice = 1000;
constexpr const char* kBattleGhostFile = "Data/PlayData/BattleYour.gst";
constexpr const char* kBattleGhostInitFile = "Data/PlayData/BattleYour_Init.gst";
constexpr const char* kPushGhostFile = "Data/PlayData/PushYour.puz";
constexpr const char* kPushGhostInitFile = "Data/PlayData/PushYour_Init.puz";

// The payload of a delivered message: the bytes after its id word.
PayloadReader Payload(const void* data)
{
    return PayloadReader(static_cast<const uint8_t*>(data) + 4, kSceneMessageDataBytes - 4);
}

int FirstInt(const void* data)
{
    return Payload(data).I32();
}

void Show(kv::KVWnd* window, bool show)
{
    if (!window)
        return;
    const bool shown = window->IsVisible() && !window->IsHiding();
    if (shown != show)
        window->SetVisible(show);
}

// Copies the initial recording over the self-play one, through the file layer's atomic save so
// that a failed copy leaves the old recording whole. False (logged) when the copy cannot be made.
bool RestoreInitialRecording(const char* target, const char* initial)
{
    std::string bytes;
    if (!platform::ReadWholeFile(initial, bytes) || !platform::SaveFileAtomically(target, bytes)) {
        DFLog(LOG_WARN, L"Main menu: the initial recording %s cannot be copied",
              kv::NarrowToWide(initial).c_str());
        return false;
    }
    return true;
}

} // namespace

void VanteoMainMenuScene::RegisterMessageHandlers()
{
    using S = VanteoMainMenuScene;
    AddHandler(kSceneMessageChangeScene, nullptr, &S::OnChangeScene);
    AddHandler(MSG_POPUP_YES, nullptr, &S::OnPopUpYes);
    AddHandler(MSG_POPUP_NO, nullptr, &S::OnPopUpNo);
    AddHandler(MSG_CUBE_UNLOCK_CONFIRMED, nullptr, &S::OnCubeUnlockConfirmed);
    AddHandler(MSG_CUBE_UNLOCK_DECLINED, nullptr, &S::OnCubeUnlockDeclined);
    AddHandler(MSG_CUBE_UNLOCK_SHORT, nullptr, &S::OnCubeUnlockShort);
    AddHandler(MSG_SET_PLAYER_NAME, nullptr, &S::OnSetPlayerName);
    AddHandler(MSG_OPTIONS_CLOSED, nullptr, &S::OnOptionsChanged);
    AddHandler(MSG_SKIN_CHOSEN, nullptr, &S::OnSkinChanged);
    AddHandler(MSG_VIDEO_CLOSED, nullptr, &S::OnMovieClosed);
    AddHandler(MSG_MOVIE_TUTORIAL_CLOSED, nullptr, &S::OnMovieClosed);
    AddHandler(MSG_STAGE_SELECTED, nullptr, &S::OnStageSelected);
    AddHandler(MSG_STAGE_SELECT_CANCELLED, nullptr, &S::DefaultHandler);
    AddHandler(MSG_START_RESET_SELF, nullptr, &S::OnStartResetSelf);
    AddHandler(MSG_ACHIEVEMENT_STORED, nullptr, &S::OnAchievementStored);
    AddHandler(MSG_START_CONFIRMED, nullptr, &S::OnStartConfirmed);
    AddHandler(MSG_BATTLE_GEEK_LOCKED, nullptr, &S::OnBattleGeekLocked);
    AddHandler(MSG_BATTLE_GEEK_CLOSED, nullptr, &S::OnBattleGeekClosed);
    AddHandler(MSG_PUSH_GEEK_CLOSED, nullptr, &S::OnPushGeekClosed);
    AddHandler(MSG_PUSH_GEEK_LOCKED, nullptr, &S::OnPushGeekLocked);
    AddHandler(MSG_POPUP_OK, nullptr, &S::OnPopUpOk);
    AddHandler(MSG_BATTLE_TUTORIAL_CHOSEN, nullptr, &S::OnBattleTutorialChosen);
    AddHandler(MSG_TUTORIAL_CHOSEN, nullptr, &S::OnTutorialChosen);
    AddHandler(MSG_TUTORIAL_CLOSED, nullptr, &S::OnTutorialClosed);
}

int VanteoMainMenuScene::OnChangeScene(const void* data, int)
{
    PayloadReader reader = Payload(data);
    std::string scene = reader.Text(sizeof(ChangeScenePacket::sceneName));
    int a = reader.I32();
    int b = reader.I32();
    singleton<CSceneManager>::GetSingleton().ChangeScene(scene.c_str(), a, b);
    return 1;
}

int VanteoMainMenuScene::DefaultHandler(const void*, int)
{
    return 1;
}

// Message boxes.

int VanteoMainMenuScene::OnPopUpOk(const void*, int)
{
    return 1;
}

int VanteoMainMenuScene::OnPopUpYes(const void* data, int)
{
    switch (FirstInt(data)) {
    case 0:
        m_bQuitRequest = 1;
        break;
    case 1:
        ResetSelfPlay(true);
        break;
    case 2:
        ResetSelfPlay(false);
        break;
    default:
        break;
    }
    return 1;
}

void VanteoMainMenuScene::ResetSelfPlay(bool battle)
{
    if (battle) {
        RestoreInitialRecording(kBattleGhostFile, kBattleGhostInitFile);
        GameConfig.selfWinStackBattle = gamedata::SaturatingAdd(GameConfig.selfWinStackBattle, GameConfig.selfWinBattle);
        GameConfig.selfWinBattle = 0;
        m_World.popUps->SetStartMode(0, 13);
    } else {
        RestoreInitialRecording(kPushGhostFile, kPushGhostInitFile);
        GameConfig.selfWinStackPush = gamedata::SaturatingAdd(GameConfig.selfWinStackPush, GameConfig.selfWinPush);
        GameConfig.selfWinPush = 0;
        m_World.popUps->SetStartMode(1, 10);
    }
    // The recording is already replaced: the counters follow it at once.
    SaveGameConfig();
    if (m_pAutoPopUp) {
        Show(m_pAutoPopUp, true);
        m_pAutoPopUp->PlayUIScene(L"reset");
    }
    UpdateSubMenu();
}

int VanteoMainMenuScene::OnPopUpNo(const void* data, int)
{
    if (FirstInt(data) == 0)
        m_World.popUps->ShowMessage(0, L"THANKS", L"THANK YOU");
    return 1;
}

// Purchases.

int VanteoMainMenuScene::OnCubeUnlockConfirmed(const void*, int)
{
    int skin = m_World.popUps->IsSkinOpen() ? m_World.popUps->PendingSkin() : 0;
    if (skin == 1 || skin == 2) {
        if (GameConfig.cubes < kSkinPrice)
            return OnCubeUnlockShort(nullptr, 0);
        if (skin == 1)
            GameConfig.skin2Unlocked = 1;
        else
            GameConfig.skin3Unlocked = 1;
        m_World.popUps->OnSkinBought(skin);
        GameConfig.cubes -= kSkinPrice;
        ShowCubeCount();
        PlayEffect(kSoundPurchaseDone);
        // A bought skin is kept even when the game ends before the next save.
        SaveGameConfig();
        UpdateUnlockButtons();
        UpdateSkinHint();
        return 1;
    }

    UnlockInfo* entry = m_pPendingUnlock;
    // No offer is pending (its pop-up went away): nothing is bought.
    if (!entry || entry->isUnlock) {
        m_pPendingUnlock = nullptr;
        return 1;
    }
    if (GameConfig.cubes < entry->cube)
        return OnCubeUnlockShort(nullptr, 0);
    const int group = entry->group;
    if (group >= 0 && group < kSubMenuCount) {
        if (kv::KVWnd* sub = GetScreen(group)) {
            Show(sub->FindWindow(kv::NarrowToWide(entry->unlockPic)), false);
            std::wstring price = kv::NarrowToWide(entry->cubePic);
            Show(sub->FindWindow(price), false);
            Show(sub->FindWindow(price + L"_gray"), false);
            if (kv::KVWnd* button = sub->FindWindow(kv::NarrowToWide(entry->btnName))) {
                // Enabling the button brings back its normal state's animation.
                button->StopUIScene();
                if (!button->IsEnabled())
                    button->SetEnabled(true);
            }
        }
    }
    GameConfig.cubes -= entry->cube;
    SaveGameConfig();
    entry->isUnlock = 1;
    // Every purchase ends its offer, special modes included.
    m_pPendingUnlock = nullptr;
    SaveUnlockMenu();
    PlayEffect(kSoundPurchaseDone);
    ShowCubeCount();
    if (group >= kSubMenuCount)
        m_World.popUps->UpdateSpecialLocks();
    UpdateUnlockButtons();
    UpdateSubMenu();
    return 1;
}

int VanteoMainMenuScene::OnCubeUnlockDeclined(const void*, int)
{
    m_pPendingUnlock = nullptr;
    return 1;
}

int VanteoMainMenuScene::OnCubeUnlockShort(const void*, int)
{
    int need = 0;
    if (m_World.popUps->IsSkinOpen())
        need = kSkinPrice;
    else if (m_pPendingUnlock)
        need = m_pPendingUnlock->cube;
    else
        return 1;
    m_World.popUps->ShowShortfall(need, GameConfig.cubes, need - GameConfig.cubes);
    PlayEffect(kSoundNotEnoughCubes);
    return 1;
}

int VanteoMainMenuScene::OnBattleGeekLocked(const void* data, int)
{
    OfferUnlock(GetUnlockInfo(UNLOCK_BATTLE_GEEK, FirstInt(data)));
    return 1;
}

int VanteoMainMenuScene::OnPushGeekLocked(const void* data, int)
{
    OfferUnlock(GetUnlockInfo(UNLOCK_PUSH_GEEK, FirstInt(data)));
    return 1;
}

// Launches.

int VanteoMainMenuScene::OnStartConfirmed(const void* data, int)
{
    PayloadReader reader = Payload(data);
    int kind = reader.I32();
    int mode = reader.I32();
    switch (kind) {
    case 0: PostChangeScene("VanteoScene", mode, 0); break;
    case 1: PostChangeScene("VanteoScene_Push", mode, 0); break;
    case 2:
        if (mode == 0)
            PostChangeScene("VanteoScene_ComboChallenge", 7, 0);
        else
            PostChangeScene("VanteoScene_PointChallenge", 2, 0);
        break;
    default: break;
    }
    return 1;
}

int VanteoMainMenuScene::OnStageSelected(const void* data, int)
{
    PayloadReader reader = Payload(data);
    int difficulty = reader.I32();
    int stage = reader.I32();
    if (difficulty == 0 || difficulty == 1)
        PostChangeScene("VanteoScene_StageChallenge", difficulty, stage);
    return 1;
}

int VanteoMainMenuScene::OnStartResetSelf(const void* data, int)
{
    int kind = FirstInt(data);
    if (kind == 0 || kind == 1)
        m_World.popUps->AskYesNo(kind == 0 ? 1 : 2, L"Reset", L"Reset self-play data?");
    return 1;
}

int VanteoMainMenuScene::OnBattleGeekClosed(const void* data, int)
{
    int mode = FirstInt(data);
    if (mode < 0 || mode > 5)
        return 1;
    char key[8];
    std::snprintf(key, sizeof key, "%d", 7 + mode);
    OpenStartPopUp(0, 7 + mode, RANK_BATTLE, key);
    return 1;
}

int VanteoMainMenuScene::OnPushGeekClosed(const void* data, int)
{
    int mode = FirstInt(data);
    if (mode < 0 || mode > 1)
        return 1;
    char key[8];
    std::snprintf(key, sizeof key, "%d", 5 + mode);
    OpenStartPopUp(1, 5 + mode, RANK_PUSH, key);
    return 1;
}

// Options and skins.

// The name the player gives itself in the options; online it is the name the other player sees,
// so the platform's persona name follows it.
void VanteoMainMenuScene::TakePlayerName(const std::string& name)
{
    std::snprintf(GameConfig.playerName, sizeof GameConfig.playerName, "%s", name.empty() ? "Player" : name.c_str());
    ISteamFriends* friends = SteamFriends();
    const char* persona = friends ? friends->GetPersonaName() : nullptr;
    if (persona && std::strcmp(persona, GameConfig.playerName) != 0 &&
        !platform::steam::SetPersonaName(GameConfig.playerName))
        DFLog(LOG_WARN, L"The platform keeps its own name for the player");
}

int VanteoMainMenuScene::OnSetPlayerName(const void* data, int)
{
    const char* text = static_cast<const char*>(data) + 4;
    TakePlayerName(std::string(text, strnlen(text, GameConfigRecord::kNameBytes - 1)));
    SaveGameConfig();
    return 1;
}

int VanteoMainMenuScene::OnOptionsChanged(const void* data, int)
{
    PayloadReader reader = Payload(data);
    std::string name = reader.Text(GameConfigRecord::kNameBytes);
    int fullScreen = reader.I32();
    int leftHand = reader.I32();
    float music = reader.F32();
    float effects = reader.F32();
    TakePlayerName(name);
    bool isFull = m_World.isFullScreen && m_World.isFullScreen();
    if ((fullScreen != 0) != isFull) {
        GameConfig.fullScreen = fullScreen != 0;
        if (m_World.toggleFullScreen)
            m_World.toggleFullScreen();
    }
    GameConfig.leftHand = leftHand;
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    levels.SetMusicVolume(music);
    levels.SetEffectsVolume(effects);
    SaveGameConfig();
    return 1;
}

int VanteoMainMenuScene::OnSkinChanged(const void* data, int)
{
    int skin = FirstInt(data);
    if (skin == GameConfig.currentSkin || skin < 0 || skin > 2)
        return 1;
    // A skin that is still locked is not worn.
    if ((skin == 1 && !GameConfig.skin2Unlocked) || (skin == 2 && !GameConfig.skin3Unlocked))
        return 1;
    if (m_World.holdTimer)
        m_World.holdTimer(true);
    if (m_World.loadSkin && m_World.loadSkin(skin)) {
        GameConfig.currentSkin = skin;
        SaveGameConfig();
    }
    UpdateSkinMarks();
    m_World.popUps->RecreateStageBoards();
    if (m_World.holdTimer)
        m_World.holdTimer(false);
    if (m_pAutoPopUp) {
        wchar_t scene[32];
        std::swprintf(scene, 32, L"skin_changed_%d", skin + 1);
        Show(m_pAutoPopUp, true);
        m_pAutoPopUp->PlayUIScene(scene);
    }
    return 1;
}

// Movies, tutorials and achievements.

int VanteoMainMenuScene::OnMovieClosed(const void*, int)
{
    StopSound(kMusicMenu);
    StartMusic(kMusicMenu);
    return 1;
}

int VanteoMainMenuScene::OnTutorialClosed(const void*, int)
{
    StartMusic(kMusicMenu);
    return 1;
}

int VanteoMainMenuScene::OnTutorialChosen(const void* data, int)
{
    switch (FirstInt(data)) {
    case 0: m_World.popUps->OpenMovieTutorial(); break;
    case 1:
        // The tutorial menu's movie button plays the battle video.
        if (m_World.popUps->OpenBattleVideo())
            StopSound(kMusicMenu);
        break;
    case 2: PostChangeScene("VanteoScene_Puzzle", 2, 0); break;
    default: break;
    }
    return 1;
}

int VanteoMainMenuScene::OnBattleTutorialChosen(const void* data, int)
{
    switch (FirstInt(data)) {
    case 0:
        m_World.popUps->OpenBattleHelp();
        m_bMusicAfterPopUps = true;
        break;
    case 1:
        if (m_World.popUps->OpenBattleVideo())
            StopSound(kMusicMenu);
        break;
    case 2: m_World.popUps->OpenKeyHelp(0); break;
    default: break;
    }
    return 1;
}

int VanteoMainMenuScene::OnAchievementStored(const void*, int)
{
    ShowCubeCount();
    UpdateUnlockButtons();
    return 1;
}

// Window messages.

int VanteoMainMenuScene::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The first key on the title page only turns it to "press any key".
    if (msg == WM_KEYDOWN && m_nTitleState == 2) {
        if (kv::KVWnd* main = GetScreen(kScreenMain)) {
            Show(main->FindWindow(L"Pic_loading"), false);
            Show(main->FindWindow(L"Pic_pressanykey"), true);
        }
        ++m_nTitleState;
        return 1;
    }
    if (msg == WM_LBUTTONUP && m_nOpeningPage >= 0)
        m_ClickEffect.Add(BlockClickEffect::kStamp, static_cast<float>(static_cast<uint16_t>(lParam & 0xFFFF)),
                          static_cast<float>(static_cast<uint16_t>((lParam >> 16) & 0xFFFF)));
    return ForwardToUi(msg, wParam, lParam);
}
