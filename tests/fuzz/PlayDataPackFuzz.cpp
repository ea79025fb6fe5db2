// Fuzzes the play-data pack reader: any bytes must be refused or decoded into records that lie
// inside the raw stream and name play-data files; an accepted pack survives a re-encode.
#include "app/PlayDataPack.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ConfigPak::DecodedPack pack;
    if (!ConfigPak::DecodePack(std::string_view(reinterpret_cast<const char*>(data), size), pack))
        return 0;
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
    return 0;
}
