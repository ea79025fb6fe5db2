#include "modes/VanteoScene_IQEditorTest.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "engine/LayoutFiles.h"
#include "board/BoardEventRecorder.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/PopUpPause.h"
#include "menus/GameWorld.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoBlockMap_IQ.h"

#include <win32/VirtualKeys.h>

using modekit::Find;
using modekit::KeyPressed;
using modekit::SetButtonState;
using modekit::Show;

VanteoScene_IQEditorTest::VanteoScene_IQEditorTest(PuzzleLayout& layout) : m_Layout(layout)
{
    SetName(kPuzzleEditorTestSceneName);
}

VanteoScene_IQEditorTest::~VanteoScene_IQEditorTest() { Leave(); }

int VanteoScene_IQEditorTest::Enter(int index, int b)
{
    LoadPuzzleConfig(nullptr);
    m_pLayoutWindow = LoadLayout(SkinTable.GetSkinString(kSkinLayout));
    if (m_pLayoutWindow) {
        m_pLayoutWindow->SetVisible(true);
        modekit::PlayLayoutScene(m_pLayoutWindow, L"editor_test_in");
    }
    Show(m_pLayoutWindow, L"Anibtn_editor_test_cleared", false);
    Show(m_pLayoutWindow, L"Anibtn_editor_test", false);
    // The test's controls show; the editor's tools belong to the editor.
    Show(m_pLayoutWindow, L"Wnd_editor_tools", false);
    Show(m_pLayoutWindow, L"Wnd_editor_test_tools", true);

    m_nState = kGameStateStart;
    m_pBufferFrame = Find(m_pLayoutWindow, L"Pic_iq_bufferback");
    m_nPuzzleIndex = index;
    m_Hand = PuzzleHand{};
    if (m_pBufferFrame)
        m_pBufferFrame->SetVisible(true);

    auto bind = [this](const wchar_t* name, void (VanteoScene_IQEditorTest::*handler)(kv::EventArgs&)) {
        if (kv::KVWnd* w = Find(m_pLayoutWindow, name))
            w->AddHandler(kv::EventClicked, kv::MakeHandler(this, handler));
    };
    bind(L"Anibtn_editor_rotate_R", &VanteoScene_IQEditorTest::OnRotateRightButton);
    bind(L"Anibtn_editor_rotate_L", &VanteoScene_IQEditorTest::OnRotateLeftButtonClicked);
    bind(L"Anibtn_iq_reset", &VanteoScene_IQEditorTest::OnResetButton);
    bind(L"Anibtn_editor_retry", &VanteoScene_IQEditorTest::Retry);
    bind(L"Anibtn_sub_btn_exit", &VanteoScene_IQEditorTest::EndTest);
    bind(L"Anibtn_editor_endtest", &VanteoScene_IQEditorTest::EndTest);
    m_bCleared = 0;

    VanteoBaseScene::Enter(index, b);

    auto* board = new VanteoBlockMap_IQ(GameBoardWorld(), GameBoardTuning);
    m_pBoard = board;
    kv::KVWnd* area = Find(m_pLayoutWindow, L"Wnd_PuzzleArea");
    kv::KVPoint origin = area ? area->GetAbsolutePosition() : kv::KVPoint{369.0f, 174.0f};
    board->originX = origin.x;
    board->originY = origin.y;
    board->Init(m_pLayoutWindow, -1, -1);
    board->NewGame();
    board->LoadLayout(m_Layout.Data(), m_Layout.Size());

    m_nState = kGameStateStart;
    modekit::RestartMusic(kMusicPuzzle);
    ShowUI();
    m_bEntered = true;
    return 1;
}

void VanteoScene_IQEditorTest::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    modekit::DeleteBoard(m_pBoard);
    SoundTable.StopSoundByKey(kMusicPuzzle);
    modekit::DetachWindow(m_pLayoutWindow);
    m_pBufferFrame = nullptr;
    m_bEntered = false;
}

int VanteoScene_IQEditorTest::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoScene_IQEditorTest::ShowUI()
{
    // One whole-screen area: the cursor over the test is the block cursor.
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});
}

void VanteoScene_IQEditorTest::StartPuzzle()
{
    m_Hand = PuzzleHand{};
    if (m_pBoard) {
        m_pBoard->NewGame();
        m_pBoard->LoadLayout(m_Layout.Data(), m_Layout.Size());
    }
    ResetThisGame();
    m_nState = kGameStateStart;
    if (m_pLayoutWindow)
        m_pLayoutWindow->SetVisible(true);
    ShowUI();
    modekit::RestartMusic(kMusicPuzzle);
}

