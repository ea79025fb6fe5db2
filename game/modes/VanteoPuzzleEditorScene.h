// The puzzle editor: the player composes a logic puzzle on an 8 x 8 board from
// a palette of 15 pieces, saves it as a puzzle file, loads one, and test-plays
// it. The layout being edited is the shared layout buffer: the board posts its
// cells after every change and the editor copies them in; saving writes the
// buffer, loading reads a file into it, the test scene plays it.
#pragma once

#include "modes/VanteoBaseScene.h"
#include "board/VanteoBlock.h"
#include "board/VanteoBlockMap.h"
#include "modes/PuzzleLayout.h"
#include "modes/PuzzleRules.h"

#include <array>
#include <memory>
#include <string>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

// The editor's board: blocks stay where they are placed (no gravity, no refill,
// no square search); groups are labelled from the big blocks that were placed
// or loaded.
class VanteoBlockMap_IQEditor : public VanteoBlockMap {
public:
    VanteoBlockMap_IQEditor(const BoardWorld& world, BoardTuningSource tuning);
    ~VanteoBlockMap_IQEditor() override;

    void NewGame() override { VanteoBlockMap::NewGame(); }
    void Step(float seconds) override;
    int FindGroups() override;
    int NewBlockKind() override { return 0; }
    void DrawBlocks() override;
    // Labels the groups grown from big blocks; 1 when one was found.
    int FindGroupCells();

    // The editor's background picture; -1 while none is loaded (then nothing is
    // drawn).
    int backgroundTexture = -1;
};

// One piece of the palette.
struct EditorPiece {
    int key;               // the virtual-key code that selects it
    const wchar_t* button; // its button
    const wchar_t* picture;
    int kind;
    int big;
    int fixed;
};
inline constexpr int kEditorPieces = 15;
extern const std::array<EditorPiece, kEditorPieces> kEditorPalette;

class VanteoPuzzleEditorScene : public VanteoBaseScene {
public:
    static constexpr int kSkinLayout = 21;
    static constexpr int kMenuMusic = 24;
    static constexpr int kSoundBlockDown = 70;
    static constexpr const char* kUserFolder = "data/Puzzle/User";

    explicit VanteoPuzzleEditorScene(PuzzleLayout& layout);
    ~VanteoPuzzleEditorScene() override;

    int Enter(int a, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    int OnBlockClicked(const void* data, int length) override;
    int OnBoardLayout(const void* data, int length) override;

    void SelectPiece(int index);
    void PlaceAt(const BlockClickReport& click);
    void NewLayout();
    // The file operations; each answers whether a file was read or written.
    bool LoadPuzzle();
    bool SavePuzzle();
    bool SavePuzzleAs();
    void UpdateTestButtons();

    void OnNewButton(kv::EventArgs& args);
    void OnLoadButton(kv::EventArgs& args);
    void OnSaveButton(kv::EventArgs& args);
    void OnSaveAsButton(kv::EventArgs& args);
    void OnTestButton(kv::EventArgs& args);
    void OnExitButton(kv::EventArgs& args);
    void OnRotateRightButton(kv::EventArgs& args);
    void OnRotateLeftButtonClicked(kv::EventArgs& args);
    void OnPieceButton(kv::EventArgs& args);

    PuzzleLayout& m_Layout;
    std::wstring m_FilePath;
    std::array<std::unique_ptr<VanteoBlock>, kEditorPieces> m_PaletteBlocks;
    kv::KVWnd* m_pLayoutWindow = nullptr;
    int m_nSelectedPiece = 0;
    int m_bTestCleared = 0;
    bool m_bEntered = false;

private:
    // Asks for a file with the open or save dialog; empty when the player
    // cancels.
    std::wstring AskForFile(bool save);
    bool WriteTo(const std::wstring& path);
    void ReportSaveFailure(bool failed);
    void SyncPalette(float seconds);
    VanteoBlockMap_IQEditor* Board() const;
};
