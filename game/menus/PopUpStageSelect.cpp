#include "menus/PopUpStageSelect.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "board/VanteoBlockMap.h"
#include "engine/InputSystem.h"
#include "engine/WindowMouse.h"
#include "kv/KVSlider.h"
#include "menus/GameWorld.h"

#include <win32/VirtualKeys.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

int g_nStageChallengeStage = -1;

namespace {

// The previews only show: what they would post or play goes nowhere.
class SilentMessages : public IMessageSink {
public:
    void Post(int32_t, const uint8_t*, size_t) override {}
};
class SilentSounds : public ISoundSink {
public:
    void Play(int, bool, float) override {}
    void Stop(int) override {}
    bool IsPlaying(int) override { return false; }
};
SilentMessages g_silentMessages;
SilentSounds g_silentSounds;

std::wstring TwoDigits(int n)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", n);
    return text;
}

constexpr int kRankingBoardHard = 5; // the hard stage challenge's ranking board

} // namespace

VanteoPopUp_StageSelect::VanteoPopUp_StageSelect() { RecreateBoards(); }

VanteoPopUp_StageSelect::~VanteoPopUp_StageSelect() = default;

void VanteoPopUp_StageSelect::RecreateBoards()
{
    for (size_t i = 0; i < m_Boards.size(); ++i) {
        m_Boards[i].reset();
        // Previews post nothing and stay silent; they draw from the game's generator as the
        // played board does.
        const BoardWorld world{g_silentMessages, g_silentSounds, GetGameRandom()};
        auto board = std::make_unique<VanteoBlockMap>(world, GameBoardTuning);
        board->Reset();
        board->Init(nullptr, kBoardSizes[i], kBoardSizes[i]);
        board->scaleX = board->scaleY = kPreviewScale;
        m_Boards[i] = std::move(board);
    }
}

void VanteoPopUp_StageSelect::SelectPreview(int stage)
{
    SelectStage(stage + 1);
    const StageRecord* record = ModeConfig.currentStage;
    if (!record)
        return;
    for (int i = 0; i < 6; ++i) {
        if (kBoardSizes[i] == record->xGrid) {
            m_nShown = i;
            break;
        }
    }
    ShownBoard()->NewGame();
}

int VanteoPopUp_StageSelect::Open()
{
    if (IsOpen())
        return 0;
    if (!OpenLayout(kLayout, nullptr))
        return 0;
    m_pWindow->SetZOrder(-4);
    if (kv::KVWnd* parent = m_pWindow->GetParent())
        parent->SortChildrenIfDirty();
    LoadModeConfig(kStageChallengeConfigFile);
    if (kv::KVWnd* area = Find(L"Pic_stageselect_puzzle")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        for (size_t i = 0; i < m_Boards.size(); ++i) {
            const float d = static_cast<float>((14 - kBoardSizes[i]) / 2) * kPreviewScale * 45.0f;
            m_Boards[i]->originX = at.x + d;
            m_Boards[i]->originY = at.y + d;
        }
    }
    PlayScene(L"select_in");
    m_nCurrent = std::clamp(g_nStageChallengeStage < 0 ? 0 : g_nStageChallengeStage, 0, kStages - 1);
    SelectPreview(m_nCurrent);
    SetLabel(L"Label_stage_num", TwoDigits(m_nCurrent + 1));
    return 1;
}

void VanteoPopUp_StageSelect::BindEvents()
{
    Bind(L"Anibtn_stageselect_start", &VanteoPopUp_StageSelect::OnStart);
    Bind(L"Anibtn_stageselect_close", &VanteoPopUp_StageSelect::OnClose);
    Bind(L"HSlider_stageselect", &VanteoPopUp_StageSelect::OnSlider, kv::EventSliderPosChanged);
    Bind(L"Pic_stageselect_puzzle", &VanteoPopUp_StageSelect::OnDrawPreview, kv::EventDraw);
}

void VanteoPopUp_StageSelect::Setup(int best)
{
    m_nDifficulty = 1;
    m_nBest = std::clamp(best, 0, kStages);
    if (m_nBest != kStages) {
        for (const wchar_t* name : {L"Wnd_stageselect_allclear", L"Pic_stageselect_allclear",
                                    L"Pic_stageselect_allclear_graph"})
            ShowChild(name, false);
    }
    auto* slider = dynamic_cast<kv::KVSlider*>(Find(L"HSlider_stageselect"));
    if (slider) {
        slider->min = 0;
        slider->max = kStages - 1;
        slider->UpdateThumb();
    }
    if (m_nBest != m_nCurrent) {
        m_nCurrent = g_nStageChallengeStage != -1 ? g_nStageChallengeStage : (m_nBest == kStages ? kStages - 1 : m_nBest);
        // The last stage played may lie beyond what may be chosen now (another difficulty, a
        // ranking file replaced): the choice never starts past its limit.
        m_nCurrent = std::clamp(m_nCurrent, 0, Limit());
        SelectPreview(m_nCurrent);
    }
    m_nCurrent = std::clamp(m_nCurrent, 0, Limit());
    if (slider) {
        slider->pos = std::clamp(m_nCurrent, slider->min, slider->max);
        slider->UpdateThumb();
    }
    PlaceMarkers();
    kv::KVWnd* record = Find(L"Pic_stageselect_record");
    kv::KVWnd* arrow = Find(L"Pic_stageselect_arrow");
    if (record && arrow)
        arrow->SetAbsolutePosition(arrow->GetAbsolutePosition().x, record->GetAbsolutePosition().y);
    ShowChild(L"Label_stageselect_easy", false);
    SetStageLabels();
}

