// The puzzle board: a square grid of 45-pixel cells, each a VanteoBlock, with a hidden incoming
// row above it. Squares of 2 x 2 blocks of one kind form groups; a click clears a group for
// points, bullets and combos; blocks fall and the grid refills in 0.01 s steps; the board turns
// by 90 degrees; every change leaves as a scene message. Every mode builds one or derives its
// own board from it.
//
// The board reaches the world only through the BoardWorld (messages, sounds, random numbers,
// clock) and the tuning source its scene hands in, and the optional layout windows given to
// Init; a board without a layout is drawn by its owner.
#pragma once

#include "board/BlockClearEffect.h"
#include "board/BlockClearEffect2.h"
#include "board/BoardMessages.h"
#include "board/BoardTuning.h"
#include "board/BoardWindows.h"
#include "board/ComboEffect.h"
#include "board/GameSeams.h"
#include "board/VanteoBlock.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <vector>

class TiXmlElement;
namespace kv {
class KVWnd;
struct EventArgs;
}

class VanteoBlockMap {
    // The challenge boards' shared rules reach into any board.
    friend class VanteoBlockMap_Challenge;

public:
    static constexpr int kCellSize = kCellPixels;
    static constexpr int kDefaultSize = 8;
    // The largest board any mode builds; larger sizes are refused.
    static constexpr int kMaxSize = 32;
    static constexpr int kMaxBullets = 400;
    static constexpr int kLayoutWords = 64;
    // A frame longer than this is cut to it, so a stall never runs thousands of sub-steps.
    static constexpr float kMaxFrameSeconds = 0.25f;

    VanteoBlockMap(const BoardWorld& world, BoardTuningSource tuning);
    virtual ~VanteoBlockMap();
    VanteoBlockMap(const VanteoBlockMap&) = delete;
    VanteoBlockMap& operator=(const VanteoBlockMap&) = delete;

    // --- Life cycle and model ---
    virtual void Reset();
    // Binds the layout (or none) and creates W x H blocks; -1 means 8. Returns 1.
    virtual int Init(kv::KVWnd* layoutWindow, int w, int h);
    virtual void Resize(int w, int h);
    virtual void DestroyBlocks();
    virtual void NewGame();
    virtual int NewBlockKind();
    VanteoBlock* CellAt(int col, int row) const;
    // The cell under a screen point; false and (-1, -1) outside the grid.
    bool CellFromPoint(float px, float py, int* col, int* row) const;
    int IsBusy() const;
    void FindSquareAnchor(int col, int row, int* ac, int* ar) const;
    virtual void FindSquares();
    virtual int FindGroups();
    VanteoBlock* PickPlainBlock();
    // A block of `kind` outside squares that is no pin, point or fixed block, chosen by the
    // weight of its column and row (the challenge boards' rule); null when there is none.
    VanteoBlock* PickWeightedBlock(int kind);
    virtual void FixRandomBlock();
    void RemoveStars();
    // Reseeds the generator: configuration seed, else stage seed, else the clock.
    void SeedRandom();

    // --- Settling ---
    virtual void Update(float seconds);
    virtual void UpdateTimers(float seconds);
    virtual void UpdateBlocks(float seconds);
    virtual void Sparkle(float seconds);
    virtual void Step(float seconds);
    // Whether a step in which the clear queue worked also refills (the challenge boards wait).
    virtual bool RefillsWhileClearing() const { return true; }
    // Runs after the square search of a still board, before it counts as settled.
    virtual void AfterSettledSearch() {}
    virtual void StarBlastStep();
    virtual void ClearAllBlocks();
    virtual int ApplyGravity();
    virtual float ClearTimerSpeed();
    virtual int Refill();
    virtual void FillIncomingRow();
    virtual void MoveBlock(int a, int b, float speed);
    virtual float PlayTimeFactor();
    virtual float SpeedFactor();
    void SetRefillSpeed(float speed);
    int UpdateClearQueue(float seconds);
    int AutoPlayStep();

