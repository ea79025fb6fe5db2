#include "modes/VanteoScene_IQ.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardEventRecorder.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVDirector.h"
#include "kv/KVEventArgs.h"
#include "kv/KVLabel.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/PopUpPause.h"
#include "menus/PopUpResult.h"
#include "menus/GameWorld.h"
#include "modes/VanteoBlockMap_IQ.h"
#include "net/AchievementsSteam.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstring>

using modekit::Find;
using modekit::KeyPressed;
using modekit::SetButtonState;
using modekit::Show;

namespace {

constexpr const wchar_t* kTabPictures[kPuzzleTabs] = {L"Pic_iq_easy", L"Pic_iq_normal", L"Pic_iq_hard",
                                                      L"Pic_iq_userpuzzle"};
constexpr const wchar_t* kBestLabels[3] = {L"Label_iq_besttime_1", L"Label_iq_besttime_2", L"Label_iq_besttime_3"};
constexpr const wchar_t* kBestFailLabels[3] = {L"Label_iq_besttime_fail_1", L"Label_iq_besttime_fail_2",
                                               L"Label_iq_besttime_fail_3"};
constexpr const wchar_t* kCurrentLabels[3] = {L"Label_iq_currenttime_1", L"Label_iq_currenttime_2",
                                              L"Label_iq_currenttime_3"};

void SetParts(DigitDisplay* digits, int hundredths)
{
    const PuzzleTimeParts parts = PuzzleTimeParts::Of(hundredths);
    digits[0].SetValue(parts.minutes);
    digits[1].SetValue(parts.seconds);
    digits[2].SetValue(parts.hundredths);
}

} // namespace

VanteoScene_IQ::VanteoScene_IQ(PuzzleLayout& layout) : m_Layout(layout) { SetName(kPuzzlePlaySceneName); }

VanteoScene_IQ::~VanteoScene_IQ() { Leave(); }

std::string VanteoScene_IQ::ModeKey() const { return PuzzleModeKey(m_nTab, m_Entry.title); }

RankEntry* VanteoScene_IQ::RecordTable() const
{
    return m_Entry.path[0] ? FindRankingTable(RANK_PUZZLE, m_Entry.path) : nullptr;
}

