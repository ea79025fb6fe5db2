#include "modes/VanteoPuzzleEditorScene.h"

#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "engine/LayoutFiles.h"
#include "board/GameMessages.h"
#include "engine/InputSystem.h"
#include "engine/RenderBackend.h"
#include "engine/SkinTable.h"
#include "engine/SoftwareCursor.h"
#include "engine/SoundTable.h"
#include "kv/KVButton.h"
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVSystem.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"
#include "menus/GameWorld.h"
#include "menus/SceneNames.h"
#include "menus/MainMenuScene.h"
#include "modes/ModeSceneKit.h"

#include <dialogs/CommonDialogs.h>
#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/VirtualKeys.h>

#include <cstring>
#include <filesystem>

using modekit::Find;
using modekit::KeyPressed;

const std::array<EditorPiece, kEditorPieces> kEditorPalette = {{
    {'1', L"Anibnt_blockselect_1", L"Pic_block_blue_s", 1, 0, 0},
    {'2', L"Anibnt_blockselect_2", L"Pic_block_green_s", 2, 0, 0},
    {'3', L"Anibnt_blockselect_3", L"Pic_block_red_s", 3, 0, 0},
    {'4', L"Anibnt_blockselect_4", L"Pic_block_stone_s", 5, 0, 0},
    {'5', L"Anibnt_blockselect_5", L"Pic_block_star_s", 4, 0, 0},
    {'Q', L"Anibnt_blockselect_q", L"Pic_block_blue_l", 1, 1, 0},
    {'W', L"Anibnt_blockselect_w", L"Pic_block_green_l", 2, 1, 0},
    {'E', L"Anibnt_blockselect_e", L"Pic_block_red_l", 3, 1, 0},
    {'R', L"Anibnt_blockselect_r", L"Pic_block_stone_l", 5, 1, 0},
    {'T', L"Anibnt_blockselect_t", L"Pic_block_star_l", 4, 1, 0},
    {'A', L"Anibnt_blockselect_a", L"Pic_block_blue_pin", 1, 0, 1},
    {'S', L"Anibnt_blockselect_s", L"Pic_block_green_pin", 2, 0, 1},
    {'D', L"Anibnt_blockselect_d", L"Pic_block_red_pin", 3, 0, 1},
    {'F', L"Anibnt_blockselect_f", L"Pic_block_stone_pin", 5, 0, 1},
    {'G', L"Anibnt_blockselect_g", L"Pic_block_wall", 7, 0, 0},
}};

// --- the editor's board
// -------------------------------------------------------------------------

VanteoBlockMap_IQEditor::VanteoBlockMap_IQEditor(const BoardWorld& world, BoardTuningSource tuning)
    : VanteoBlockMap(world, std::move(tuning))
{
    Reset();
}

VanteoBlockMap_IQEditor::~VanteoBlockMap_IQEditor() { DestroyBlocks(); }

void VanteoBlockMap_IQEditor::Step(float seconds)
{
    UpdateClearQueue(seconds);
    if (IsBusy())
        return;
    if (starBlasts != 0) {
        StarBlastStep();
        return;
    }
    FindGroupCells();
    settled = 1;
    if (layoutPending) {
        layoutPending = 0;
        PostLayout();
    }
}

int VanteoBlockMap_IQEditor::FindGroups()
{
    turnReady = 1;
    return 0;
}

int VanteoBlockMap_IQEditor::FindGroupCells()
{
    if (!cells)
        return 0;
    const int count = CellCount();
    std::memset(visited, 0, static_cast<size_t>(count));
    groups.clear();
    bool found = false;
    for (int i = 0; i < count; ++i) {
        VanteoBlock* start = cells[i];
        start->joinRight = 0;
        start->joinBottom = 0;
        if (visited[i] || !start->present || start->kind == kBlockStar || !start->corner)
            continue;
        visited[i] = 1;
        std::vector<int> group = {i};
        for (size_t next = 0; next < group.size(); ++next) {
            const int col = group[next] % width, row = group[next] / width;
            const int around[4][2] = {{col + 1, row}, {col - 1, row}, {col, row + 1}, {col, row - 1}};
            for (const auto& at : around) {
                if (!Inside(at[0], at[1]))
                    continue;
                const int n = at[0] + at[1] * width;
                if (!visited[n] && cells[n]->present && cells[n]->kind == start->kind) {
                    visited[n] = 1;
                    group.push_back(n);
                }
            }
        }
        groups.insert(groups.end(), group.begin(), group.end());
        groups.push_back(-1);
        found = true;
    }
    MarkGroupOutlines();
    return found ? 1 : 0;
}

