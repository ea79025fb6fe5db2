// The puzzle editor's test: the layout being edited, played on the logic-puzzle
// board with the play scene's rules, on the editor's screen. No introduction,
// timer, record or result: a clear goes back to the editor with the cleared
// mark, a failure or the end-test button without it.
#pragma once

#include "modes/VanteoBaseScene.h"
#include "modes/PuzzleLayout.h"
#include "modes/PuzzleRules.h"

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

class VanteoScene_IQEditorTest : public VanteoBaseScene {
public:
    static constexpr int kMusicPuzzle = 28;
    static constexpr int kSkinLayout = 21;

    explicit VanteoScene_IQEditorTest(PuzzleLayout& layout);
    ~VanteoScene_IQEditorTest() override;

    int Enter(int index, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnBlockClicked(const void* data, int length) override;
    int GoToMenu() override { return 0; }

    void Retry(kv::EventArgs& args);
    void EndTest(kv::EventArgs& args);
    void OnResetButton(kv::EventArgs& args);
    void OnRotateRightButton(kv::EventArgs& args);
    void OnRotateLeftButtonClicked(kv::EventArgs& args);

    PuzzleLayout& m_Layout;
    kv::KVWnd* m_pLayoutWindow = nullptr;
    kv::KVWnd* m_pBufferFrame = nullptr;
    PuzzleHand m_Hand;
    int m_bCleared = 0;
    int m_nPuzzleIndex = -1;
    bool m_bEntered = false;

private:
    void StartPuzzle();
    void ReturnToEditor(int cleared);
};