int VanteoScene_IQ::Enter(int index, int tab)
{
    m_bEntered = false;
    LoadPuzzleConfig(nullptr);
    // The chooser only passes an index of its list; anything else has no puzzle
    // to play, and the player goes back to the chooser instead of onto an empty
    // board.
    if (index < 0 || index >= GetPuzzleCount() || tab < 0 || tab >= kPuzzleTabs) {
        DFLog(LOG_WARN,
              L"Logic puzzle %d of tab %d is not in the puzzle list (%d puzzles); "
              L"back to the chooser",
              index, tab, GetPuzzleCount());
        VanteoBaseScene::Enter(index, tab);
        modekit::PostChangeScene(kPuzzleSelectSceneName, std::clamp(tab, 0, kPuzzleTabs - 1), PuzzlePageOf(index));
        return 0;
    }

    m_pMainWindow = LoadLayout(SkinTable.GetSkinString(kSkinLayout));
    m_pBackWindow = LoadLayout(SkinTable.GetSkinString(kSkinBackLayout));
    if (m_pMainWindow)
        m_pMainWindow->SetVisible(true);
    if (m_pBackWindow) {
        m_pBackWindow->SetVisible(true);
        m_pBackWindow->SetMouseTransparent(true);
        m_pBackWindow->SetZOrder(1);
        if (kv::KVWnd* parent = m_pBackWindow->GetParent())
            parent->SortChildrenIfDirty();
    }
    Show(m_pBackWindow, L"Pic_txt_point", false);
    if (kv::KVWnd* place = Find(m_pBackWindow, L"Pic_puzzle_place"); place && m_pMainWindow) {
        kv::KVPoint at = place->GetAbsolutePosition();
        m_pMainWindow->SetAbsolutePosition(at.x, at.y);
    }

    m_nTab = tab;
    for (int t = 0; t < kPuzzleTabs; ++t)
        Show(m_pMainWindow, kTabPictures[t], t == tab);

    m_nState = kGameStateStart;
    m_pBufferFrame = Find(m_pMainWindow, L"Pic_iq_bufferback");
    m_nPuzzleIndex = index;
    m_Entry = *ModeConfig.puzzles[static_cast<size_t>(index)];
    m_Hand = PuzzleHand{};
    ShowBufferFrame();

    Show(m_pMainWindow, L"Wnd_record", true);
    Show(m_pBackWindow, L"Wnd_playtime", false);
    Show(m_pBackWindow, L"Wnd_point", false);
    Show(m_pMainWindow, L"Pic_effect_highlight_small", false);
    CreateDigits();

    auto bind = [this](const wchar_t* name, const wchar_t* event, void (VanteoScene_IQ::*handler)(kv::EventArgs&)) {
        if (kv::KVWnd* w = Find(m_pMainWindow, name))
            w->AddHandler(event, kv::MakeHandler(this, handler));
    };
    bind(L"Label_iq_besttime_1", kv::EventDraw, &VanteoScene_IQ::DrawBestTimeOn);
    bind(L"Label_iq_besttime_fail_3", kv::EventDraw, &VanteoScene_IQ::DrawBestTimeOff);
    bind(L"Anibtn_rotate_R", kv::EventClicked, &VanteoScene_IQ::OnRotateRightButton);
    bind(L"Anibtn_rotate_L", kv::EventClicked, &VanteoScene_IQ::OnRotateLeftButtonClicked);
    bind(L"Anibtn_menu", kv::EventClicked, &VanteoScene_IQ::OnMenuButtonClicked);
    bind(L"Anibtn_iq_reset", kv::EventClicked, &VanteoScene_IQ::OnResetButton);

    VanteoBaseScene::Enter(index, tab);
    AddHandlerEntry(MSG_RESULT_NEXT, nullptr, [this](const void*, int) { return NextPuzzle(); });
    AddHandlerEntry(MSG_RESULT_RETRY, nullptr, [this](const void*, int) { return Restart(0, 0); });
    AddHandlerEntry(MSG_RESULT_RETURN, nullptr, [this](const void*, int) { return Back(); });

    auto* board = new VanteoBlockMap_IQ(GameBoardWorld(), GameBoardTuning);
    m_pBoard = board;
    kv::KVWnd* area = Find(m_pMainWindow, L"Wnd_PuzzleArea");
    kv::KVPoint origin = area ? area->GetAbsolutePosition() : kv::KVPoint{369.0f, 174.0f};
    board->originX = origin.x;
    board->originY = origin.y;
    board->Init(m_pMainWindow, -1, -1);
    board->NewGame();
    board->noComboMode = 1;
    if (board->comboPanel)
        board->HideComboPanel();
    LoadCurrentPuzzle();

    m_nState = kGameStateStart;
    modekit::RestartMusic(kMusicPuzzle);
    ShowUI();

    m_pResultWin = new VanteoPopUp_Result_IQ_Clear();
    m_pResultLose = new VanteoPopUp_Result_IQ_Fail();
    m_pResultWin->Load();
    m_pResultLose->Load();

    modekit::LoadReadyGo(m_ReadyGo, m_pMainWindow);
    m_ReadyGo.Play("readygo");
    modekit::PlayEffect(kSoundReadyGo);
    m_bEntered = true;
    return 1;
}

