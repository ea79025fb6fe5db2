#include "modes/VanteoPuzzleSelectScene2.h"

#include "engine/Getters.h"
#include "modes/VanteoBaseScene.h"
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "board/GameMessages.h"
#include "board/VanteoBlockMap.h"
#include "engine/DigitDisplay.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVButton.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/GameWorld.h"
#include "menus/SceneNames.h"
#include "menus/MainMenuScene.h"
#include "modes/ModeSceneKit.h"

#include <helvane/Log.h>
#include <win32/Cursor.h>
#include <win32/Messages.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>
#include <win32/Window.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

using modekit::Find;
using modekit::KeyPressed;
using modekit::Show;

namespace {

constexpr const wchar_t* kTitles[kPuzzleTabs] = {L"pic_iqlist_title_easy", L"pic_iqlist_title_normal",
                                                 L"pic_iqlist_title_hard", L"pic_iqlist_title_user"};

std::wstring Numbered(const wchar_t* pattern, int n)
{
    wchar_t name[64];
    std::swprintf(name, 64, pattern, n);
    return name;
}

std::wstring Two(int value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", value);
    return text;
}

} // namespace

VanteoPuzzleSelectScene2::VanteoPuzzleSelectScene2(PuzzleLayout& layout) : m_Layout(layout)
{
    SetName(kPuzzleSelectSceneName);
    m_SlotState.fill(kSlotEmpty);
}

VanteoPuzzleSelectScene2::~VanteoPuzzleSelectScene2() { Leave(); }

int VanteoPuzzleSelectScene2::PageCount() const { return (GetPuzzleCount() - 1) / kSlots + 1; }

