#include "menus/PopUpStageStart.h"

#include "data/ModeConfig.h"
#include "kv/KVDirector.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"

#include <helvane/Log.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Number(const wchar_t* format, int a, int b = 0)
{
    wchar_t text[32];
    std::swprintf(text, 32, format, a, b);
    return text;
}

std::wstring HintName(int n)
{
    return L"stage_start_" + std::to_wstring(n);
}

} // namespace

void VanteoPopUp_StageStart::Load()
{
    if (m_pWindow)
        return;
    kv::KVWnd* window = kv::GetKVSystem().CreateWindowFromLayout(kLayout);
    if (!window) {
        DFLog(L"stage start banner: layout %hs gave no window; stages start without it", kLayout);
        return;
    }
    m_pWindow = window;
    m_bClosing = 0;
    window->SetZOrder(-4);
    BindEvents();
}

void VanteoPopUp_StageStart::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_StageStart::OnOk);
}

int VanteoPopUp_StageStart::Open()
{
    if (!m_pWindow)
        return 0;
    m_pWindow->SetVisible(true);
    return 1;
}

bool VanteoPopUp_StageStart::IsOpen()
{
    return m_pWindow && m_pWindow->IsShownRecursive();
}

void VanteoPopUp_StageStart::Setup(int stage)
{
    m_nStage = stage;
    if (!m_pWindow)
        return;
    for (int n = 1; n <= kHints; ++n)
        ShowChild(HintName(n).c_str(), false);
    if (stage >= 0 && stage < kHints) {
        PlayScene(L"stagestart_in");
        if (auto* hint = dynamic_cast<kv::KVPicture*>(Find(HintName(stage + 1).c_str()))) {
            if (kv::KVDirector* director = hint->GetPictureDirector()) {
                if (director->currentScene)
                    director->currentScene->Stop();
                director->PlaySceneIndex(0);
            }
            hint->SetVisible(true);
        }
    } else {
        PlayScene(L"stagestart_2_in");
    }

    const StageRecord* record = ModeConfig.currentStage;
    if (!record)
        return;
    const wchar_t* goalLabel = nullptr;
    if (record->clearType == 1) {
        SetLabel(L"Label_stagestart_mode", L"POINT");
        goalLabel = L"Label_stagestart_point";
    } else if (record->clearType == 2) {
        SetLabel(L"Label_stagestart_mode", L"COMBO");
        goalLabel = L"Label_stagestart_combo";
    }
    ShowGoalPanels();
    if (goalLabel)
        SetLabel(goalLabel, Number(L"%d", record->clearNum));
    SetLabel(L"Label_stagestart_size", Number(L"%dX%d", record->xGrid, record->xGrid));
    SetLabel(L"Label_stagestart_stage", Number(L"%d", stage + 1));
    SetLabel(L"Label_stagestart_time", Number(L"%02d", record->clearTime));
}

void VanteoPopUp_StageStart::ShowGoalPanels()
{
    const StageRecord* record = ModeConfig.currentStage;
    if (!record || (record->clearType != 1 && record->clearType != 2))
        return;
    ShowChild(L"wnd_stagestart_point", record->clearType == 1);
    ShowChild(L"wnd_stagestart_combo", record->clearType == 2);
}

void VanteoPopUp_StageStart::OnOk(kv::EventArgs&)
{
    if (IsOpen())
        ButtonStep(L"stagestart_out");
}

void VanteoPopUp_StageStart::Update(float)
{
    if (ClosingDone()) {
        m_pWindow->SetVisible(false);
        m_bClosing = 0;
    }
    if (!IsOpen())
        return;
    ShowGoalPanels();
    if (KeyPressed(kPopUpKeySpace) || KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnOk(args);
    }
}
