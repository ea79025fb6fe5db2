// The title sequence of the first entry of a run (opening animation, warning screen, press any
// key) and the story opening of the very first run, with its replay from the main screen.
#include "menus/MainMenuScene.h"

#include "data/Options.h"
#include "engine/SoftwareCursor.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>

#include <cwchar>

namespace {

constexpr int kLayerOpening = -4;
constexpr int kLastAutoPage = 9;
constexpr int kDoorPage = 10;
constexpr int kClosingPage = 11;
constexpr int kReplayPage = 12;

void Show(kv::KVWnd* window, bool show)
{
    if (!window)
        return;
    const bool shown = window->IsVisible() && !window->IsHiding();
    if (shown != show)
        window->SetVisible(show);
}

void Play(kv::KVWnd* window, const wchar_t* scene)
{
    if (window)
        window->PlayUIScene(scene);
}

// A picture with its own animation starts it again from its first scene.
void RestartPicture(kv::KVWnd* parent, const std::wstring& name)
{
    if (!parent)
        return;
    if (auto* picture = dynamic_cast<kv::KVPicture*>(parent->FindWindow(name)))
        picture->PlayScene(L"");
}

} // namespace

int VanteoMainMenuScene::UpdateTitle(float seconds)
{
    if (m_nTitleState >= 5)
        return 0;
    kv::KVSystem& system = kv::GetKVSystem();
    m_OpeningAnimation.Update(seconds);
    system.Update(seconds);

    bool released = false;
    if (m_World.buttonReleased && m_World.buttonReleased()) {
        POINT at = m_World.cursor ? m_World.cursor() : POINT{0, 0};
        released = system.HitTest(static_cast<float>(at.x), static_cast<float>(at.y), false) != nullptr;
    }

    switch (m_nTitleState) {
    case 0:
        if (released) {
            g_Mouse.m_bVisible = 1;
            m_OpeningAnimation.Play("opening_2");
            m_nTitleState = 1;
        } else if (!m_OpeningAnimation.m_bPlaying) {
            m_nTitleState = 1;
        }
        break;
    case 1:
        if (!m_OpeningAnimation.m_bPlaying)
            m_nTitleState = 2;
        break;
    case 2:
        if (released) {
            if (kv::KVWnd* main = GetScreen(kScreenMain)) {
                Show(main->FindWindow(L"Pic_loading"), false);
                Show(main->FindWindow(L"Pic_pressanykey"), true);
            }
            m_nTitleState = 3;
        }
        break;
    case 3:
        m_nTitleState = 4;
        break;
    default:
        TitleTransition();
        m_nTitleState = 5;
        CheckUnlocks(m_nCurSubMenu);
        break;
    }
    return 1;
}

void VanteoMainMenuScene::TitleTransition()
{
    kv::KVSystem& system = kv::GetKVSystem();
    DestroyWindow(m_pWarning);
    m_nOpeningPage = -1;
    kv::KVWnd* main = GetScreen(kScreenMain);
    // The title's own pictures on the main screen are done with.
    if (main) {
        Show(main->FindWindow(L"Pic_loading"), false);
        Show(main->FindWindow(L"Pic_pressanykey"), false);
    }
    // A first run whose opening cannot be shown goes to the main screen like any later run.
    if (!GameConfig.showOpening && m_pOpening) {
        Show(m_pOpening, true);
        Play(m_pOpening, L"opening_in_1");
        Show(main, false);
        Show(m_pQuickMenu, false);
        m_nOpeningPage = 0;
        BindOpeningButtons(false);
        Show(m_pOpening->FindWindow(L"Btn_Quit"), false);
        StartMusic(kMusicOpening1);
        system.Update(0.0f);
        return;
    }
    if (!GameConfig.showOpening)
        DFLog(LOG_WARN, L"Main menu: the opening cannot be shown; the main screen shows instead");
    Show(main, true);
    Show(m_pQuickMenu, true);
    Play(m_pQuickMenu, L"main_return");
    Play(main, L"main_in");
    RestartPicture(main, L"open_logo1");
    system.Update(0.0f);
    StopSound(kMusicMenu);
    StartMusic(kMusicMenu);
}