int VanteoPuzzleSelectScene2::Enter(int tab, int page)
{
    m_nSavedMusic = SoundTable.m_musicEnabled;
    if (SoundTable.m_musicEnabled)
        modekit::RestartMusic(kMusic);
    else
        SoundTable.StopSoundByKey(kMusic);

    m_nTab = std::clamp(tab, 0, kPuzzleTabs - 1);
    LoadPuzzleConfig(kPuzzleFolders[static_cast<size_t>(m_nTab)]);

    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        m_pLayoutWindow = system->CreateWindowFromLayout(kLayoutFile);
    if (m_pLayoutWindow)
        m_pLayoutWindow->SetVisible(true);
    for (int t = 0; t < kPuzzleTabs; ++t)
        Show(m_pLayoutWindow, kTitles[t], t == m_nTab);
    for (const wchar_t* name : {L"Pic_iqlist_arrow_L", L"Pic_iqlist_arrow_R"})
        if (kv::KVWnd* w = Find(m_pLayoutWindow, name))
            w->SetMouseTransparent(true);
    for (int n = 1; n <= kSlots; ++n)
        for (const wchar_t* pattern : {L"Pic_iqlist_allclear_%d", L"Pic_iqlist_clear_%d"})
            if (kv::KVWnd* w = Find(m_pLayoutWindow, Numbered(pattern, n).c_str())) {
                w->SetMouseTransparent(true);
                w->SetVisible(false);
            }

    // A page from outside is kept inside the list: -1 and anything before the
    // first page show the first, anything past the last page the last.
    m_nPage = std::clamp(page, 0, LastPage());
    UpdatePageButtons();
    modekit::SetText(m_pLayoutWindow, L"Pic_iqpuzzle_page_full", std::to_wstring(PageCount()));

    auto bind = [this](const std::wstring& name, const wchar_t* event,
                       void (VanteoPuzzleSelectScene2::*handler)(kv::EventArgs&)) {
        if (kv::KVWnd* w = Find(m_pLayoutWindow, name.c_str()))
            w->AddHandler(event, kv::MakeHandler(this, handler));
    };
    for (int n = 1; n <= kSlots; ++n)
        bind(Numbered(L"AniBtn_iqpuzzle_%d", n), kv::EventClicked, &VanteoPuzzleSelectScene2::OnSlotClicked);
    bind(L"AniBtn_iqpuzzle_next", kv::EventClicked, &VanteoPuzzleSelectScene2::OnNextClicked);
    bind(L"AniBtn_iqpuzzle_prev", kv::EventClicked, &VanteoPuzzleSelectScene2::OnPreviousClicked);
    bind(L"AniBtn_iqpuzzle_main", kv::EventClicked, &VanteoPuzzleSelectScene2::OnMainClicked);
    bind(L"Pic_top_line", kv::EventDraw, &VanteoPuzzleSelectScene2::DrawPreviews);

    AddHandlerEntry(MSG_CHANGE_SCENE, nullptr, [](const void* data, int length) {
        if (!data || length < MinimumMessageLength(MSG_CHANGE_SCENE))
            return 1;
        const auto* packet = static_cast<const uint8_t*>(data);
        const char* field = reinterpret_cast<const char*>(packet + 4);
        std::string name(field, strnlen(field, kSceneNameBytes));
        int32_t a = 0, b = 0;
        std::memcpy(&a, packet + 4 + kSceneNameBytes, 4);
        std::memcpy(&b, packet + 8 + kSceneNameBytes, 4);
        if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
            manager->ChangeScene(name.c_str(), a, b);
        return 1;
    });
    AddHandlerEntry(MSG_POPUP_YES, nullptr, [](const void* data, int length) {
        int32_t param = -1;
        if (data && length >= 8)
            std::memcpy(&param, static_cast<const uint8_t*>(data) + 4, 4);
        if (param == 0)
            if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
                manager->Quit();
        return 1;
    });
    AddHandlerEntry(MSG_POPUP_NO, nullptr, [this](const void* data, int length) {
        int32_t param = -1;
        if (data && length >= 8)
            std::memcpy(&param, static_cast<const uint8_t*>(data) + 4, 4);
        if (param == 0 && m_Thanks.Open()) {
            m_Thanks.SetTitle(L"THANKS");
            m_Thanks.SetMessage(L"THANK YOU");
        }
        return 1;
    });

    for (int k = 0; k < kSlots; ++k) {
        auto board = std::make_unique<VanteoBlockMap>(GameBoardWorld(), GameBoardTuning);
        if (kv::KVWnd* place = Find(m_pLayoutWindow, Numbered(L"Pic_iqpuzzle_puzzle_%d", k + 1).c_str())) {
            kv::KVPoint at = place->GetAbsolutePosition();
            board->originX = at.x;
            board->originY = at.y;
        }
        board->scaleX = board->scaleY = 0.5f;
        board->Init(nullptr, -1, -1);
        board->quiet = 1;
        board->blocksShown = 0;
        m_Previews[static_cast<size_t>(k)] = std::move(board);
    }

    g_Mouse.m_bVisible = 1;
    g_Mouse.ClearRects();
    g_Mouse.AddRect(2, RECT{0, 0, 1024, 768});

    m_nPendingChoice = -1;
    modekit::PlayLayoutScene(m_pLayoutWindow, L"iqlist_in");
    m_bMarksHidden = false;
    FillPage();
    return 1;
}

void VanteoPuzzleSelectScene2::Leave()
{
    if (DXSoundServer* server = DXSoundServer::GetSingletonPtr())
        server->StopAllEffects();
    if (m_nTab >= 0)
        SoundTable.m_musicEnabled = m_nSavedMusic;
    modekit::DetachWindow(m_pLayoutWindow);
    for (auto& board : m_Previews)
        board.reset();
    m_Question.Close();
    m_Thanks.Close();
    SoundTable.StopSoundByKey(kMusic);
}

void VanteoPuzzleSelectScene2::UpdatePageButtons()
{
    if (kv::KVWnd* next = Find(m_pLayoutWindow, L"AniBtn_iqpuzzle_next"))
        next->SetEnabled(m_nPage != LastPage());
    if (kv::KVWnd* previous = Find(m_pLayoutWindow, L"AniBtn_iqpuzzle_prev"))
        previous->SetEnabled(m_nPage != 0);
    modekit::SetText(m_pLayoutWindow, L"Pic_iqpuzzle_page", std::to_wstring(m_nPage + 1));
}

void VanteoPuzzleSelectScene2::NextPage()
{
    if (m_nPage >= LastPage())
        return;
    m_nPage += 1;
    UpdatePageButtons();
    FillPage();
}

