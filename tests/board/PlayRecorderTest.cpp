// The push recordings: the bytes written per event, the numbered files and the copy to the own
// ghost, and the replay: times, looping after -10 s, same-time records, the opponent's messages,
// and files that are missing, cut short or hostile.
#include "board/PlayRecorder.h"

#include "board/BoardMessages.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

std::string Le(std::initializer_list<int32_t> words)
{
    std::string out;
    for (int32_t v : words)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
    return out;
}

std::string F32(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return Le({static_cast<int32_t>(bits)});
}

// A record as the file holds it.
std::string Record(float time, int32_t type, const std::string& payload)
{
    return F32(time) + Le({static_cast<int32_t>(payload.size() + 4), type}) + payload;
}

class PlayRecorderTest : public ::testing::Test {
protected:
    void Append(PlayRecorder& recorder, float time, int32_t id, const std::string& payload)
    {
        std::string data = Le({id}) + payload;
        recorder.AppendRecordEvent(time, reinterpret_cast<const uint8_t*>(data.data()), static_cast<int32_t>(data.size()));
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
};

TEST_F(PlayRecorderTest, EachEventIsWrittenWithItsTimeSizeAndType)
{
    std::string layout(128, '\0');
    layout[0] = 1;
    const std::string group = Le({1, 2, 30, 5, 0, 1, 3, 4});
    struct Case {
        int32_t id;
        std::string payload;
        int32_t type;
    };
    const Case cases[] = {{MSG_ROTATE, Le({-1}), 0},      {MSG_BIG_STONE, "", 1}, {MSG_BIG_STAR, Le({3, 4}), 2},
                          {MSG_GROUP_CLEARED, group, 3}, {MSG_BOARD_LAYOUT, layout, 4}, {9999, Le({7}), 9999}};
    PlayRecorder recorder;
    std::string expected;
    float time = 0.5f;
    for (const Case& c : cases) {
        Append(recorder, time, c.id, c.payload);
        expected += Record(time, c.type, c.payload);
        time += 0.25f;
    }
    EXPECT_EQ(recorder.CurrentFile(), "data/PuzzleRecord/VanteoPuzzleRecord_001.puz");
    EXPECT_EQ(recorder.EventCount(), 6);
    EXPECT_EQ(m_dir.Read(recorder.CurrentFile()), expected);
    // Events of the replayed types that are not exactly their size are not written.
    Append(recorder, 9.0f, MSG_ROTATE, Le({1, 2}));
    Append(recorder, 9.0f, MSG_BOARD_LAYOUT, std::string(64, '\0'));
    EXPECT_EQ(recorder.EventCount(), 6);
    EXPECT_EQ(m_dir.Read(recorder.CurrentFile()), expected);
}

TEST_F(PlayRecorderTest, FinishingCopiesTheGameAndMovesToTheNextFile)
{
    PlayRecorder recorder;
    EXPECT_FALSE(recorder.FinishRecording(nullptr));  // nothing recorded yet
    Append(recorder, 1.0f, MSG_ROTATE, Le({1}));
    EXPECT_FALSE(recorder.FinishRecording("missing/folder/x.puz"));  // the copy fails: nothing changes
    EXPECT_EQ(recorder.EventCount(), 1);
    m_dir.Write("data/PlayData/keep.txt", "");
    ASSERT_TRUE(recorder.FinishRecording(kOwnPushGhostFile));
    EXPECT_EQ(m_dir.Read(kOwnPushGhostFile), Record(1.0f, 0, Le({1})));
    EXPECT_EQ(recorder.CurrentFile(), "data/PuzzleRecord/VanteoPuzzleRecord_002.puz");
    EXPECT_FALSE(recorder.FinishRecording(nullptr));  // an empty game keeps the file
    EXPECT_EQ(recorder.CurrentFile(), "data/PuzzleRecord/VanteoPuzzleRecord_002.puz");
    Append(recorder, 2.0f, MSG_BIG_STONE, "");
    EXPECT_TRUE(recorder.FinishRecording(nullptr));
    EXPECT_EQ(recorder.CurrentFile(), "data/PuzzleRecord/VanteoPuzzleRecord_003.puz");

    EXPECT_FALSE(ResetSelfPlayGhost());  // no shipped ghost
    m_dir.Write(kInitialPushGhostFile, Record(3.0f, 1, ""));
    EXPECT_TRUE(ResetSelfPlayGhost());
    EXPECT_EQ(m_dir.Read(kOwnPushGhostFile), Record(3.0f, 1, ""));
}

TEST_F(PlayRecorderTest, AReplayPostsEachRecordAtItsTimeAndStartsOverAfterTenSeconds)
{
    RecordingMessages messages;
    ReplayReader reader(messages);
    std::string file = Record(1.0f, 0, Le({-1})) + Record(5.0f, 3, Le({1, 2, 30, 5, 0, 6, 3, 4})) +
                       Record(5.0f, 2, Le({3, 4}));
    ASSERT_TRUE(reader.OpenBytes(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    auto step = [&](float seconds) {
        messages.Clear();
        reader.Advance(seconds);
        return messages.Ids();
    };
    EXPECT_TRUE(step(0.9f).empty());
    EXPECT_EQ(step(0.1f), (std::vector<int32_t>{MSG_GHOST_ROTATE}));
    EXPECT_EQ(step(4.0f), (std::vector<int32_t>{MSG_GHOST_GROUP_CLEARED, MSG_GHOST_BIG_STAR}));  // same time, file order
    auto group = messages.WithId(MSG_GHOST_GROUP_CLEARED);
    PayloadReader words = group[0].Reader();
    std::vector<int32_t> got;
    while (words.Remaining() >= 4)
        got.push_back(words.I32());
    EXPECT_EQ(got, (std::vector<int32_t>{1, 2, 30, 5, 6}));  // the fixed-block count in the fifth word
    EXPECT_FLOAT_EQ(reader.Clock(), -10.0f);
    EXPECT_TRUE(step(10.95f).empty());
    EXPECT_EQ(step(0.1f), (std::vector<int32_t>{MSG_GHOST_ROTATE}));  // 11 s after the restart

    reader.Rewind();
    EXPECT_EQ(step(1.0f), (std::vector<int32_t>{MSG_GHOST_ROTATE}));
}

TEST_F(PlayRecorderTest, MissingShortAndHostileFilesStaySilent)
{
    RecordingMessages messages;
    PlayRecorder recorder;
    Player_Ghost_Push ghost(messages, recorder);
    EXPECT_EQ(ghost.Open("data/PlayData/none.puz"), 1);
    ghost.Update(100.0f);
    EXPECT_TRUE(messages.posted.empty());

    const std::string good = Record(1.0f, 1, "");
    struct Case {
        const char* what;
        std::string bytes;
        size_t records;
    };
    const Case cases[] = {
        {"cut inside a record", good + good.substr(0, 10), 1},
        {"a size beyond 1020", good + F32(2.0f) + Le({5000, 1}) + std::string(5000, '\0'), 1},
        {"a size below the type word", F32(2.0f) + Le({2, 1}), 0},
        {"a turn without its direction", good + Record(2.0f, 0, ""), 1},
        {"a layout cut short", Record(2.0f, 4, std::string(100, '\0')), 0},
        {"a star with a word too many", good + Record(2.0f, 2, Le({1, 2, 3})), 1},
        {"a stone square with a payload", Record(2.0f, 1, Le({1})) + good, 0},
        {"a group clear one word short", good + Record(2.0f, 3, Le({1, 2, 3, 4, 5, 6, 7})), 1},
        {"a time that is no number", good + F32(std::nanf("")) + Le({4, 1}), 1},
        {"an unknown type is kept and posts nothing", good + Record(2.0f, 77, "ab"), 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseReplay(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()).size(), c.records) << c.what;

    // Records all due at once are posted once per step, not for ever.
    ReplayReader reader(messages);
    std::string early = Record(-50.0f, 1, "") + Record(-40.0f, 1, "");
    ASSERT_TRUE(reader.OpenBytes(reinterpret_cast<const uint8_t*>(early.data()), early.size()));
    messages.Clear();
    reader.Advance(1.0f);
    EXPECT_LE(messages.posted.size(), 2u);
}

} // namespace
