// Reads an AVI file back for the writer's tests: the stream as libavformat sees it, every
// frame decoded to bottom-up 24-bit rows (the TABitmap layout), and the raw header bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

struct TAviProbe {
  bool Opened = false;
  int VideoStreams = 0;
  int AudioStreams = 0;
  int64_t Rate = 0, Scale = 0;  // from the stream header (strh)
  int64_t HeaderLength = 0;     // dwLength of strh
  int32_t Width = 0, Height = 0;
  std::string CodecName;  // FFmpeg's decoder name
  uint32_t CodecTag = 0;
  std::string Title;            // stream name
  std::vector<bool> KeyFrames;  // one per packet, in file order
  std::vector<std::vector<uint8_t>> Packets;
  // strf BITMAPINFOHEADER fields
  int32_t BiHeight = 0, BiWidth = 0;
  uint16_t BiBitCount = 0;
  uint32_t BiCompression = 0, BiSizeImage = 0;
  uint32_t StrhQuality = 0;
  uint32_t StrhHandler = 0;
};

TAviProbe ProbeAvi(const std::string& path);

// Every frame decoded and converted to 24-bit bottom-up rows padded to 4 bytes; empty on error.
std::vector<std::vector<uint8_t>> DecodeAviFrames(const std::string& path);

}  // namespace vexa::test