    // --- Clicks, scoring, combos ---
    virtual void Click(float px, float py);
    virtual void RightClick(float, float) {}
    virtual void ClickSingle(int col, int row);
    virtual void AfterSingleClick(int col, int row);
    virtual int MarkGroup(int col, int row);
    virtual void ClearGroup(int col, int row);
    virtual void ClearGroupBlocks(int col, int row, int points);
    virtual void QueueGroupClear(int col, int row, int points);
    virtual void OnCombo();
    virtual void ShowPlusCombo();
    virtual void UpdateX2(float seconds);
    virtual void UpdateComboDisplay(float seconds);
    void RecordBulletGains();
    void RecordFire0(int power);
    void RecordFire1(int power);
    void RecordFire2(int power);
    void RecordFireSpecial(int power);
    void RecordMarker();
    // Writes the game's replay as the player's own battle ghost and forgets it (once a game);
    // false when there is none or it could not be written.
    bool SaveRecording();

    // --- Hover, stars, stones ---
    virtual void Hover(float px, float py);
    virtual void HoverSingle(int col, int row);
    virtual void HoverStar(int col, int row);
    virtual void HoverStone(int col, int row);
    virtual void HighlightKind(int col, int row);
    virtual int GroupScore(int col, int row, int* points);
    int ChooseStarColour(int index, int* colour);
    void TurnStar(int index);
    virtual void ClickStarSquare(int col, int row);
    virtual void ClickStoneSquare(int col, int row);
    int QueueStoneBlast(int col, int row);
    virtual int ClearSameKindNear(int col, int row, int kind);
    virtual int ClearKind(int kind);

    // --- Rotation, drawing, layout words ---
    int RequestRotate(int direction);
    int StartRotate(int direction);
    virtual void ApplyRotation(int direction);
    void UpdateDrawMatrix();
    virtual void DrawBlocks();
    virtual void DrawOverlay();
    virtual void DrawMoving();
    // The combo-area drawing: the overlay, then (unless frozen) the clear and break effects.
    void DrawComboArea();
    void HideComboPanel();
    void MarkGroupOutlines();
    virtual void PostLayout();
    // The cell words of the grid in cell order.
    std::vector<uint16_t> LayoutWords() const;
    // Loaders of cell words. `data` is the message data (id word first); the loaders check the
    // size and every word before changing the board, refuse a bad layout whole with a log line
    // and return 0, else 1.
    virtual int LoadLayout(const uint8_t* data, size_t bytes);
    virtual int LoadSnapshot(const uint8_t* data, size_t bytes);
    // The snapshot's check and load for cell words already read (the first CellCount() count).
    int LoadSnapshotWords(const uint16_t* words, size_t count);
    int ApplyLayoutWords(const uint16_t* words, size_t count);
    // Whether `count` words form a valid layout for this board (kinds, corners, whole squares).
    bool ValidLayoutWords(const uint16_t* words, size_t count) const;
    // The same check for a board of the given size, without a board.
    static bool ValidLayoutWordsFor(const uint16_t* words, size_t count, int width, int height);

    // --- Fields ---
    float originX = 329, originY = 303;
    float scaleX = 1, scaleY = 1;
    VanteoBlock** cells = nullptr;
    VanteoBlock** turnCells = nullptr;
    VanteoBlock** incoming = nullptr;
    D3DXMATRIX drawMatrix;
    int noComboMode = 0;
    float idleTime = 0;
    kv::KVWnd* layout = nullptr;
    kv::KVWnd* comboPanel = nullptr;
    DigitDisplay comboDigits;
    AnimationPlayer bonusDigits[2];
    std::list<int> groups;
    std::list<int> clearQueue;
    int bigClear = 0;
    int clearBatches = 0;
    float clearTimer = -1;
    float clearExtra = 0;
    float playTime = 0;
    BlockClearEffect2 clearEffect2;
    BlockClearEffect clearEffect;
    ComboEffect comboEffect;
    ComboEffect breakEffect;
    float turnTarget = 0, turnAngle = 0;
    int turnReady = 1;
    int turnDirection = 0;
    int pendingTurn = 0;
    int bullets[3] = {};
    int bulletTotals[3] = {};
    int reportedTotals[3] = {};
    std::unique_ptr<TiXmlElement> replay;
    int quiet = 0;
    int blocksShown = 1;
    int settled = 0;
    float starTimer = 0;
    int squareCount = 0, restCount = 0, pointSum = 0;
    int magicFactor = 1;
    int chainBonus = 0;
    int x2 = 1;
    int refillPending = 0;
    int combo = 1;
    int starBlasts = 0;
    int layoutPending = 1;
    int chainPending = 0;
    int magicPending = 0;
    int width = kDefaultSize, height = kDefaultSize;
    float refillSpeed = 300;
    int hoverCol = -1, hoverRow = -1;
    struct DelayedSound {
        float delay;
        int sound;
    };
    std::list<DelayedSound> delayedSounds;
    int pointsCap = -1;
    int frozen = 0;
    float autoPlayTimer = 0.3f;
    uint8_t* visited = nullptr;