void VanteoPuzzleSelectScene2::PreviousPage()
{
    if (m_nPage < 1)
        return;
    m_nPage -= 1;
    UpdatePageButtons();
    FillPage();
}

void VanteoPuzzleSelectScene2::FillPage()
{
    const int count = GetPuzzleCount();
    for (int k = 0; k < kSlots; ++k) {
        const int n = k + 1;
        const int i = m_nPage * kSlots + k;
        const std::wstring cleared = Numbered(L"Pic_iqlist_slot_cleared_%d", n);
        const std::wstring clearMark = Numbered(L"Pic_iqlist_clear_%d", n);
        const std::wstring allClearMark = Numbered(L"Pic_iqlist_allclear_%d", n);
        auto hideMarks = [&] {
            Show(m_pLayoutWindow, cleared.c_str(), false);
            Show(m_pLayoutWindow, clearMark.c_str(), false);
            Show(m_pLayoutWindow, allClearMark.c_str(), false);
        };
        VanteoBlockMap& board = *m_Previews[static_cast<size_t>(k)];
        if (i >= count) {
            Show(m_pLayoutWindow, Numbered(L"Pic_iqlist_slot_%d", n).c_str(), false);
            m_SlotState[static_cast<size_t>(k)] = kSlotEmpty;
            hideMarks();
            continue;
        }
        const PuzzleEntry& entry = *ModeConfig.puzzles[static_cast<size_t>(i)];
        Show(m_pLayoutWindow, Numbered(L"Pic_iqlist_slot_%d", n).c_str(), true);
        if (!entry.path[0]) {
            hideMarks();
            continue;
        }
        // A file that is missing or refused shows an empty preview; the slot can
        // still be chosen.
        if (LoadPuzzleFile(entry.path, m_Layout, board)) {
            m_SlotState[static_cast<size_t>(k)] = kSlotShown;
        } else {
            PuzzleLayout empty;
            board.LoadLayout(empty.Data(), empty.Size());
            m_SlotState[static_cast<size_t>(k)] = kSlotUnreadable;
        }
        modekit::SetText(m_pLayoutWindow, Numbered(L"Label_iqlist_num_%d", n).c_str(), std::to_wstring(i + 1));
        modekit::SetText(m_pLayoutWindow, Numbered(L"Label_iqpuzzle_name_%d", n).c_str(),
                           platform::Widen(std::string(entry.title, strnlen(entry.title, sizeof entry.title))));

        const RankEntry* table = FindRankingTable(RANK_PUZZLE, entry.path);
        if (!table) {
            hideMarks();
            continue;
        }
        // The player's best clear among the first five rows. A failed attempt is ranked too
        // (score -1, below every clear) but solves nothing: it earns neither time nor mark.
        int row = -1;
        for (int r = 0; r < 5 && row < 0; ++r)
            if (table[r].score >= 0 && std::strncmp(table[r].name, "##player##", RankEntry::kNameBytes) == 0)
                row = r;
        if (row < 0) {
            hideMarks();
            continue;
        }
        Show(m_pLayoutWindow, cleared.c_str(), true);
        Show(m_pLayoutWindow, clearMark.c_str(), row != 0);
        Show(m_pLayoutWindow, allClearMark.c_str(), row == 0);
        const PuzzleTimeParts parts = PuzzleTimeParts::Of(table[row].time);
        modekit::SetText(m_pLayoutWindow, Numbered(L"Label_iqlist_cleared_m_%d", n).c_str(), Two(parts.minutes));
        modekit::SetText(m_pLayoutWindow, Numbered(L"Label_iqlist_cleared_s_%d", n).c_str(), Two(parts.seconds));
        modekit::SetText(m_pLayoutWindow, Numbered(L"Label_iqlist_cleared_s2_%d", n).c_str(), Two(parts.hundredths));
    }
}

void VanteoPuzzleSelectScene2::PlayOut() { modekit::PlayLayoutScene(m_pLayoutWindow, L"iqlist_out"); }

