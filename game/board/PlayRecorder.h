// The push mode's recordings: the board events of a game (turns, stone squares, star blasts,
// group clears, board layouts) with their times, written to numbered files
// "data/PuzzleRecord/VanteoPuzzleRecord_NNN.puz" and copied to the player's own push ghost when
// a self-play game ends; and the reader that replays such a file as the opponent's messages.
//
// A record is little-endian: float32 time, int32 size, then `size` bytes: an int32 type (0 turn,
// 1 stone square, 2 star blast, 3 group cleared, 4 board layout) and the message's payload.
#pragma once

#include "board/BoardEventRecorder.h"
#include "board/GameSeams.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline constexpr const char* kOwnPushGhostFile = "data/PlayData/PushYour.puz";
inline constexpr const char* kInitialPushGhostFile = "data/PlayData/PushYour_Init.puz";
inline constexpr const char* kRecordFolder = "data/PuzzleRecord";
// The most a record's data (type and payload) may hold.
inline constexpr int32_t kMaxRecordData = 1020;
// The largest replay file read.
inline constexpr size_t kMaxReplayBytes = 16 * 1024 * 1024;

// The replayed opponent's messages.
inline constexpr int32_t MSG_GHOST_BIG_STONE = 2093;
inline constexpr int32_t MSG_GHOST_BIG_STAR = 2094;
inline constexpr int32_t MSG_GHOST_GROUP_CLEARED = 2095;
inline constexpr int32_t MSG_GHOST_LAYOUT = 2096;
inline constexpr int32_t MSG_GHOST_ROTATE = 2097;

class PlayRecorder : public IBoardEventRecorder {
public:
    PlayRecorder() = default;
    ~PlayRecorder() override;
    PlayRecorder(const PlayRecorder&) = delete;
    PlayRecorder& operator=(const PlayRecorder&) = delete;

    // The first numbered file, 001, created empty; once per run, at the first event.
    void BeginRecording();
    // Writes one event; an event of a replayed type that is not exactly its size is dropped.
    void AppendRecordEvent(float time, const uint8_t* data, int32_t size) override;
    // Nothing recorded: false, nothing changes. Otherwise the recording is copied to `target`
    // (when given) and the next numbered file begins; false when the copy failed (nothing
    // changes then).
    bool FinishRecording(const char* target) override;

    const std::string& CurrentFile() const { return m_file; }
    int EventCount() const { return m_nCount; }

private:
    void OpenNumbered(int index);

    FILE* m_pStream = nullptr;
    std::string m_file;
    int m_nIndex = 0;
    bool m_bStarted = false;
    int m_nCount = 0;
};

// The game's recorder.
PlayRecorder& GetPlayRecorder();

// Copies the shipped push ghost over the player's own; false when either file cannot be opened.
bool ResetSelfPlayGhost();

// One record of a replay.
struct ReplayRecord {
    float time = 0;
    int32_t type = 0;
    std::vector<uint8_t> payload;
};

// Reads the records of a replay file's bytes, in order, up to the first record that is cut short,
// has a size outside 4 .. 1020 or a time that is no number, or is of a replayed type (0 to 4)
// without exactly its size (8, 4, 12, 36, 132).
std::vector<ReplayRecord> ParseReplay(const uint8_t* data, size_t size);

// Replays a recording as the opponent's messages: each record at its time of the replay clock;
// after the last the clock goes back to -10 s and the recording starts over.
class ReplayReader {
public:
    explicit ReplayReader(IMessageSink& messages) : m_pMessages(&messages) {}

    // False when the file is missing or holds no record (the reader then stays silent).
    bool Open(const std::string& path);
    bool OpenBytes(const uint8_t* data, size_t size);
    void Close() { m_Records.clear(); }
    bool IsOpen() const { return !m_Records.empty(); }
    void Advance(float seconds);
    // Back to the first record with the clock at 0.
    void Rewind();

    float Clock() const { return m_fClock; }

private:
    void Post(const ReplayRecord& record);

    IMessageSink* m_pMessages;
    std::vector<ReplayRecord> m_Records;
    size_t m_nNext = 0;
    float m_fClock = 0;
};

// The push mode's opponent: a recorded game replayed.
class Player_Ghost_Push {
public:
    // `messages` receives the replayed records; `recorder` holds the game being played.
    Player_Ghost_Push(IMessageSink& messages, IBoardEventRecorder& recorder)
        : m_Reader(messages), m_pRecorder(&recorder)
    {
    }
    virtual ~Player_Ghost_Push() = default;
    // Always 1: a missing file leaves the ghost silent.
    virtual int Open(const char* file);
    // The recording of the game just played, saved as `file`.
    virtual int SaveRecording(const char* file);
    virtual void Update(float seconds) { m_Reader.Advance(seconds); }
    virtual void Reserved() {}
    virtual void Rewind() { m_Reader.Rewind(); }

    ReplayReader m_Reader;

private:
    IBoardEventRecorder* m_pRecorder;
};
