// A logic puzzle's arrangement: the board-layout scene message without its length word, 132
// bytes little-endian (the message id, then 64 cell words, cell (col, row) at col + row x 8).
// The puzzle files of "Data/Puzzle/<tab>/" hold exactly these bytes; the chooser, the play scene,
// the editor and its test scene pass one such layout between them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr size_t kPuzzleLayoutBytes = 132;
inline constexpr uint32_t kPuzzleLayoutId = 2083;
inline constexpr int kPuzzleSide = 8;
inline constexpr int kPuzzleCells = kPuzzleSide * kPuzzleSide;

// The folders of the chooser's four tabs.
inline constexpr std::array<const char*, 4> kPuzzleFolders = {"Data/Puzzle/Easy/", "Data/Puzzle/Normal/",
                                                              "Data/Puzzle/Hard/", "Data/Puzzle/User/"};

class PuzzleLayout {
public:
    // An empty arrangement carrying the message id.
    PuzzleLayout();

    const uint8_t* Data() const { return m_bytes.data(); }
    static constexpr size_t Size() { return kPuzzleLayoutBytes; }
    uint32_t Id() const;
    void SetId(uint32_t id);
    // The cell word at col + row x 8; 0 outside the board.
    uint16_t Cell(int index) const;
    void SetCell(int index, uint16_t word);
    // Takes the bytes as they come: a layout shorter than 132 bytes fills only the beginning
    // and the rest keeps what it held; bytes beyond 132 are ignored.
    void Assign(const uint8_t* data, size_t bytes);

    // The 64 cell words in cell order.
    std::array<uint16_t, kPuzzleCells> Words() const;
    // Whether the cell words form a valid 8 x 8 layout (kinds, corners, whole big blocks).
    bool ValidCells() const;
    // Empties every cell; the id word stays.
    void ClearCells();
    // All 132 bytes become 0, the id word too.
    void Clear();

    // Reads a puzzle file. A file that cannot be opened, that is not exactly 132 bytes or whose
    // cell words are invalid is refused with a log line and false, the layout unchanged, so the
    // bytes of an earlier puzzle never mix with a new one.
    bool Read(const std::string& path);
    // Writes all 132 bytes beside the file and renames them over it; false (logged, the old file
    // intact) when that fails.
    bool Write(const std::string& path) const;

private:
    std::array<uint8_t, kPuzzleLayoutBytes> m_bytes{};
};

// The puzzle type an extension gives: 0 for ".pz0" and ".pzl", 1 for ".pz1" (a buffer block in
// hand at the start), -1 for any other.
int PuzzleTypeOfPath(const std::string& path);