void VanteoPuzzleSelectScene2::OnSlotClicked(kv::EventArgs& args)
{
    auto* event = dynamic_cast<kv::WindowEventArgs_<kv::KVButton>*>(&args);
    if (!event || !event->sender)
        return;
    for (int k = 0; k < kSlots; ++k)
        if (event->sender->GetName() == Numbered(L"AniBtn_iqpuzzle_%d", k + 1)) {
            PlayOut();
            m_nPendingChoice = m_nPage * kSlots + k;
        }
}

void VanteoPuzzleSelectScene2::OnMainClicked(kv::EventArgs&)
{
    PlayOut();
    m_nPendingChoice = kChoiceMainMenu;
}

void VanteoPuzzleSelectScene2::OnNextClicked(kv::EventArgs&) { NextPage(); }

void VanteoPuzzleSelectScene2::OnPreviousClicked(kv::EventArgs&) { PreviousPage(); }

void VanteoPuzzleSelectScene2::DrawPreviews(kv::EventArgs&)
{
    for (int k = 0; k < kSlots; ++k) {
        if (m_SlotState[static_cast<size_t>(k)] != kSlotShown)
            continue;
        kv::KVWnd* place = Find(m_pLayoutWindow, Numbered(L"Pic_iqpuzzle_puzzle_%d", k + 1).c_str());
        if (place && place->GetEffectiveAlpha() > 0.1f && modekit::IsShown(place))
            m_Previews[static_cast<size_t>(k)]->DrawBlocks();
    }
}

int VanteoPuzzleSelectScene2::Update(float seconds)
{
    UpdateBonusMessage(seconds);
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(seconds);
    m_Question.Update(seconds);
    m_Thanks.Update(seconds);
    for (int k = 0; k < kSlots; ++k)
        if (kv::KVWnd* place = Find(m_pLayoutWindow, Numbered(L"Pic_iqpuzzle_puzzle_%d", k + 1).c_str())) {
            kv::KVPoint at = place->GetAbsolutePosition();
            m_Previews[static_cast<size_t>(k)]->originX = at.x;
            m_Previews[static_cast<size_t>(k)]->originY = at.y;
        }

    const bool animating = m_pLayoutWindow && m_pLayoutWindow->IsUIScenePlaying();
    if (m_nPendingChoice != -1) {
        if (!animating) {
            if (CSceneManager* manager = CSceneManager::GetSingletonPtr()) {
                if (m_nPendingChoice == kChoiceMainMenu)
                    manager->ChangeScene(kMainMenuSceneName, 3, 0);
                else
                    manager->ChangeScene(kPuzzlePlaySceneName, m_nPendingChoice, m_nTab);
            }
            return 1;
        }
    } else if (animating) {
        for (int n = 1; n <= kSlots; ++n) {
            Show(m_pLayoutWindow, Numbered(L"Pic_iqlist_allclear_%d", n).c_str(), false);
            Show(m_pLayoutWindow, Numbered(L"Pic_iqlist_clear_%d", n).c_str(), false);
        }
        m_bMarksHidden = true;
    } else if (m_bMarksHidden) {
        m_bMarksHidden = false;
        FillPage();
    }

    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    if (mouse && mouse->m_nWheel > 0)
        PreviousPage();
    else if (mouse && mouse->m_nWheel < 0)
        NextPage();
    if (KeyPressed('P') || KeyPressed(VK_LEFT) || KeyPressed(VK_PRIOR) || KeyPressed('W') || KeyPressed('U'))
        PreviousPage();
    if (KeyPressed('N') || KeyPressed(VK_RIGHT) || KeyPressed(VK_NEXT) || KeyPressed('E') || KeyPressed('I'))
        NextPage();

    CSceneManager* manager = CSceneManager::GetSingletonPtr();
    if (KeyPressed(VK_F10)) {
        if (manager)
            manager->ChangeScene(kPuzzleEditorSceneName, 0, 0);
    } else if (KeyPressed(VK_ESCAPE) || KeyPressed(VK_BACK)) {
        if (manager)
            manager->ChangeScene(kMainMenuSceneName, 3, 0);
    } else {
        g_Mouse.Update(seconds);
    }
    return 1;
}

int VanteoPuzzleSelectScene2::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

int VanteoPuzzleSelectScene2::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ForwardToUi(msg, wParam, lParam);
}
