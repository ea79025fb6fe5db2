// Ogg Vorbis encoding of 16-bit PCM, shared by the sound recipes and the tests' sound files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Encodes interleaved samples (`channels` to a frame) at Vorbis quality 0.3 with a fixed stream
// serial number, so the same samples always give the same file; no samples writes the headers
// only. Returns false when Vorbis refuses the format or the file cannot be written.
bool EncodeOgg(const std::string& path, int channels, int rate, const std::vector<int16_t>& pcm);

}  // namespace assetgen
