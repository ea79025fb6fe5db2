// The puzzle chooser: one folder of puzzles (a tab: Easy, Normal, Hard or User)
// as pages of eight slots, each with the puzzle's number, name, a half-size
// preview and, once solved, the best time and a clear mark. A slot starts the
// play scene on its puzzle once the layout's out animation has ended; the
// main-menu button, Escape and Backspace go back to the menu, F10 to the
// editor.
#pragma once

#include "engine/Scene.h"
#include "menus/PopUp.h"
#include "modes/PuzzleLayout.h"
#include "modes/PuzzleRules.h"

#include <array>
#include <memory>

class VanteoBlockMap;
namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

class VanteoPuzzleSelectScene2 : public CScene {
public:
    static constexpr const char* kLayoutFile = "data/iqpuzzle_select.xml";
    static constexpr int kMusic = 29;
    static constexpr int kSlots = kPuzzlesPerPage;
    static constexpr int kChoiceMainMenu = 100000;
    // Slot states.
    static constexpr int kSlotShown = 0;
    static constexpr int kSlotUnreadable = 2;
    static constexpr int kSlotEmpty = 3;

    explicit VanteoPuzzleSelectScene2(PuzzleLayout& layout);
    ~VanteoPuzzleSelectScene2() override;

    int Enter(int tab, int page) override;
    void Leave() override;
    int Update(float seconds) override;
    int Render() override;
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int PageCount() const;
    int LastPage() const { return PageCount() - 1; }
    void NextPage();
    void PreviousPage();
    void FillPage();

    void OnSlotClicked(kv::EventArgs& args);
    void OnMainClicked(kv::EventArgs& args);
    void OnNextClicked(kv::EventArgs& args);
    void OnPreviousClicked(kv::EventArgs& args);
    void DrawPreviews(kv::EventArgs& args);

    PuzzleLayout& m_Layout;
    std::array<std::unique_ptr<VanteoBlockMap>, kSlots> m_Previews;
    kv::KVWnd* m_pLayoutWindow = nullptr;
    std::array<int, kSlots> m_SlotState{};
    int m_nPage = 0;
    int m_nSavedMusic = 0;
    int m_nTab = -1;
    int m_nPendingChoice = -1;
    VanteoPopUp_OKCancel m_Question;
    VanteoPopUp_OK m_Thanks;

private:
    void UpdatePageButtons();
    void PlayOut();
    // The clear marks hide while a layout animation plays and come back once it
    // has ended.
    bool m_bMarksHidden = false;
};