void VanteoMainMenuScene::AdvanceOpeningPage()
{
    if (!m_pOpening || m_nOpeningPage < 0 || m_nOpeningPage > kLastAutoPage)
        return;
    if (m_nOpeningPage == 2)
        StartMusic(kMusicOpening2);
    else if (m_nOpeningPage == 7)
        StartMusic(kMusicOpening3);
    wchar_t name[32];
    std::swprintf(name, 32, L"opening_%d", m_nOpeningPage + 2);
    Play(m_pOpening, name);
    RestartPicture(m_pOpening, name);
    ++m_nOpeningPage;
    if (m_nOpeningPage == kDoorPage) {
        StopSound(kMusicOpening1);
        StopSound(kMusicOpening2);
        StopSound(kMusicOpening3);
        StartMusic(kMusicOpeningLoop);
        // The door is the only way on from the last page.
        Show(m_pOpening->FindWindow(L"Anibtn_opening_next"), false);
    }
}

void VanteoMainMenuScene::FinishOpening()
{
    kv::KVWnd* main = GetScreen(kScreenMain);
    Show(main, true);
    Show(m_pQuickMenu, true);
    Play(m_pQuickMenu, L"main_in");
    Play(main, L"main_in_2");
    DestroyWindow(m_pOpening);
    m_nOpeningPage = -1;
    m_ClickEffect.Clear();
    GameConfig.showOpening = 1;
    SaveGameConfig();
}

void VanteoMainMenuScene::UpdateOpening(float seconds)
{
    kv::KVSystem& system = kv::GetKVSystem();
    if (m_bSkipOpening && m_nOpeningPage >= 0)
        SkipOpening();
    if (m_nOpeningPage >= 0 && m_nOpeningPage <= kLastAutoPage) {
        if (!m_pOpening)
            return;
        if (!m_pOpening->IsUIScenePlaying())
            AdvanceOpeningPage();
    } else if (m_nOpeningPage == kClosingPage) {
        if (!m_pOpening || !m_pOpening->IsUIScenePlaying()) {
            FinishOpening();
            StopSound(kMusicOpeningLoop);
            StartMusic(kMusicMenu);
        }
    } else if (m_nOpeningPage == kReplayPage) {
        kv::KVWnd* main = GetScreen(kScreenMain);
        if (!main || !main->IsUIScenePlaying()) {
            if (m_World.holdTimer)
                m_World.holdTimer(true);
            DestroyWindow(m_pOpening);
            m_pOpening = Load("data/opening_2.xml");
            if (m_pOpening) {
                m_pOpening->SetZOrder(kLayerOpening);
                Show(m_pOpening, true);
                Play(m_pOpening, L"opening_in_2");
                Show(main, false);
                m_nOpeningPage = 0;
                BindOpeningButtons(true);
            } else {
                // Without the opening the main screen comes straight back.
                m_nOpeningPage = -1;
                Show(main, true);
                Show(m_pQuickMenu, true);
                Play(main, L"main_in_2");
            }
            if (m_World.holdTimer)
                m_World.holdTimer(false);
            StartMusic(m_pOpening ? kMusicOpening1 : kMusicMenu);
        }
    }
    system.Update(0.0f);
    if (!GameConfig.showOpening && m_pOpening)
        Show(m_pOpening->FindWindow(L"Btn_Quit"), false);
    m_ClickEffect.Update(seconds);
}

void VanteoMainMenuScene::OnOpeningNext(kv::EventArgs&)
{
    AdvanceOpeningPage();
}

void VanteoMainMenuScene::OnOpeningDoor(kv::EventArgs&)
{
    if (m_nOpeningPage != kDoorPage)
        return;
    Play(m_pOpening, L"opening_out");
    ++m_nOpeningPage;
}

void VanteoMainMenuScene::OnOpeningSkip(kv::EventArgs&)
{
    // The opening's windows go at the next update, not under the button's own click.
    if (m_nOpeningPage >= 0)
        m_bSkipOpening = true;
}

void VanteoMainMenuScene::SkipOpening()
{
    m_bSkipOpening = false;
    FinishOpening();
    StopSound(kMusicOpening1);
    StopSound(kMusicOpening2);
    StopSound(kMusicOpening3);
    StopSound(kMusicOpeningLoop);
    StartMusic(kMusicMenu);
}