void VanteoPopUp_StageSelect::PlaceMarkers()
{
    kv::KVWnd* graph = Find(L"Pic_stageselect_graph");
    if (!graph)
        return;
    const float step = graph->GetWidth() / static_cast<float>(kStages);
    graph->SetScale(static_cast<float>(m_nBest) / static_cast<float>(kStages), 1.0f);
    const float gx = graph->GetAbsolutePosition().x;
    if (kv::KVWnd* record = Find(L"Pic_stageselect_record")) {
        record->SetAbsolutePosition(gx + step * static_cast<float>(Limit() - 1), record->GetAbsolutePosition().y);
        if (m_nBest == kStages)
            ShowChild(L"Pic_stageselect_record", false);
    }
    if (kv::KVWnd* arrow = Find(L"Pic_stageselect_arrow"))
        arrow->SetAbsolutePosition(gx + step * static_cast<float>(m_nCurrent), arrow->GetAbsolutePosition().y);
}

void VanteoPopUp_StageSelect::SetStageLabels()
{
    SetLabel(L"Label_stageselect_stagenum", TwoDigits(m_nCurrent + 1));
    SetLabel(L"Label_stage_num", TwoDigits(m_nCurrent + 1));
    SetLabel(L"Label_stageselect_record", TwoDigits(Limit() + 1));
}

void VanteoPopUp_StageSelect::SetSlider(int position)
{
    auto* slider = dynamic_cast<kv::KVSlider*>(Find(L"HSlider_stageselect"));
    if (!slider)
        return;
    slider->pos = std::clamp(position, slider->min, slider->max);
    slider->UpdateThumb();
}

void VanteoPopUp_StageSelect::OnSlider(kv::EventArgs& args)
{
    args.handled = true;
    auto* changed = dynamic_cast<kv::SliderPosChangedEventArgs*>(&args);
    if (!changed)
        return;
    const int position = changed->pos;
    if (position == m_nCurrent)
        return;
    if (position > Limit()) {
        SetSlider(Limit());
        return;
    }
    m_nCurrent = position;
    PopUpSounds().Play(kSoundTick, false);
    PlaceMarkers();
    SetStageLabels();
    SelectPreview(m_nCurrent);
}

void VanteoPopUp_StageSelect::OnDrawPreview(kv::EventArgs& args)
{
    ShownBoard()->DrawBlocks();
    args.handled = true;
}

void VanteoPopUp_StageSelect::OnStart(kv::EventArgs&) { ButtonStep(L"select_out"); }

void VanteoPopUp_StageSelect::OnClose(kv::EventArgs&)
{
    if (ButtonStep(L"select_out"))
        m_nCurrent = -1;
}

void VanteoPopUp_StageSelect::ShowStageRecord()
{
    const StageRecord* record = ModeConfig.currentStage;
    if (!record)
        return;
    wchar_t size[32];
    std::swprintf(size, 32, L"%dX%d", record->xGrid, record->xGrid);
    SetLabel(L"Label_stage_size", size);
    if (record->clearType != 1 && record->clearType != 2)
        return;
    const bool points = record->clearType == 1;
    ShowChild(L"Wnd_stageselect_comboback", !points);
    ShowChild(L"Pic_stage_combo_top_dummy", !points);
    ShowChild(L"Wnd_stageselect_pointback", points);
    ShowChild(L"Pic_stage_point_top_dummy", points);
    SetLabel(L"Label_stage_mode", points ? L"POINT" : L"COMBO");
}

void VanteoPopUp_StageSelect::ShowClearMarks()
{
    bool allClear = false;
    bool clear = false;
    if (m_nCurrent != m_nBest) {
        const RankEntry* places = FindRankingTable(kRankingBoardHard, std::to_string(m_nCurrent).c_str());
        // A table whose first place holds no win (placeholders, time-outs) shows no mark.
        if (places && places[0].score >= 0) {
            allClear = std::strcmp(places[0].name, kLocalPlayerName) == 0;
            clear = !allClear;
        }
    }
    ShowChild(L"Pic_stage_allclear", allClear);
    ShowChild(L"Pic_stage_clear", clear);
}

void VanteoPopUp_StageSelect::Update(float seconds)
{
    if (IsOpen() && !m_bClosing) {
        ShownBoard()->Update(2.0f * seconds);
        ShowStageRecord();
        ShowClearMarks();
        CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
        kv::KVWnd* slider = Find(L"HSlider_stageselect");
        if (mouse && mouse->m_nWheel != 0 &&
            !(slider && slider->HitTest(static_cast<float>(mouse->m_x), static_cast<float>(mouse->m_y), true))) {
            if (mouse->m_nWheel > 0)
                SetSlider(std::max(m_nCurrent - 1, 0));
            else
                SetSlider(m_nCurrent + 1 < m_nBest ? m_nCurrent + 1 : m_nBest);
        }
        if (KeyPressed(VK_RIGHT) || KeyPressed('E') || KeyPressed('I'))
            SetSlider(m_nCurrent + 1 < m_nBest ? m_nCurrent + 1 : m_nBest);
        else if (KeyPressed(VK_LEFT) || KeyPressed('W') || KeyPressed('U'))
            SetSlider(std::max(m_nCurrent - 1, 0));
    }
    if (ClosingDone()) {
        DestroyWindow();
        if (m_nCurrent == -1)
            Post(MSG_STAGE_SELECT_CANCELLED);
        else
            PayloadWriter().I32(m_nDifficulty).I32(m_nCurrent).PostTo(PopUpMessages(), MSG_STAGE_SELECTED);
    }
    if (IsOpen() && (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}
