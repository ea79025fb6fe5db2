#include "net/GameMessageBlocks.h"

#include <helvane/Log.h>

#include <cstring>

namespace {

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

bool GameMessageBlocks::Queue(const uint8_t* record, uint32_t size)
{
    if (!record || size < 4 || size > kMaxRecord) {
        DFLog(LOG_WARN, L"A game message of %u bytes does not fit a block and is not sent", size);
        return false;
    }
    std::lock_guard guard(m_Lock);
    if (m_Blocks.empty() || m_Blocks.back().used + size + 4 > kBlockBytes)
        m_Blocks.emplace_back();
    Block& block = m_Blocks.back();
    std::memcpy(block.data.data() + block.used, record, size);
    block.used += size;
    return true;
}

std::vector<GameMessageBlocks::Block> GameMessageBlocks::TakeAll()
{
    std::lock_guard guard(m_Lock);
    std::vector<Block> taken;
    taken.swap(m_Blocks);
    return taken;
}

size_t GameMessageBlocks::Count() const
{
    std::lock_guard guard(m_Lock);
    return m_Blocks.size();
}

std::vector<uint8_t> GameMessageBlocks::Message(uint64_t sender, const Block& block)
{
    std::vector<uint8_t> out;
    out.reserve(kMessageBytes);
    PutU32(out, MSG_CLIENT_GAME_DATA);
    PutU32(out, static_cast<uint32_t>(sender));
    PutU32(out, static_cast<uint32_t>(sender >> 32));
    out.insert(out.end(), block.data.begin(), block.data.end());
    PutU32(out, block.used);
    return out;
}

void GameMessageBlocks::Walk(const uint8_t* message, size_t size,
                             const std::function<void(int32_t, const uint8_t*, size_t)>& post)
{
    if (!message || size < 12)
        return;
    const uint8_t* block = message + 12;
    const size_t blockBytes = std::min(size - 12, kBlockBytes);
    size_t at = 0;
    while (at + 4 <= blockBytes) {
        const int32_t length = static_cast<int32_t>(GetU32(block + at));
        if (length <= 0 || at + 4 + static_cast<size_t>(length) > blockBytes)
            return;
        if (length >= 4)
            post(static_cast<int32_t>(GetU32(block + at + 4)), block + at + 8, static_cast<size_t>(length) - 4);
        at += 4 + static_cast<size_t>(length);
    }
}