void VanteoBlockMap_IQEditor::DrawBlocks()
{
    if (!blocksShown || !cells)
        return;
    // The backdrop goes first, so the blocks and effects lie on it.
    if (!quiet && backgroundTexture >= 0)
        GetRenderBackend().DrawSprite(backgroundTexture, 0xFFFFFFFF, nullptr);
    UpdateDrawMatrix();
    const int count = CellCount();
    if (turnTarget == 0) {
        for (int i = 0; i < count; ++i)
            cells[i]->DrawBlock(&drawMatrix, 1.0f);
    } else {
        const float x = turnAngle / turnTarget;
        for (int i = 0; i < count; ++i) {
            VanteoBlock* b = cells[i];
            b->DrawBlock(&drawMatrix, (1.0f - x) * 2.0f);
            b->SetAngle(-turnTarget);
            b->DrawBlock(&drawMatrix, x * 2.0f);
            b->SetAngle(0);
        }
    }
    if (!quiet) {
        clearEffect.Draw(&drawMatrix);
        comboEffect.Draw(nullptr);
    }
}

// --- the scene
// ----------------------------------------------------------------------------------

VanteoPuzzleEditorScene::VanteoPuzzleEditorScene(PuzzleLayout& layout) : m_Layout(layout)
{
    m_Layout.SetId(kPuzzleLayoutId);
    SetName(kPuzzleEditorSceneName);
}

VanteoPuzzleEditorScene::~VanteoPuzzleEditorScene() { Leave(); }

VanteoBlockMap_IQEditor* VanteoPuzzleEditorScene::Board() const
{
    return static_cast<VanteoBlockMap_IQEditor*>(m_pBoard);
}

int VanteoPuzzleEditorScene::Enter(int a, int b)
{
    LoadPuzzleConfig(nullptr);
    m_pLayoutWindow = LoadLayout(SkinTable.GetSkinString(kSkinLayout));
    if (m_pLayoutWindow) {
        m_pLayoutWindow->SetVisible(true);
        modekit::PlayLayoutScene(m_pLayoutWindow, L"editor_in");
    }
    modekit::Show(m_pLayoutWindow, L"Label_pleasesave", false);
    // The editor's tools show; the test's controls belong to the test scene.
    modekit::Show(m_pLayoutWindow, L"Wnd_editor_tools", true);
    modekit::Show(m_pLayoutWindow, L"Wnd_editor_test_tools", false);

    auto bind = [this](const wchar_t* name, void (VanteoPuzzleEditorScene::*handler)(kv::EventArgs&)) {
        if (kv::KVWnd* w = Find(m_pLayoutWindow, name))
            w->AddHandler(kv::EventClicked, kv::MakeHandler(this, handler));
    };
    bind(L"Anibtn_editor_rotate_R", &VanteoPuzzleEditorScene::OnRotateRightButton);
    bind(L"Anibtn_editor_rotate_L", &VanteoPuzzleEditorScene::OnRotateLeftButtonClicked);
    bind(L"Anibtn_sub_btn_exit", &VanteoPuzzleEditorScene::OnExitButton);
    for (const EditorPiece& piece : kEditorPalette)
        bind(piece.button, &VanteoPuzzleEditorScene::OnPieceButton);
    bind(L"Anibtn_new", &VanteoPuzzleEditorScene::OnNewButton);
    bind(L"Anibtn_load", &VanteoPuzzleEditorScene::OnLoadButton);
    bind(L"Anibtn_save", &VanteoPuzzleEditorScene::OnSaveButton);
    bind(L"Anibtn_save as", &VanteoPuzzleEditorScene::OnSaveAsButton);
    bind(L"Anibtn_editor_test", &VanteoPuzzleEditorScene::OnTestButton);
    bind(L"Anibtn_editor_test_cleared", &VanteoPuzzleEditorScene::OnTestButton);

    for (int i = 0; i < kEditorPieces; ++i) {
        const EditorPiece& piece = kEditorPalette[static_cast<size_t>(i)];
        if (!m_PaletteBlocks[static_cast<size_t>(i)])
            m_PaletteBlocks[static_cast<size_t>(i)] = std::make_unique<VanteoBlock>(GetGameRandom());
        VanteoBlock& block = *m_PaletteBlocks[static_cast<size_t>(i)];
        block.Reset();
        kv::KVWnd* picture = Find(m_pLayoutWindow, piece.picture);
        if (picture) {
            picture->SetMouseTransparent(true);
            kv::KVPoint at = picture->GetAbsolutePosition();
            block.x = block.targetX = at.x;
            block.y = block.targetY = at.y;
        }
        block.present = 1;
        block.kind = piece.kind;
        block.corner = piece.big ? 1 : 0;
        block.fixed = piece.fixed;
    }

    VanteoBaseScene::Enter(a, b);

    auto* board = new VanteoBlockMap_IQEditor(GameBoardWorld(), GameBoardTuning);
    m_pBoard = board;
    board->originX = 369.0f;
    board->originY = 174.0f;
    if (kv::KVWnd* area = Find(m_pLayoutWindow, L"Wnd_PuzzleArea")) {
        kv::KVPoint at = area->GetAbsolutePosition();
        board->originX = at.x;
        board->originY = at.y;
    }
    board->VanteoBlockMap::Init(m_pLayoutWindow, -1, -1);
    // The base Init binds the layout but loads no backdrop: the editor loads it
    // here.
    board->backgroundTexture = GetRenderBackend().GetTextureHandle("VanteoBG_Puzzle1.bmp", true);
    board->NewGame();

    if (a == -1) {
        m_bTestCleared = b;
        board->LoadLayout(m_Layout.Data(), m_Layout.Size());
    } else {
        m_bTestCleared = 0;
        m_Layout.ClearCells();
        m_FilePath.clear();
    }

    if (kv::KVWnd* cleared = Find(m_pLayoutWindow, L"Pic_editor_text_test_cleared"))
        cleared->SetMouseTransparent(true);
    SoundTable.StopSoundByKey(kMenuMusic);
    modekit::RestartMusic(kMenuMusic);

    m_nSelectedPiece = 0;
    SelectPiece(0);
    g_Mouse.ClearRects();
    g_Mouse.AddRect(kCursorBlock, RECT{0, 0, 1024, 768});
    m_bEntered = true;
    return 1;
}

