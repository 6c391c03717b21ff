// The end of an Ogg file: whether it closes its stream with a whole page, and, for a file that
// was cut short, the cut page rebuilt from the packets it holds whole. Internal to the media
// library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

struct TOggTail {
  bool CutShort = false;         // no whole end-of-stream page at the end of the file
  uint64_t CutAt = 0;            // the bytes before this offset are read as they are
  std::vector<uint8_t> Rebuilt;  // then this page: the cut one with its whole packets; may be empty
};

TOggTail ReadOggTail(const std::string& path);

// The CRC of an Ogg page (its checksum field zeroed while computing it).
uint32_t OggPageCrc(const uint8_t* page, size_t bytes);

}  // namespace vexa
