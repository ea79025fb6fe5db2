// Fuzzes the play-data pack reader: any bytes must be refused or decoded into records that lie
// inside the raw stream and name play-data files; an accepted pack survives a re-encode.
#include "data/PlayDataPack.h"

#include <cstdlib>

namespace {

void CheckPack(std::string_view bytes)
{
    ConfigPak::DecodedPack pack;
    if (!ConfigPak::DecodePack(bytes, pack))
        return;
    std::vector<std::pair<size_t, std::string>> files;
    for (const ConfigPak::PackRecord& record : pack.records) {
        if (record.fileIndex >= ConfigPak::kPlayDataFiles.size() || record.offset + record.length > pack.raw.size())
            std::abort();
        files.emplace_back(record.fileIndex, std::string(pack.Bytes(record)));
    }
    ConfigPak::DecodedPack again;
    if (!ConfigPak::DecodePack(ConfigPak::EncodePack(ConfigPak::EncodeRecords(files)), again) ||
        again.records.size() != pack.records.size())
        std::abort();
}

} // namespace

// The input is tried as a whole pack, and as a raw record stream packed by the game's own
// writer, so that mutations reach the record walk and not only the zlib header checks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckPack(bytes);
    CheckPack(ConfigPak::EncodePack(bytes));
    return 0;
}
