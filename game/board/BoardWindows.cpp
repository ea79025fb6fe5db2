#include "board/BoardWindows.h"

#include "kv/KVDirector.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

namespace {
constexpr const wchar_t* kNames[BoardWindows::kCount] = {
    L"Wnd_PuzzleArea",      L"Wnd_ComboArea",         L"Pic_puzzle_combo_black", L"Pic_plus_combo_1",
    L"Pic_plus_combo_2",    L"Pic_plus_combo_3",      L"Pic_num_combo",          L"Pic_num_bonus_1",
    L"Pic_num_bonus_2",     L"Pic_doublechance_on",   L"Pic_doublechance_white", L"Pic_doublechance_fail",
    L"Pic_doublechance_success"};
}

void BoardWindows::Bind(kv::KVWnd* layout)
{
    for (auto& window : m_windows)
        window = nullptr;
    if (!layout)
        return;
    for (int i = 0; i < kCount; ++i) {
        if (i >= kPlusCombo1 && i <= kPlusCombo3)
            continue;
        m_windows[i] = layout->FindChild(kNames[i]);
    }
    if (kv::KVWnd* panel = m_windows[kComboPanel])
        for (int i = kPlusCombo1; i <= kPlusCombo3; ++i)
            m_windows[i] = panel->FindChild(kNames[i]);
}

bool BoardWindows::AbsolutePosition(Id id, float* x, float* y) const
{
    if (!m_windows[id])
        return false;
    kv::KVPoint p = m_windows[id]->GetAbsolutePosition();
    *x = p.x;
    *y = p.y;
    return true;
}

bool BoardWindows::AbsoluteRect(Id id, int* left, int* top, int* right, int* bottom) const
{
    if (!m_windows[id])
        return false;
    kv::KVRect r = m_windows[id]->GetAbsoluteRect();
    *left = static_cast<int>(r.left);
    *top = static_cast<int>(r.top);
    *right = static_cast<int>(r.right);
    *bottom = static_cast<int>(r.bottom);
    return true;
}

D3DCOLOR BoardWindows::Colour(Id id) const
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(m_windows[id]))
        return label->colour;
    return 0xFFFFFFFF;
}

void BoardWindows::ShowWithFirstScene(Id id)
{
    kv::KVWnd* window = m_windows[id];
    if (!window)
        return;
    window->SetVisible(true);
    RestartFirstScene(id);
}

kv::KVDirector* AnimationDirectorOf(kv::KVWnd* window)
{
    if (!window)
        return nullptr;
    if (window->GetDirector())
        return window->GetDirector();
    auto* picture = dynamic_cast<kv::KVPicture*>(window);
    return picture ? picture->GetPictureDirector() : nullptr;
}

void RestartFirstUIScene(kv::KVWnd* window)
{
    kv::KVDirector* director = AnimationDirectorOf(window);
    if (!director)
        return;
    if (kv::KVAnimation* first = director->GetFirstScene()) {
        director->currentScene = first;
        first->Stop();
        first->Start();
    }
}

void BoardWindows::RestartFirstScene(Id id)
{
    RestartFirstUIScene(m_windows[id]);
}

void BoardWindows::HideWindowAtOnce(kv::KVWnd* window)
{
    if (!window || (!window->IsVisible() && !window->IsHiding()))
        return;
    if (window->GetEffectState() == kv::KVWnd::kShown || window->GetEffectState() == kv::KVWnd::kOpening ||
        window->IsVisible())
        window->SetVisible(false);
    // A closing effect would keep it on screen a while: end it now.
    window->SetEffectState(kv::KVWnd::kHidden);
    window->SetVisibleFlag(false);
}

void BoardWindows::HideAtOnce(Id id)
{
    HideWindowAtOnce(m_windows[id]);
}

void BoardWindows::StopAndHide(Id id)
{
    if (!m_windows[id])
        return;
    m_windows[id]->StopUIScene();
    HideAtOnce(id);
}

bool BoardWindows::IsShown(Id id) const
{
    return m_windows[id] && m_windows[id]->IsShownRecursive();
}

bool BoardWindows::IsVisible(Id id) const
{
    return m_windows[id] && m_windows[id]->IsVisible() && !m_windows[id]->IsHiding();
}

bool BoardWindows::AnimationEnded(Id id) const
{
    return m_windows[id] && !m_windows[id]->IsUIScenePlaying();
}