void VanteoPuzzleEditorScene::Leave()
{
    if (!m_bEntered)
        return;
    VanteoBaseScene::Leave();
    modekit::DeleteBoard(m_pBoard);
    SoundTable.StopSoundByKey(kMenuMusic);
    modekit::DetachWindow(m_pLayoutWindow);
    m_bEntered = false;
}

int VanteoPuzzleEditorScene::Render()
{
    if (kv::KVWnd* root = kv::GetRootLayer())
        root->Draw();
    for (auto& block : m_PaletteBlocks)
        if (block)
            block->DrawBlock(nullptr, 1.0f);
    DrawBonusMessage();
    g_Mouse.Draw();
    return 1;
}

void VanteoPuzzleEditorScene::SyncPalette(float seconds)
{
    for (int i = 0; i < kEditorPieces; ++i) {
        VanteoBlock* block = m_PaletteBlocks[static_cast<size_t>(i)].get();
        if (!block)
            continue;
        kv::KVWnd* picture = Find(m_pLayoutWindow, kEditorPalette[static_cast<size_t>(i)].picture);
        if (picture) {
            kv::KVPoint at = picture->GetAbsolutePosition();
            block->x = block->targetX = at.x;
            block->y = block->targetY = at.y;
        }
        if (modekit::IsShown(picture))
            block->present = 1;
        else
            block->Empty();
        block->Update(seconds);
    }
}

int VanteoPuzzleEditorScene::Update(float seconds)
{
    if (!m_bEntered || !m_pBoard)
        return 1;
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    const float x = mouse ? static_cast<float>(mouse->m_x) : 0.0f;
    const float y = mouse ? static_cast<float>(mouse->m_y) : 0.0f;
    g_Mouse.Update(seconds);
    UpdateTestButtons();
    m_pBoard->Update(seconds);
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(seconds);
    SyncPalette(seconds);

    if (KeyPressed(VK_BACK) || KeyPressed(VK_ESCAPE)) {
        modekit::PostChangeScene(kMainMenuSceneName, 3, 0);
        return 1;
    }
    for (int i = 0; i < kEditorPieces; ++i)
        if (KeyPressed(kEditorPalette[static_cast<size_t>(i)].key)) {
            SelectPiece(i);
            break;
        }
    UpdateBonusMessage(seconds);
    m_pBoard->Hover(x, y);
    if (mouse) {
        if (mouse->m_dwFlags & mouseflag::kLeftPressed)
            m_pBoard->Click(x, y);
        else if (mouse->m_dwFlags & mouseflag::kRightPressed)
            m_pBoard->RightClick(x, y);
        if (mouse->m_nWheel > 0) {
            if (m_pBoard->StartRotate(-1))
                modekit::SetButtonState(m_pLayoutWindow, L"Anibtn_editor_rotate_L", 1);
        } else if (mouse->m_nWheel < 0) {
            if (m_pBoard->StartRotate(+1))
                modekit::SetButtonState(m_pLayoutWindow, L"Anibtn_editor_rotate_R", 1);
        }
    }
    return 1;
}

