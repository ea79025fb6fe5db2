#include "modes/VanteoScene_Puzzle.h"

#include "data/GameDataXml.h"
#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "menus/SceneNames.h"
#include "menus/PopUpPause.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/Messages.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace modekit;

namespace {

constexpr int kBoardLayoutCount = 6;     // "LayoutPuzzle4" to "LayoutPuzzle14"
constexpr int kPauseModeChallenges = 2;  // the pause's key help of the puzzle modes
constexpr int kDigitStyle = 3;
constexpr int kScoreDigits = 7;
constexpr int kScoreBoxWidth = 92;
constexpr int kSpeedUpEffectValue = 21;
constexpr float kSpeedUpX = 280.0f;
constexpr float kSpeedUpY = 105.0f;
constexpr int kStarBlastPoints = 100;
// The largest board a layout holds.
constexpr int kMaxGrid = 14;

} // namespace

// --- the free-play board ----------------------------------------------------------------------

VanteoBlockMap_Puzzle::~VanteoBlockMap_Puzzle() { DestroyBlocks(); }

void VanteoBlockMap_Puzzle::OnCombo()
{
    constexpr int kSoundComboStartVoice = 6;
    if (combo > 1 && !noComboMode)
        comboEffect.Add(combo, originX + 22.0f * static_cast<float>(width), originY + 22.0f * static_cast<float>(height));
    Post(MSG_COMBO, PayloadWriter().I32(combo));
    if (combo % 10 == 0) {
        if (!noComboMode) {
            PlaySound(kSoundDoubleChance);
            windows.ShowWithFirstScene(BoardWindows::kDoubleChanceOn);
        } else {
            PlaySound(kSoundAllClear);
        }
    } else if (magicFactor * x2 == 1) {
        // The free-play board greets the first link of a chain with its own voice.
        PlaySound(combo == 2 ? kSoundComboStartVoice : kSoundAllClear);
    }
    ShowPlusCombo();
    combo += 1;
}

// --- the scene ----------------------------------------------------------------------------------

VanteoScene_Puzzle::VanteoScene_Puzzle() { SetName(kFreePlaySceneName); }

VanteoScene_Puzzle::~VanteoScene_Puzzle() { Leave(); }

std::wstring VanteoScene_Puzzle::PauseModeText(const char* stageName)
{
    std::string text = std::string("PUZZLE.") + "FREEPLAY." + (stageName ? stageName : "");
    return platform::Widen(text);
}

void VanteoScene_Puzzle::HideWindowAtOnce(const wchar_t* name)
{
    if (kv::KVWnd* window = Find(m_pBoardWindow, name))
        window->SetVisible(false);
}

void VanteoScene_Puzzle::CreateScoreDisplay()
{
    kv::KVWnd* place = Find(m_pBackWindow, L"Pic_num_point");
    if (!place)
        return;
    kv::KVPoint at = place->GetAbsolutePosition();
    m_ScoreDisplay.Create(kScoreDigits, kDigitStyle, 0, 0, kScoreBoxWidth, 0, 0);
    m_ScoreDisplay.m_fX = at.x;
    m_ScoreDisplay.m_fY = at.y;
    m_ScoreDisplay.m_fZ = 0.0f;
    auto* label = dynamic_cast<kv::KVLabel*>(place);
    m_ScoreDisplay.m_dwColour = label ? label->colour : 0xFFFFFFFF;
    m_ScoreDisplay.m_bVisible = 1;
    m_ScoreDisplay.SetValue(0);
    m_ScoreDisplay.Update(0.0f);
}

void VanteoScene_Puzzle::StartNewBoardGame()
{
    if (!m_pBoard)
        return;
    if (kv::KVWnd* area = Find(m_pBoardWindow, L"Wnd_PuzzleArea")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        m_pBoard->originX = at.x;
        m_pBoard->originY = at.y;
        m_pBoard->NewGame();
    }
}

void VanteoScene_Puzzle::RestartMusic() { modekit::RestartMusic(kMusicPuzzle); }

void VanteoScene_Puzzle::PlayReadyGo()
{
    m_ReadyGo.Play("readygo");
    PlayEffect(kSoundReadyGo);
}

