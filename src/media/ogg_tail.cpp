#include "media/ogg_tail.h"

#include <algorithm>
#include <cstring>

#include "media/audio_file.h"

namespace vexa {
namespace {

constexpr size_t kHeaderBytes = 27;
constexpr size_t kMaxPageBytes = kHeaderBytes + 255 + 255 * 255;
constexpr uint8_t kEndOfStream = 4;

// The cut page from its available bytes: only segments up to the last packet that ends on it,
// no granule position (no packet is known to end at a given sample), a fresh checksum.
std::vector<uint8_t> RebuildPage(const uint8_t* page, size_t available) {
  const size_t segments = page[26];
  const size_t body = available - kHeaderBytes - segments;
  size_t keptSegments = 0, keptBytes = 0, sum = 0;
  for (size_t i = 0; i < segments; ++i) {
    const uint8_t lace = page[kHeaderBytes + i];
    if (sum + lace > body) break;
    sum += lace;
    if (lace < 255) {
      keptSegments = i + 1;
      keptBytes = sum;
    }
  }
  if (keptSegments == 0) return {};
  std::vector<uint8_t> out(page, page + kHeaderBytes + keptSegments);
  out.insert(out.end(), page + kHeaderBytes + segments, page + kHeaderBytes + segments + keptBytes);
  out[5] = static_cast<uint8_t>(out[5] & ~kEndOfStream);
  std::memset(&out[6], 0xFF, 8);  // granule position -1
  out[26] = static_cast<uint8_t>(keptSegments);
  std::memset(&out[22], 0, 4);
  const uint32_t crc = OggPageCrc(out.data(), out.size());
  for (int i = 0; i < 4; ++i)
    out[22 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
  return out;
}

}  // namespace

uint32_t OggPageCrc(const uint8_t* page, size_t bytes) {
  uint32_t crc = 0;
  for (size_t i = 0; i < bytes; ++i) {
    const uint8_t byte = i >= 22 && i < 26 ? 0 : page[i];
    crc ^= static_cast<uint32_t>(byte) << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

TOggTail ReadOggTail(const std::string& path) {
  TOggTail tail;
  TAudioFile file;
  std::string why;
  if (!file.Open(path, why)) return tail;
  const uint64_t size = file.Size();
  const uint64_t from = size > kMaxPageBytes ? size - kMaxPageBytes : 0;
  std::vector<uint8_t> bytes(static_cast<size_t>(size - from));
  if (bytes.empty() || !file.ReadAt(from, bytes.data(), bytes.size())) return tail;

  // The last page that starts in the file: it either ends the file as a whole end-of-stream
  // page, or the file was cut inside it (or right after it).
  for (size_t at = bytes.size() >= 4 ? bytes.size() - 4 : 0;; --at) {
    if (std::memcmp(&bytes[at], "OggS", 4) == 0) {
      const size_t left = bytes.size() - at;
      const uint8_t* page = &bytes[at];
      if (left >= kHeaderBytes && page[4] != 0) {
        // Not a page of this version: keep looking further back.
      } else if (left < kHeaderBytes || left < kHeaderBytes + page[26]) {
        tail.CutShort = true;
        tail.CutAt = from + at;
        return tail;
      } else {
        const size_t segments = page[26];
        size_t length = kHeaderBytes + segments;
        for (size_t i = 0; i < segments; ++i)
          length += page[kHeaderBytes + i];
        if (length == left) {
          tail.CutShort = (page[5] & kEndOfStream) == 0;
          tail.CutAt = size;
        } else if (length > left) {
          tail.CutShort = true;
          tail.CutAt = from + at;
          tail.Rebuilt = RebuildPage(page, left);
        }
        // Bytes after a whole page that form no page are left to the decoder.
        return tail;
      }
    }
    if (at == 0) break;
  }
  return tail;
}

}  // namespace vexa