void VanteoScene_IQ::CreateDigits()
{
    auto create = [this](DigitDisplay& digits, const wchar_t* label, int style) {
        kv::KVWnd* place = Find(m_pMainWindow, label);
        kv::KVRect r = place ? place->GetAbsoluteRect() : kv::KVRect{};
        digits.Create(2, style, 0, 0, static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top), 0);
        digits.m_fX = r.left;
        digits.m_fY = r.top;
        digits.m_bLeadingZeros = 1;
        if (auto* text = dynamic_cast<kv::KVLabel*>(place))
            digits.m_dwColour = text->colour;
        digits.SetValue(0);
    };
    for (int i = 0; i < 3; ++i) {
        create(m_CurrentTime[i], kCurrentLabels[i], kStyleCurrentTime);
        create(m_BestOn[i], kBestFailLabels[i], kStyleBestOn);
        create(m_BestOff[i], kBestFailLabels[i], kStyleBestOff);
    }
}

void VanteoScene_IQ::ShowBufferFrame()
{
    m_Hand.bufferInHand = m_Entry.type > 0 ? 1 : 0;
    if (m_pBufferFrame)
        m_pBufferFrame->SetVisible(m_Hand.bufferInHand > 0);
}

void VanteoScene_IQ::LoadCurrentPuzzle()
{
    if (!m_pBoard || !LoadPuzzleFile(m_Entry.path, m_Layout, *m_pBoard))
        return;
    modekit::SetText(m_pMainWindow, L"Label_iq_filename", platform::Widen(PuzzleFileTitle(m_Entry.path)));
}

void VanteoScene_IQ::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    modekit::DeleteBoard(m_pBoard);
    SoundTable.StopSoundByKey(kMusicPuzzle);
    modekit::DetachWindow(m_pMainWindow);
    modekit::DetachWindow(m_pBackWindow);
    m_pBufferFrame = nullptr;
    m_bEntered = false;
}

int VanteoScene_IQ::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    m_ReadyGo.Draw(&m_ReadyGo.m_matWorld);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoScene_IQ::ShowUI()
{
    g_Mouse.ClearRects();
    g_Mouse.AddWidgetRect(Find(m_pMainWindow, L"Wnd_PuzzleArea"), kCursorBlock);
    for (const wchar_t* name : {L"Anibtn_menu", L"Anibtn_rotate_L", L"Anibtn_rotate_R", L"Anibtn_iq_reset"})
        g_Mouse.AddWidgetRect(Find(m_pMainWindow, name), kCursorButton);
}

int VanteoScene_IQ::ComputeCubeReward(const void* table)
{
    return PuzzleCubeReward(static_cast<const RankEntry*>(table));
}

int VanteoScene_IQ::GoToMenu()
{
    modekit::PostChangeScene(kPuzzleSelectSceneName, m_nTab, PuzzlePageOf(m_nPuzzleIndex));
    return 0;
}

int VanteoScene_IQ::Back()
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kPuzzleSelectSceneName, m_nTab, PuzzlePageOf(m_nPuzzleIndex));
    return 1;
}

void VanteoScene_IQ::StartPuzzle()
{
    if (m_nPuzzleIndex >= 0 && m_nPuzzleIndex < GetPuzzleCount())
        m_Entry = *ModeConfig.puzzles[static_cast<size_t>(m_nPuzzleIndex)];
    m_Hand.spareMoves = 0;
    // Each attempt takes its hand from its own puzzle's type.
    ShowBufferFrame();
    if (m_pBoard)
        m_pBoard->NewGame();
    ResetThisGame();
    LoadCurrentPuzzle();
    m_nState = kGameStateStart;
    if (m_pMainWindow)
        m_pMainWindow->SetVisible(true);
    ShowUI();
    m_ReadyGo.Play("readygo");
    Show(m_pMainWindow, L"Wnd_record", true);
    // The clear's highlight belongs to the attempt that ended.
    Show(m_pMainWindow, L"Pic_effect_highlight_small", false);
    modekit::PlayEffect(kSoundReadyGo);
    modekit::RestartMusic(kMusicPuzzle);
}

int VanteoScene_IQ::Restart(int a, int b)
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    VanteoBaseScene::Restart(a, b);
    StartPuzzle();
    m_nState = kGameStateStart;
    return 1;
}