    // The tuning in force, refreshed from the tuning source at Reset, Init, Resize and NewGame.
    BoardTuning tuning;
    BoardWindows windows;

    IMessageSink& Messages() const { return *m_messages; }
    ISoundSink& Sounds() const { return *m_sounds; }
    GameRandom& Random() const { return *m_random; }
    // The same sinks by name, for the mode boards' own posts and sounds.
    IMessageSink& messages;
    ISoundSink& sounds;
    void RefreshTuning();

protected:
    int CellCount() const { return width * height; }
    bool Inside(int col, int row) const { return col >= 0 && col < width && row >= 0 && row < height; }
    void EmptyCell(int index);
    void PlaceAtCell(int index);
    void PlaySound(int key);
    // Shows "Pic_doublechance_on" with its first UI scene: the double chance opens.
    void ShowDoubleChancePicture();
    void Post(int32_t id, const PayloadWriter& payload);
    void Post(int32_t id);
    void PostBlockClicked(int col, int row, int kind, int present, int pin, int fixedFlag, int pointFlag);
    // The group of the list that holds the cell, as its cells in order (empty when none).
    std::vector<int> GroupOf(int index) const;
    // The group a click at the cell clears, marked, with its colour (0..2); empty when there is
    // none or its kind has no bullet stack (refused with a log line).
    std::vector<int> MarkedGroup(int col, int row, int* colour);
    // A chain broken by a single click on the challenge and puzzle boards: when the layout has
    // the white double-chance picture and it or the open one shows, the failure picture plays;
    // both double-chance pictures are then hidden.
    void CloseDoubleChanceAfterMiss();
    // A single click's removal of the block at the cell: the gains recorded, the cell emptied,
    // the refill speed, the click sound (not for a pin) and the click's clear effect.
    void RemoveClickedBlock(int col, int row);
    // Takes the group that holds the cell (its cells and its -1) out of the list.
    void RemoveGroup(int index);
    // The marked group's points before chain bonus and multipliers: its squares, loose blocks
    // and the combo bonus.
    int GroupBaseScore() const;
    // A clear's points onto the colour's bullets (saturating), the group's blocks queued, then
    // bullets above the stack's top posted as overflow and taken off.
    void AddBullets(int colour, int points, const std::function<void()>& clearBlocks);
    // Adds the clear-effect entries of a removed anchor (the square and its overlay entry).
    void AddSquareClearEntries(VanteoBlock* block, int points);
    void AddRep(const char* attribute, int value);
    void StartTurnStep(float seconds);
    void OnPuzzleAreaDraw(kv::EventArgs& args);
    void OnComboAreaDraw(kv::EventArgs& args);
    void CreateBlocks();
    // Deletes the blocks and the arrays; the replay stays.
    void FreeBlocks();
    void ApplyWords(const uint16_t* words, bool clearFixed, bool setPoint);
    void NewReplay();
    float RefillSpeedFor(float v) const;

    IMessageSink* m_messages;
    ISoundSink* m_sounds;
    GameRandom* m_random;
    BoardTuningSource m_tuningSource;
    std::function<uint32_t()> m_ticks;
    kv::KVWnd* m_boundLayout = nullptr;
    int m_blockCount = 0;
    int m_incomingCount = 0;
    int m_autoPlayTurns = 0;
};