void VanteoPuzzleEditorScene::SelectPiece(int index)
{
    if (index < 0 || index >= kEditorPieces)
        return;
    if (kv::KVWnd* old = Find(m_pLayoutWindow, kEditorPalette[static_cast<size_t>(m_nSelectedPiece)].button)) {
        if (!old->IsEnabled())
            old->SetEnabled(true);
        if (auto* button = dynamic_cast<KVVanteoAnimButton*>(old))
            button->SetState(0);
    }
    m_nSelectedPiece = index;
    if (kv::KVWnd* selected = Find(m_pLayoutWindow, kEditorPalette[static_cast<size_t>(index)].button)) {
        selected->SetEnabled(false);
        selected->SetActiveFlag(false);
    }
}

int VanteoPuzzleEditorScene::OnBlockClicked(const void* data, int length)
{
    VanteoBaseScene::OnBlockClicked(data, length);
    PlaceAt(BlockClickReport::Read(data, length));
    return 1;
}

void VanteoPuzzleEditorScene::PlaceAt(const BlockClickReport& click)
{
    if (!m_pBoard)
        return;
    VanteoBlock* p = m_pBoard->CellAt(click.col, click.row);
    if (!p)
        return;
    VanteoBlock* r = m_pBoard->CellAt(click.col + 1, click.row);
    VanteoBlock* d = m_pBoard->CellAt(click.col, click.row + 1);
    VanteoBlock* rd = m_pBoard->CellAt(click.col + 1, click.row + 1);
    m_bTestCleared = 0;
    if (click.present) {
        if (p->kind == kBlockWall || p->kind == kBlockStone)
            p->Empty();
        if (p->fixed)
            p->Empty();
    } else {
        modekit::PlayEffect(kSoundBlockDown);
        const EditorPiece& piece = kEditorPalette[static_cast<size_t>(m_nSelectedPiece)];
        // A placed piece starts clean: no flags of a block that was there before.
        auto place = [&](VanteoBlock* b) {
            b->kind = piece.kind;
            b->present = 1;
            b->fixed = piece.fixed;
            b->point = 0;
            b->pin = 0;
        };
        if (piece.big) {
            p->fixed = 0;
            const bool fits = r && d && rd && !r->inSquare && !r->corner && !d->inSquare && !d->corner &&
                              !rd->inSquare && !rd->corner;
            if (fits) {
                place(p);
                p->corner = 1;
                p->inSquare = 0;
                for (VanteoBlock* b : {r, d, rd}) {
                    place(b);
                    b->corner = 0;
                    b->inSquare = 1;
                }
            }
        } else {
            place(p);
        }
    }
    m_pBoard->PostLayout();
}

int VanteoPuzzleEditorScene::OnBoardLayout(const void* data, int length)
{
    VanteoBaseScene::OnBoardLayout(data, length);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (length < static_cast<int>(kPuzzleLayoutBytes))
        return 1;
    for (int i = 0; i < kPuzzleCells; ++i)
        m_Layout.SetCell(i, static_cast<uint16_t>(bytes[4 + 2 * i] | bytes[5 + 2 * i] << 8));
    return 1;
}

void VanteoPuzzleEditorScene::NewLayout()
{
    m_Layout.Clear();
    if (m_pBoard)
        m_pBoard->LoadLayout(m_Layout.Data(), m_Layout.Size());
    m_FilePath.clear();
    m_bTestCleared = 0;
}

std::wstring VanteoPuzzleEditorScene::AskForFile(bool save)
{
    namespace fs = std::filesystem;
    // The user folder exists before the dialog opens in it.
    std::error_code error;
    fs::create_directories(platform::ResolvePath(std::string(kUserFolder)), error);
    const fs::path startFolder = fs::current_path(error) / platform::ResolvePath(std::string(kUserFolder));
    const std::wstring initialDir = startFolder.wstring();
    const fs::path remembered = fs::current_path(error);

    wchar_t file[260] = {};
    OPENFILENAMEW dialog;
    dialog.lStructSize = 88;
    dialog.lpstrFilter = L"Puzzle file(.pzl)\0*.pzl\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = 260;
    dialog.lpstrInitialDir = initialDir.c_str();
    dialog.lpstrDefExt = L"pzl";
    dialog.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    fs::current_path(remembered, error);
    return chosen ? std::wstring(file) : std::wstring();
}

