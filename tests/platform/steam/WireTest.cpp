// The platform client's frames and texts: frames survive any split of the byte stream, an
// oversize length stops the stream, and texts from peers are checked and cleaned as UTF-8.
#include "../../../platform/steam/Wire.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::steam;

TEST(FrameReader, FramesComeOutWholeWhateverTheSplit)
{
    std::vector<Bytes> sent = {{}, {1, 2, 3}, Bytes(1040, 7), Bytes(kMaxFramePayload, 9), {4}};
    Bytes stream;
    for (const Bytes& payload : sent)
        AppendFrame(stream, payload.data(), payload.size());
    for (size_t piece : {size_t{1}, size_t{3}, size_t{4}, size_t{1000}, stream.size()}) {
        FrameReader reader;
        std::vector<Bytes> got;
        Bytes payload;
        for (size_t at = 0; at < stream.size(); at += piece) {
            reader.Feed(stream.data() + at, std::min(piece, stream.size() - at));
            while (reader.Next(payload) == FrameReader::Status::Frame)
                got.push_back(payload);
        }
        EXPECT_EQ(got, sent) << "pieces of " << piece;
        EXPECT_EQ(reader.Buffered(), 0u);
    }
}

TEST(FrameReader, ALengthOverTheCapStopsTheStream)
{
    Bytes stream;
    AppendFrame(stream, Bytes{5}.data(), 1);
    uint32_t over = kMaxFramePayload + 1;
    for (int i = 0; i < 4; ++i)
        stream.push_back(static_cast<uint8_t>(over >> (8 * i)));
    FrameReader reader;
    reader.Feed(stream.data(), stream.size());
    Bytes payload;
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Frame);
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Oversize);
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Oversize) << "no frame after a broken length";
}

TEST(WireText, OnlyValidUtf8WithinItsCapIsRead)
{
    struct Case {
        std::string bytes;
        size_t cap;
        bool accepted;
    };
    const Case cases[] = {
        {"Bee", 10, true},
        {"\xEC\xBA\xA3", 3, true},   // one Hangul syllable
        {"\xEC\xBA", 10, false},     // cut inside a character
        {"\xC0\xAF", 10, false},     // overlong '/'
        {"\xED\xA0\x80", 10, false}, // a surrogate
        {"abcd", 3, false},          // over the cap
    };
    for (const Case& c : cases) {
        WireWriter out;
        out.Text(c.bytes);
        WireReader in(out.Data());
        std::string text;
        EXPECT_EQ(in.Text(text, c.cap), c.accepted) << c.bytes;
    }
}

TEST(WireText, CleaningReplacesBadBytesAndNeverCutsACharacter)
{
    EXPECT_EQ(CleanUtf8("a\xFF" "b", 10), "a?b");
    EXPECT_EQ(CleanUtf8("ab\xEC\xBA\xA3", 4), "ab");
    EXPECT_EQ(CleanUtf8("ab\xEC\xBA\xA3", 5), "ab\xEC\xBA\xA3");
}

TEST(WireReader, AReadPastTheEndFailsAndStaysFailed)
{
    WireWriter out;
    out.U32(7);
    out.U16(1);
    WireReader in(out.Data());
    uint32_t word = 0;
    uint64_t wide = 0;
    uint8_t byte = 0;
    EXPECT_TRUE(in.U32(word));
    EXPECT_EQ(word, 7u);
    EXPECT_FALSE(in.U64(wide));
    EXPECT_FALSE(in.U8(byte)) << "a failed reader must not resume";
    EXPECT_FALSE(in.AtEnd());
}

} // namespace
