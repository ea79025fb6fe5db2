// Fuzzes the client's receive path: messages of any id, size and bytes from the server, in any
// client state. Each message is handed over in a buffer of exactly its size, so a read past it
// is caught; every record that reaches the scene queue must be a match message of exactly its
// length, and the state must stay one of the client's states.
#include "FuzzSupport.h"

#include "board/GameSeams.h"
#include "net/NetGameMessages.h"
#include "net/SteamClient.h"

#include <cstdlib>
#include <vector>

namespace {

class CheckedMessages : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t*, size_t bytes) override
    {
        const bool local = id == 2114 || id == 2142 || id == 2027;
        if (!local && netmsg::RecordLength(id) != static_cast<int32_t>(bytes + 4))
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_ClientReceive");
    return 0;
}

// Input: a starting state byte, then messages, each a 16-bit little-endian size and its bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CheckedMessages messages;
    static VanteoSteamClient* client = [] {
        auto* c = new VanteoSteamClient(CSteamID(0x1100000000000001ull));
        c->SetMessageSink(&messages);
        c->m_CurrentSceneName = [] { return std::string("SteamVanteoScene"); };
        return c;
    }();
    if (size < 1)
        return 0;
    static const int kStates[] = {1, 2, 3, 4, 5, 6, 7, 9};
    client->m_eConnectedStatus = kStates[data[0] % 8];
    client->m_bConnectedToServer = (data[0] & 0x80) ? 1 : 0;
    size_t at = 1;
    while (at + 2 <= size) {
        const size_t bytes = std::min<size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
        std::vector<uint8_t> message(data + at + 2, data + at + 2 + bytes);
        client->HandleServerMessage(message.data(), static_cast<uint32_t>(message.size()));
        at += 2 + bytes;
        const int state = client->m_eConnectedStatus;
        if (state < 1 || state > 9 || state == 8)
            std::abort();
    }
    client->RunFrame(0.016f);
    return 0;
}
