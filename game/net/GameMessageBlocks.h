// The transport of a match's game messages between the two machines: records queued during a
// frame are packed into blocks of 1024 bytes (never split, always ending with at least four zero
// bytes), each block leaves as one 1040-byte game-data message, and the records of a received
// block are walked back out, each handed to the scene queue from its id word on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

inline constexpr int32_t MSG_CLIENT_GAME_DATA = 1527;

class GameMessageBlocks {
public:
    static constexpr size_t kBlockBytes = 1024;
    static constexpr size_t kMessageBytes = 1040;
    // The largest record: a block's bytes less the four zero bytes that end it.
    static constexpr uint32_t kMaxRecord = 1020;

    struct Block {
        std::array<uint8_t, kBlockBytes> data{};
        uint32_t used = 0;
    };

    // Appends one record (its length word and the bytes it counts); false, with nothing queued,
    // for a record of more than 1020 bytes or less than the length word.
    bool Queue(const uint8_t* record, uint32_t size);
    // Takes every block out, in the order they were made.
    std::vector<Block> TakeAll();
    size_t Count() const;

    // The game-data message of one block: id, sender, the 1024 bytes, the used count.
    static std::vector<uint8_t> Message(uint64_t sender, const Block& block);
    // Walks the records of a received game-data message (`size` bytes from its id on): each
    // record goes to `post` as its id and the payload after the id. The walk ends at a length of
    // 0 or less, or where a record would reach past the block's 1024 bytes.
    static void Walk(const uint8_t* message, size_t size,
                     const std::function<void(int32_t id, const uint8_t* payload, size_t bytes)>& post);

private:
    mutable std::mutex m_Lock;
    std::vector<Block> m_Blocks;
};