int VanteoScene_Puzzle::Enter(int stage, int b)
{
    m_bEntered = false;
    LoadModeConfig(kPuzzleConfigFile);
    // A stage the configuration lacks, or a board no layout holds, cannot be played: the
    // player goes back to the menu instead of onto an empty screen.
    SelectStage(stage + 1);
    const StageRecord* record = ModeConfig.currentStage;
    if (stage < 0 || stage >= kBoardLayoutCount || !record || record->xGrid < 2 || record->xGrid > kMaxGrid ||
        record->yGrid < 2 || record->yGrid > kMaxGrid) {
        DFLog(LOG_WARN, L"Free play: stage %d is missing from %hs; back to the menu", stage, kPuzzleConfigFile);
        // The handler table takes the change-scene message in the scene's first frame.
        VanteoBaseScene::Enter(stage, b);
        PostChangeScene(kMainMenuSceneName, -1, 0);
        return 0;
    }

    m_pBackWindow = LoadLayout(SkinTable.GetSkinString(kSkinBackLayout));
    if (m_pBackWindow) {
        m_pBackWindow->SetVisible(true);
        m_pBackWindow->SetMouseTransparent(true);
    }
    m_pBoardWindow = LoadLayout(SkinTable.GetSkinString(kSkinFirstBoardLayout + stage));
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_puzzle_place"); place && m_pBoardWindow) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_pBoardWindow->SetAbsolutePosition(at.x, at.y);
    }
    // The back window goes behind the board window (a larger layer is drawn earlier).
    if (m_pBackWindow) {
        m_pBackWindow->SetZOrder(1);
        if (kv::KVWnd* parent = m_pBackWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
    for (const wchar_t* name : {L"Anibtn_stage_reset", L"Pic_warning", L"Wnd_title_stage_hard", L"Wnd_title_stage_easy"})
        HideWindowAtOnce(name);

    m_nState = kGameStateStart;
    CreateScoreDisplay();
    m_PlayTimeDisplay.Bind(m_pBackWindow, kDigitStyle);

    if (kv::KVWnd* w = Find(m_pBackWindow, L"Pic_num_time_1"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &VanteoScene_Puzzle::DrawPlayTime));
    if (kv::KVWnd* w = Find(m_pBackWindow, L"Pic_num_point"))
        w->AddHandler(kv::EventDraw, kv::MakeHandler(this, &VanteoScene_Puzzle::DrawScore));
    if (kv::KVWnd* w = Find(m_pBoardWindow, L"Anibtn_rotate_R"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Puzzle::OnRotateRight));
    if (kv::KVWnd* w = Find(m_pBoardWindow, L"Anibtn_rotate_L"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Puzzle::OnRotateLeft));
    if (kv::KVWnd* w = Find(m_pBoardWindow, L"Anibtn_menu"))
        w->AddHandler(kv::EventClicked, kv::MakeHandler(this, &VanteoScene_Puzzle::OnMenuButton));

    m_pBoard = new VanteoBlockMap_Puzzle(GameBoardWorld(), GameBoardTuning);
    m_pBoard->Init(m_pBoardWindow, record->xGrid, record->yGrid);
    StartNewBoardGame();

    m_nState = kGameStateStart;
    RestartMusic();
    VanteoBaseScene::Enter(stage, b);
    m_nScore = 0;
    ShowUI();

    modekit::LoadReadyGo(m_ReadyGo, m_pBoardWindow);
    PlayReadyGo();
    m_bEntered = true;
    return 1;
}

void VanteoScene_Puzzle::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    delete m_pBoard;
    m_pBoard = nullptr;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    modekit::DetachWindow(m_pBoardWindow);
    modekit::DetachWindow(m_pBackWindow);
    SaveRanking();
    m_bEntered = false;
}

void VanteoScene_Puzzle::ShowUI()
{
    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    auto add = [](kv::KVWnd* window, int cursor) {
        if (!window)
            return;
        kv::KVRect r = window->GetAbsoluteRect();
        g_Mouse.AddRect(cursor, r.left, r.top, r.right, r.bottom);
    };
    add(Find(m_pBoardWindow, L"Wnd_PuzzleArea"), kCursorBlock);
    for (const wchar_t* name : {L"Anibtn_menu", L"Anibtn_rotate_L", L"Anibtn_rotate_R"})
        add(Find(m_pBoardWindow, name), kCursorButton);
}

void VanteoScene_Puzzle::OpenPauseMenu()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open()) {
        const StageRecord* record = ModeConfig.currentStage;
        m_pPause->Setup(kPauseModeChallenges, platform::Narrow(PauseModeText(record ? record->name : "")).c_str());
    }
}

int VanteoScene_Puzzle::GoToMenu()
{
    PostChangeScene(kMainMenuSceneName, -1, 0);
    return 1;
}