int VanteoScene_IQ::NextPuzzle()
{
    if (m_ReadyGo.m_bPlaying)
        return 0;
    if (m_nPuzzleIndex + 1 < GetPuzzleCount()) {
        m_nPuzzleIndex += 1;
        StartPuzzle();
        m_nState = kGameStateStart;
        return 1;
    }
    return Back();
}

void VanteoScene_IQ::OnRotateRightButton(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying && m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_IQ::OnRotateLeftButtonClicked(kv::EventArgs&)
{
    if (m_nState == kGameStatePlaying && m_pBoard)
        m_pBoard->StartRotate(-1);
}

void VanteoScene_IQ::OnMenuButtonClicked(kv::EventArgs&) { OnMenuButton(); }

void VanteoScene_IQ::OnResetButton(kv::EventArgs&) { Restart(0, 0); }

void VanteoScene_IQ::OnMenuButton()
{
    if (m_nState != kGameStatePlaying)
        return;
    m_nState = kGameStatePaused;
    SetMouseArea();
    if (m_pPause->Open())
        m_pPause->Setup(kPauseMode, ModeKey().c_str());
}

int VanteoScene_IQ::OnBlockClicked(const void* data, int length)
{
    VanteoBaseScene::OnBlockClicked(data, length);
    if (!m_pBoard || m_nState == kGameStateFinished)
        return 1;
    if (ApplyPuzzleClick(*m_pBoard, m_Hand, BlockClickReport::Read(data, length)))
        Fail();
    return 1;
}

void VanteoScene_IQ::Fail()
{
    m_nState = kGameStateFinished;
    m_pResultLose->Open();
    m_pResultLose->SetShowSound(kSoundFail);
    SetMouseArea();
    InsertRankingScore(RANK_PUZZLE, m_Entry.path, kScoreFail, PuzzleHundredths(BoardPlayClock()));
    RankEntry* table = RecordTable();
    GameConfig.cubes = std::min(GameConfig.cubes, kMaxCubes);
    SaveGameConfig();
    m_pResultLose->FillRanking(ModeKey().c_str(), table, 0);
    m_pBoard->frozen = 1;
    SoundTable.StopSoundByKey(kMusicPuzzle);
}

int VanteoScene_IQ::OnGameWin(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished || !m_pBoard)
        return 0;
    m_nState = kGameStateFinished;
    m_pBoard->frozen = 1;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    InsertRankingScore(RANK_PUZZLE, m_Entry.path, kScoreClear, PuzzleHundredths(BoardPlayClock()));
    SaveRanking();
    if (kv::KVWnd* highlight = Find(m_pMainWindow, L"Pic_effect_highlight_small")) {
        highlight->SetVisible(true);
        if (highlight->GetDirector())
            highlight->GetDirector()->PlaySceneIndex(0);
    }
    modekit::PlayEffect(kSoundClearFlourish);
    SetMouseArea();
    RankEntry* table = RecordTable();
    const int cubes = ComputeCubeReward(table);
    GameConfig.cubes = std::min(GameConfig.cubes + cubes, kMaxCubes);
    SaveGameConfig();
    m_pResultWin->Open();
    m_pResultWin->SetShowSound(kSoundClear);
    m_pResultWin->FillRanking(ModeKey().c_str(), table, cubes);
    return 0;
}

void VanteoScene_IQ::UpdateTimes(float seconds)
{
    const int h = PuzzleHundredths(BoardPlayClock());
    SetParts(m_CurrentTime, h);
    if (const RankEntry* table = RecordTable()) {
        const int best = table[0].time;
        if (h > best)
            Show(m_pMainWindow, L"Wnd_record", false);
        SetParts(m_BestOn, best);
        SetParts(m_BestOff, best);
    }
    for (int i = 0; i < 3; ++i) {
        m_CurrentTime[i].Update(seconds);
        m_BestOn[i].Update(seconds);
        m_BestOff[i].Update(seconds);
    }
}

