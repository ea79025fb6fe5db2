#include "board/PlayRecorder.h"

#include "board/BoardMessages.h"

#include <helvane/Log.h>
#include <win32/Files.h>

#include <cstring>
#include <filesystem>

namespace {

int32_t TypeOfMessage(int32_t id)
{
    switch (id) {
    case MSG_ROTATE: return 0;
    case MSG_BIG_STONE: return 1;
    case MSG_BIG_STAR: return 2;
    case MSG_GROUP_CLEARED: return 3;
    case MSG_BOARD_LAYOUT: return 4;
    default: return id;
    }
}

// The exact size (type word and payload) of each replayed type; -1 for types that are kept
// but never replayed, whose size only has to lie within the record limits.
int32_t ExactSize(int32_t type)
{
    switch (type) {
    case 0: return 8;
    case 1: return 4;
    case 2: return 12;
    case 3: return 36;
    case 4: return 132;
    default: return -1;
    }
}

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

bool CopyFile(const std::string& from, const std::string& to)
{
    std::string bytes;
    if (!platform::ReadWholeFile(from, bytes, kMaxReplayBytes))
        return false;
    return platform::SaveFileAtomically(platform::ResolvePath(to), bytes);
}

} // namespace

PlayRecorder::~PlayRecorder()
{
    if (m_pStream)
        std::fclose(m_pStream);
}

PlayRecorder& GetPlayRecorder()
{
    static PlayRecorder recorder;
    return recorder;
}

void PlayRecorder::OpenNumbered(int index)
{
    if (m_pStream)
        std::fclose(m_pStream);
    char name[96];
    std::snprintf(name, sizeof name, "%s/VanteoPuzzleRecord_%03d.puz", kRecordFolder, index + 1);
    m_file = name;
    std::error_code ec;
    std::filesystem::create_directories(platform::ResolvePath(kRecordFolder), ec);
    m_pStream = platform::OpenFile(m_file, "wb");
    if (!m_pStream)
        DFLog(LOG_WARN, L"The recording %hs cannot be written; this game is not recorded", m_file.c_str());
}

void PlayRecorder::BeginRecording()
{
    m_nIndex = 0;
    OpenNumbered(m_nIndex);
    m_bStarted = true;
    m_nCount = 0;
}

void PlayRecorder::AppendRecordEvent(float time, const uint8_t* data, int32_t size)
{
    if (!m_bStarted)
        BeginRecording();
    // Events go nowhere without a file, and a record is written only as the reader takes it:
    // within the record limits and, for the five replayed events, of exactly their size.
    if (!m_pStream || !data || size < 4 || size > kMaxRecordData)
        return;
    const int32_t exact = ExactSize(TypeOfMessage(static_cast<int32_t>(GetU32(data))));
    if (exact >= 0 && size != exact)
        return;
    std::string record;
    uint32_t timeBits;
    std::memcpy(&timeBits, &time, 4);
    PutU32(record, timeBits);
    PutU32(record, static_cast<uint32_t>(size));
    PutU32(record, static_cast<uint32_t>(TypeOfMessage(static_cast<int32_t>(GetU32(data)))));
    record.append(reinterpret_cast<const char*>(data) + 4, static_cast<size_t>(size) - 4);
    if (std::fwrite(record.data(), 1, record.size(), m_pStream) == record.size()) {
        std::fflush(m_pStream);
        ++m_nCount;
    }
}

bool PlayRecorder::FinishRecording(const char* target)
{
    if (m_nCount == 0)
        return false;
    if (target) {
        std::fflush(m_pStream);
        if (!CopyFile(m_file, target)) {
            DFLog(LOG_WARN, L"The recording %hs could not be copied to %hs", m_file.c_str(), target);
            return false;
        }
    }
    ++m_nIndex;
    m_nCount = 0;
    OpenNumbered(m_nIndex);
    return true;
}

bool ResetSelfPlayGhost()
{
    return CopyFile(kInitialPushGhostFile, kOwnPushGhostFile);
}

std::vector<ReplayRecord> ParseReplay(const uint8_t* data, size_t size)
{
    std::vector<ReplayRecord> records;
    size_t at = 0;
    while (data && size - at >= 12) {
        ReplayRecord record;
        uint32_t timeBits = GetU32(data + at);
        std::memcpy(&record.time, &timeBits, 4);
        const int32_t bytes = static_cast<int32_t>(GetU32(data + at + 4));
        if (bytes < 4 || bytes > kMaxRecordData || static_cast<size_t>(bytes) > size - at - 8 || record.time != record.time)
            break;
        record.type = static_cast<int32_t>(GetU32(data + at + 8));
        const int32_t exact = ExactSize(record.type);
        if (exact >= 0 && bytes != exact)
            break;
        record.payload.assign(data + at + 12, data + at + 8 + bytes);
        records.push_back(std::move(record));
        at += 8 + static_cast<size_t>(bytes);
    }
    return records;
}

bool ReplayReader::Open(const std::string& path)
{
    Close();
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes, kMaxReplayBytes))
        return false;
    return OpenBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool ReplayReader::OpenBytes(const uint8_t* data, size_t size)
{
    m_Records = ParseReplay(data, size);
    m_nNext = 0;
    m_fClock = 0;
    if (m_Records.empty())
        return false;
    Advance(0.0f);
    return true;
}

void ReplayReader::Rewind()
{
    m_nNext = 0;
    m_fClock = 0;
}

void ReplayReader::Post(const ReplayRecord& r)
{
    IMessageSink& sink = *m_pMessages;
    PayloadReader in(r.payload.data(), r.payload.size());
    switch (r.type) {
    case 0:
        PayloadWriter().I32(in.I32()).PostTo(sink, MSG_GHOST_ROTATE);
        break;
    case 1:
        sink.Post(MSG_GHOST_BIG_STONE, nullptr, 0);
        break;
    case 2:
        sink.Post(MSG_GHOST_BIG_STAR, nullptr, 0);
        break;
    case 3: {
        int32_t w[8];
        for (int32_t& word : w)
            word = in.I32();
        PayloadWriter().I32(w[0]).I32(w[1]).I32(w[2]).I32(w[3]).I32(w[5]).PostTo(sink, MSG_GHOST_GROUP_CLEARED);
        break;
    }
    case 4:
        sink.Post(MSG_GHOST_LAYOUT, r.payload.data(), 128);
        break;
    default:
        break;
    }
}

void ReplayReader::Advance(float seconds)
{
    if (m_Records.empty())
        return;
    m_fClock += seconds;
    // A pass posts each record at most once, so a recording of records all due at once cannot
    // hold the frame for ever.
    for (size_t posted = 0; posted < m_Records.size() && !(m_Records[m_nNext].time > m_fClock); ++posted) {
        Post(m_Records[m_nNext]);
        if (++m_nNext == m_Records.size()) {
            m_nNext = 0;
            m_fClock = -10.0f;
        }
    }
}

int Player_Ghost_Push::Open(const char* file)
{
    m_Reader.Open(file ? file : "");
    return 1;
}

int Player_Ghost_Push::SaveRecording(const char* file)
{
    return m_pRecorder->FinishRecording(file) ? 1 : 0;
}