int VanteoScene_Puzzle::OnPopUpYes(const void* data, int length) { return VanteoBaseScene::OnPopUpYes(data, length); }

int VanteoScene_Puzzle::OnPopUpNo(const void* data, int length) { return VanteoBaseScene::OnPopUpNo(data, length); }

void VanteoScene_Puzzle::UpdatePlayClockDisplay(float seconds)
{
    float clock = BoardPlayClock();
    m_PlayTimeDisplay.m_nFirst = static_cast<int>(clock / 60.0f);
    m_PlayTimeDisplay.m_nSecond = static_cast<int>(clock) % 60;
    m_PlayTimeDisplay.Update(seconds);
}

int VanteoScene_Puzzle::Restart(int a, int b)
{
    VanteoBaseScene::Restart(a, b);
    if (m_pBoardWindow)
        m_pBoardWindow->SetVisible(true);
    CreateScoreDisplay();
    m_PlayTimeDisplay.Bind(m_pBackWindow, kDigitStyle);
    StartNewBoardGame();
    m_nState = kGameStateStart;
    RestartMusic();
    m_nScore = 0;
    ShowUI();
    if (m_pBoardWindow)
        m_pBoardWindow->PlayUIScene(L"ready");
    if (kv::KVWnd* readyGo = Find(m_pBoardWindow, L"Wnd_ready_go"))
        readyGo->SetVisible(true);
    if (kv::KVWnd* ready = Find(m_pBoardWindow, L"Pic_ready"))
        ready->PlayUIScene(L"Pic_ready_Default");
    m_nState = kGameStateStart;
    PlayReadyGo();
    return 1;
}

int VanteoScene_Puzzle::OnPlayTimeStep(const void*, int)
{
    const StageRecord* record = ModeConfig.currentStage;
    if (record && record->speedUp) {
        m_SpeedUpEffect.Add(kSpeedUpEffectValue, kSpeedUpX, kSpeedUpY);
        SoundTable.PlaySoundByKey(kSoundSpeedUp, false, -1.0f);
    }
    return 1;
}

int VanteoScene_Puzzle::OnGroupCleared(const void* data, int length)
{
    VanteoBaseScene::OnGroupCleared(data, length);
    m_nScore = gamedata::SaturatingAdd(m_nScore, MessageWord(data, length, 3));
    return 1;
}

int VanteoScene_Puzzle::OnBigStarCleared(const void* data, int length)
{
    VanteoBaseScene::OnBigStarCleared(data, length);
    m_nScore = gamedata::SaturatingAdd(m_nScore, kStarBlastPoints);
    return 1;
}

int VanteoScene_Puzzle::Update(float seconds)
{
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();

    if (m_nState != kGameStateFinished && (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK))) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else
            OpenPauseMenu();
    }
    modekit::FillBulletsWhileEnterHeld(m_pBoard);

    if (m_nState == kGameStateStart) {
        m_ReadyGo.Update(seconds);
        if (m_pBoard) {
            m_pBoard->Update(seconds);
            m_pBoard->playTime = 0.0f;
        }
        if (system)
            system->Update(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
        UpdatePlayClockDisplay(0.0f);
        return 1;
    }
    if (m_nState == kGameStatePaused) {
        if (m_pBoard)
            m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        modekit::PauseKeys(*m_pPause);
        return 1;
    }

    if (system)
        system->Update(seconds);
    UpdateBonusMessage(seconds);
    if (!m_pBoard)
        return 1;
    m_pBoard->Update(seconds);
    m_SpeedUpEffect.Update(seconds * 0.5f);
    m_ScoreDisplay.SetValue(m_nScore);
    m_ScoreDisplay.Update(seconds);
    UpdatePlayClockDisplay(seconds);
    modekit::PlayBoardInput(*m_pBoard, m_pBoardWindow);
    return 1;
}

int VanteoScene_Puzzle::Render()
{
    m_SpeedUpEffect.Draw(nullptr);
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoScene_Puzzle::DrawPlayTime(kv::EventArgs&) { m_PlayTimeDisplay.Draw(); }

void VanteoScene_Puzzle::DrawScore(kv::EventArgs&) { m_ScoreDisplay.Render(nullptr, 0.0f); }

void VanteoScene_Puzzle::OnRotateRight(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_Puzzle::OnRotateLeft(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_Puzzle::OnMenuButton(kv::EventArgs&) { OpenPauseMenu(); }