int VanteoScene_IQ::Update(float seconds)
{
    if (!m_bEntered)
        return 1;
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    const float x = mouse ? static_cast<float>(mouse->m_x) : 0.0f;
    const float y = mouse ? static_cast<float>(mouse->m_y) : 0.0f;
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    if (m_pBufferFrame)
        Show(m_pBufferFrame, L"Pic_iq_bufferblock", m_Hand.bufferInHand >= 1);
    m_pResultWin->Update(seconds);
    m_pResultLose->Update(seconds);
    if (m_nState != kGameStateFinished && (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK))) {
        if (m_nState == kGameStatePaused)
            ResumePlay();
        else
            OnMenuButton();
    }
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();

    switch (m_nState) {
    case kGameStateStart:
        m_ReadyGo.Update(seconds);
        m_pBoard->Update(seconds);
        m_pBoard->playTime = 0.0f;
        if (system)
            system->Update(seconds);
        if (!m_ReadyGo.m_bPlaying)
            m_nState = kGameStatePlaying;
        break;
    case kGameStatePaused:
        m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        if (KeyPressed('R'))
            m_pPause->OnRetry();
        else if (KeyPressed('Q'))
            m_pPause->OnQuit();
        else if (KeyPressed('X'))
            m_pPause->OnExit();
        else if (KeyPressed('K'))
            m_pPause->OnKeyHelp();
        break;
    case kGameStateFinished:
        m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        break;
    default:
        if (mouse) {
            if (mouse->m_dwFlags & mouseflag::kLeftPressed)
                m_pBoard->Click(x, y);
            else if (mouse->m_dwFlags & mouseflag::kRightPressed)
                m_pBoard->RightClick(x, y);
        }
        if (KeyPressed('R')) {
            SetButtonState(m_pMainWindow, L"Anibtn_iq_reset", 1);
            Restart(0, 0);
        }
        if (mouse && mouse->m_nWheel > 0) {
            if (m_pBoard->StartRotate(-1))
                SetButtonState(m_pMainWindow, L"Anibtn_rotate_L", 1);
        } else if (mouse && mouse->m_nWheel < 0) {
            if (m_pBoard->StartRotate(+1))
                SetButtonState(m_pMainWindow, L"Anibtn_rotate_R", 1);
        }
        if (KeyPressed('W') || KeyPressed('U')) {
            if (m_pBoard->RequestRotate(-1))
                SetButtonState(m_pMainWindow, L"Anibtn_rotate_L", 1);
        } else if (KeyPressed('E') || KeyPressed('I')) {
            if (m_pBoard->RequestRotate(+1))
                SetButtonState(m_pMainWindow, L"Anibtn_rotate_R", 1);
        }
        m_pBoard->Update(seconds);
        if (system)
            system->Update(seconds);
        UpdateBonusMessage(seconds);
        m_pBoard->Hover(x, y);
        break;
    }
    UpdateTimes(seconds);
    return 1;
}

void VanteoScene_IQ::DrawBest(DigitDisplay* best, const wchar_t* const labels[3], const wchar_t* colourLabel)
{
    for (DigitDisplay& digits : m_CurrentTime)
        digits.Render(nullptr, 0.0f);
    if (RecordTable()) {
        for (int i = 0; i < 3; ++i)
            modekit::SetText(m_pMainWindow, labels[i], L"");
        auto* colour = dynamic_cast<kv::KVLabel*>(Find(m_pMainWindow, colourLabel));
        for (int i = 0; i < 3; ++i) {
            if (colour)
                best[i].m_dwColour = colour->colour;
            best[i].Render(nullptr, 0.0f);
        }
    } else {
        for (int i = 0; i < 3; ++i)
            modekit::SetText(m_pMainWindow, labels[i], L"--");
    }
}

void VanteoScene_IQ::DrawBestTimeOn(kv::EventArgs&) { DrawBest(m_BestOn, kBestLabels, L"Label_iq_besttime_3"); }

void VanteoScene_IQ::DrawBestTimeOff(kv::EventArgs&)
{
    DrawBest(m_BestOff, kBestFailLabels, L"Label_iq_besttime_fail_1");
}