bool VanteoPuzzleEditorScene::LoadPuzzle()
{
    modekit::EnterDialogMode();
    const std::wstring path = AskForFile(false);
    modekit::LeaveDialogMode();
    // A cancelled dialog changes nothing: the edits on the board stay.
    if (path.empty() || !m_pBoard)
        return false;
    PuzzleLayout read;
    if (!LoadPuzzleFile(platform::Narrow(path), read, *m_pBoard))
        return false;
    m_Layout = read;
    m_FilePath = path;
    m_bTestCleared = 0;
    return true;
}

bool VanteoPuzzleEditorScene::WriteTo(const std::wstring& path)
{
    const bool written = m_Layout.Write(platform::Narrow(path));
    ReportSaveFailure(!written);
    if (written)
        m_FilePath = path;
    return written;
}

void VanteoPuzzleEditorScene::ReportSaveFailure(bool failed)
{
    modekit::SetText(m_pLayoutWindow, L"Label_pleasesave", L"The puzzle could not be saved");
    modekit::Show(m_pLayoutWindow, L"Label_pleasesave", failed);
}

bool VanteoPuzzleEditorScene::SavePuzzle()
{
    if (!m_FilePath.empty()) {
        modekit::EnterDialogMode();
        const bool written = WriteTo(m_FilePath);
        modekit::LeaveDialogMode();
        return written;
    }
    return SavePuzzleAs();
}

bool VanteoPuzzleEditorScene::SavePuzzleAs()
{
    modekit::EnterDialogMode();
    std::wstring path = AskForFile(true);
    bool written = false;
    // A cancelled dialog writes nothing.
    if (!path.empty()) {
        // Every puzzle the editor writes is a ".pzl" file: a typed extension is
        // replaced.
        const size_t slash = path.find_last_of(L"/\\");
        const size_t dot = path.rfind(L'.');
        if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash + 1))
            path.erase(dot);
        path += L".pzl";
        written = WriteTo(path);
    }
    modekit::LeaveDialogMode();
    return written;
}

void VanteoPuzzleEditorScene::UpdateTestButtons()
{
    for (const wchar_t* name : {L"Pic_editor_text_test_cleared", L"Pic_editor_text_test"})
        if (kv::KVWnd* w = Find(m_pLayoutWindow, name))
            w->SetMouseTransparent(true);
    modekit::Show(m_pLayoutWindow, L"Anibtn_editor_test_cleared", m_bTestCleared != 0);
    modekit::Show(m_pLayoutWindow, L"Anibtn_editor_test", m_bTestCleared == 0);
    const std::string title = m_FilePath.empty() ? std::string() : PuzzleFileTitle(platform::Narrow(m_FilePath));
    modekit::SetText(m_pLayoutWindow, L"Label_filename", title.empty() ? L"--------" : platform::Widen(title));
}

void VanteoPuzzleEditorScene::OnNewButton(kv::EventArgs&) { NewLayout(); }
void VanteoPuzzleEditorScene::OnLoadButton(kv::EventArgs&) { LoadPuzzle(); }
void VanteoPuzzleEditorScene::OnSaveButton(kv::EventArgs&) { SavePuzzle(); }
void VanteoPuzzleEditorScene::OnSaveAsButton(kv::EventArgs&) { SavePuzzleAs(); }

void VanteoPuzzleEditorScene::OnTestButton(kv::EventArgs&)
{
    modekit::PostChangeScene(kPuzzleEditorTestSceneName, -1, 0);
}

void VanteoPuzzleEditorScene::OnExitButton(kv::EventArgs&) { modekit::PostChangeScene(kMainMenuSceneName, 3, 0); }

void VanteoPuzzleEditorScene::OnRotateRightButton(kv::EventArgs&)
{
    if (m_pBoard)
        m_pBoard->StartRotate(+1);
}

void VanteoPuzzleEditorScene::OnRotateLeftButtonClicked(kv::EventArgs&) { OnRotateLeftButton(); }

void VanteoPuzzleEditorScene::OnPieceButton(kv::EventArgs& args)
{
    auto* event = dynamic_cast<kv::WindowEventArgs_<kv::KVButton>*>(&args);
    if (!event || !event->sender)
        return;
    for (int i = 0; i < kEditorPieces; ++i)
        if (event->sender->GetName() == kEditorPalette[static_cast<size_t>(i)].button)
            SelectPiece(i);
}
