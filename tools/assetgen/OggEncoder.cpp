// Ogg Vorbis encoding of 16-bit PCM through libvorbisenc.
#include "OggEncoder.h"

#include <algorithm>
#include <fstream>

#include <vorbis/vorbisenc.h>

namespace assetgen {

bool EncodeOgg(const std::string& path, int channels, int rate, const std::vector<int16_t>& pcm) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, 0.3f) != 0) {
    vorbis_info_clear(&info);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);  // a fixed serial number keeps the file the same on every build

  std::ofstream out(path, std::ios::binary);
  auto writePage = [&](const ogg_page& page) {
    out.write(reinterpret_cast<const char*>(page.header), page.header_len);
    out.write(reinterpret_cast<const char*>(page.body), page.body_len);
  };
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) writePage(page);

  const size_t frames = pcm.size() / static_cast<size_t>(channels);
  const size_t chunk = 1024;
  // The last pass hands over no samples, which ends the stream and flushes the encoder.
  for (size_t at = 0;; at += chunk) {
    size_t n = at < frames ? std::min(chunk, frames - at) : 0;
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buffer[c][i] = pcm[(at + i) * channels + c] / 32768.0f;
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(n));  // 0 marks the end of the stream
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) writePage(page);
      }
    }
    if (n == 0) break;
  }
  while (ogg_stream_flush(&stream, &page) != 0) writePage(page);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return static_cast<bool>(out);
}


}  // namespace assetgen
