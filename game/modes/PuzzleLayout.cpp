#include "modes/PuzzleLayout.h"

#include "board/VanteoBlockMap.h"

#include <helvane/Log.h>
#include <win32/Files.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

PuzzleLayout::PuzzleLayout() { SetId(kPuzzleLayoutId); }

uint32_t PuzzleLayout::Id() const
{
    return static_cast<uint32_t>(m_bytes[0]) | static_cast<uint32_t>(m_bytes[1]) << 8 |
           static_cast<uint32_t>(m_bytes[2]) << 16 | static_cast<uint32_t>(m_bytes[3]) << 24;
}

void PuzzleLayout::SetId(uint32_t id)
{
    for (int i = 0; i < 4; ++i)
        m_bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(id >> (8 * i));
}

uint16_t PuzzleLayout::Cell(int index) const
{
    if (index < 0 || index >= kPuzzleCells)
        return 0;
    const size_t at = 4 + 2 * static_cast<size_t>(index);
    return static_cast<uint16_t>(m_bytes[at] | m_bytes[at + 1] << 8);
}

void PuzzleLayout::SetCell(int index, uint16_t word)
{
    if (index < 0 || index >= kPuzzleCells)
        return;
    const size_t at = 4 + 2 * static_cast<size_t>(index);
    m_bytes[at] = static_cast<uint8_t>(word);
    m_bytes[at + 1] = static_cast<uint8_t>(word >> 8);
}

void PuzzleLayout::Assign(const uint8_t* data, size_t bytes)
{
    if (data)
        std::memcpy(m_bytes.data(), data, std::min(bytes, kPuzzleLayoutBytes));
}

std::array<uint16_t, kPuzzleCells> PuzzleLayout::Words() const
{
    std::array<uint16_t, kPuzzleCells> words{};
    for (int i = 0; i < kPuzzleCells; ++i)
        words[static_cast<size_t>(i)] = Cell(i);
    return words;
}

bool PuzzleLayout::ValidCells() const
{
    const auto words = Words();
    return VanteoBlockMap::ValidLayoutWordsFor(words.data(), words.size(), kPuzzleSide, kPuzzleSide);
}

void PuzzleLayout::ClearCells() { std::fill(m_bytes.begin() + 4, m_bytes.end(), uint8_t{0}); }

void PuzzleLayout::Clear() { m_bytes.fill(0); }

bool PuzzleLayout::Read(const std::string& path)
{
    FILE* file = platform::OpenFile(path, "rb");
    if (!file) {
        DFLog(LOG_WARN, L"The puzzle %hs could not be opened", path.c_str());
        return false;
    }
    // One byte more than a puzzle tells a long file from a whole one.
    std::array<uint8_t, kPuzzleLayoutBytes + 1> bytes{};
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != kPuzzleLayoutBytes) {
        DFLog(LOG_WARN, L"The puzzle %hs is refused: a puzzle file holds exactly %d bytes", path.c_str(),
              static_cast<int>(kPuzzleLayoutBytes));
        return false;
    }
    PuzzleLayout read;
    read.Assign(bytes.data(), kPuzzleLayoutBytes);
    if (!read.ValidCells()) {
        DFLog(LOG_WARN, L"The puzzle %hs is refused: its cells do not form a valid board", path.c_str());
        return false;
    }
    *this = read;
    return true;
}

bool PuzzleLayout::Write(const std::string& path) const
{
    std::string bytes(reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size());
    bool saved = platform::SaveFileAtomically(platform::ResolvePath(path), bytes);
    if (!saved)
        DFLog(LOG_WARN, L"The puzzle %hs could not be written; the previous file stays", path.c_str());
    return saved;
}

int PuzzleTypeOfPath(const std::string& path)
{
    size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return -1;
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".pz0" || ext == ".pzl")
        return 0;
    if (ext == ".pz1")
        return 1;
    return -1;
}