int VanteoScene_IQEditorTest::Restart(int a, int b)
{
    VanteoBaseScene::Restart(a, b);
    StartPuzzle();
    m_nState = kGameStateStart;
    return 1;
}

void VanteoScene_IQEditorTest::Retry(kv::EventArgs&)
{
    Restart(0, 0);
    m_nState = kGameStatePlaying;
}

void VanteoScene_IQEditorTest::EndTest(kv::EventArgs&)
{
    modekit::PostChangeScene(kPuzzleEditorSceneName, -1, m_bCleared);
}

void VanteoScene_IQEditorTest::OnResetButton(kv::EventArgs&) { Restart(0, 0); }

void VanteoScene_IQEditorTest::OnRotateRightButton(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoScene_IQEditorTest::OnRotateLeftButtonClicked(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoScene_IQEditorTest::ReturnToEditor(int cleared)
{
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->ChangeScene(kPuzzleEditorSceneName, -1, cleared);
}

int VanteoScene_IQEditorTest::OnBlockClicked(const void* data, int length)
{
    VanteoBaseScene::OnBlockClicked(data, length);
    if (!m_pBoard || m_nState == kGameStateFinished)
        return 1;
    if (ApplyPuzzleClick(*m_pBoard, m_Hand, BlockClickReport::Read(data, length))) {
        m_nState = kGameStateFinished;
        ReturnToEditor(0);
    }
    return 1;
}

int VanteoScene_IQEditorTest::OnGameWin(const void*, int)
{
    GetBoardEventRecorder().FinishRecording(nullptr);
    if (m_nState == kGameStateFinished || !m_pBoard)
        return 0;
    m_nState = kGameStateFinished;
    m_pBoard->frozen = 1;
    SoundTable.StopSoundByKey(kMusicPuzzle);
    m_bCleared = 1;
    ReturnToEditor(1);
    return 0;
}

int VanteoScene_IQEditorTest::Update(float seconds)
{
    if (!m_bEntered || !m_pBoard)
        return 1;
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    const float x = mouse ? static_cast<float>(mouse->m_x) : 0.0f;
    const float y = mouse ? static_cast<float>(mouse->m_y) : 0.0f;
    m_pExitQuestion->Update(seconds);
    m_pPause->Update(seconds);
    if (m_pBufferFrame)
        Show(m_pBufferFrame, L"Pic_iq_bufferblock", m_Hand.bufferInHand >= 1);
    g_Mouse.Update(seconds);
    kv::KVSystem* system = kv::KVSystem::GetPtr();

    if (m_nState == kGameStateStart) {
        m_pBoard->Update(seconds);
        m_pBoard->playTime = 0.0f;
        if (system)
            system->Update(seconds);
        m_nState = kGameStatePlaying;
        return 1;
    }
    if (m_nState == kGameStateFinished) {
        m_pBoard->Update(0.0f);
        if (system)
            system->Update(seconds);
        return 1;
    }
    if (mouse) {
        if (mouse->m_dwFlags & mouseflag::kLeftPressed)
            m_pBoard->Click(x, y);
        else if (mouse->m_dwFlags & mouseflag::kRightPressed)
            m_pBoard->RightClick(x, y);
    }
    if (KeyPressed('R'))
        Restart(0, 0);
    bool turnedLeft = false, turnedRight = false;
    if (mouse && mouse->m_nWheel > 0)
        turnedLeft = m_pBoard->StartRotate(-1) != 0;
    else if (mouse && mouse->m_nWheel < 0)
        turnedRight = m_pBoard->StartRotate(+1) != 0;
    if (KeyPressed('W') || KeyPressed('U'))
        turnedLeft = m_pBoard->RequestRotate(-1) != 0 || turnedLeft;
    else if (KeyPressed('E') || KeyPressed('I'))
        turnedRight = m_pBoard->RequestRotate(+1) != 0 || turnedRight;
    if (turnedLeft)
        SetButtonState(m_pLayoutWindow, L"Anibtn_rotate_L", 1);
    if (turnedRight)
        SetButtonState(m_pLayoutWindow, L"Anibtn_rotate_R", 1);
    m_pBoard->Update(seconds);
    if (system)
        system->Update(seconds);
    UpdateBonusMessage(seconds);
    m_pBoard->Hover(x, y);
    return 1;
}
