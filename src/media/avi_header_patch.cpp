#include "media/avi_header_patch.h"

extern "C" {
#include <libavutil/error.h>
}

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace vexa {

namespace {

uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Offsets (in the buffer) of the data of the first video stream's strh and strf chunks.
bool FindStreamHeaders(const std::vector<uint8_t>& b, size_t& strh, size_t& strf) {
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "AVI ", 4)) return false;
  // Walk chunks between begin and end; descend into LIST hdrl and LIST strl.
  size_t pos = 12, end = b.size();
  strh = strf = 0;
  while (pos + 8 <= end) {
    const uint8_t* c = b.data() + pos;
    const size_t size = Get32(c + 4);
    if (!std::memcmp(c, "LIST", 4) && pos + 12 <= end &&
        (!std::memcmp(c + 8, "hdrl", 4) || !std::memcmp(c + 8, "strl", 4))) {
      end = std::min(end, pos + 8 + size);
      pos += 12;
      continue;
    }
    if (!std::memcmp(c, "strh", 4) && !strh && size >= 44 && pos + 8 + 44 <= end &&
        !std::memcmp(c + 8, "vids", 4))
      strh = pos + 8;
    else if (!std::memcmp(c, "strf", 4) && strh && !strf && size >= 40 && pos + 8 + 40 <= end)
      strf = pos + 8;
    if (strh && strf) return true;
    pos += 8 + size + (size & 1);
  }
  return false;
}

}  // namespace

int FinishAviHeader(const std::string& path, int32_t quality, uint32_t rawFrameBytes) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return AVERROR(errno);
  int result = 0;
  std::vector<uint8_t> head(65536);
  const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
  size_t strh = 0, strf = 0;
  if (got < 0) {
    result = AVERROR(errno);
  } else {
    head.resize(static_cast<size_t>(got));
    if (!FindStreamHeaders(head, strh, strf)) result = AVERROR_INVALIDDATA;
  }
  if (!result) {
    Put32(head.data() + strh + 40, static_cast<uint32_t>(quality));    // dwQuality
    if (rawFrameBytes) Put32(head.data() + strf + 20, rawFrameBytes);  // biSizeImage
    // Only the two headers change; write back the bytes from strh to the end of strf.
    const size_t from = strh, to = strf + 40;
    if (::pwrite(fd, head.data() + from, to - from, static_cast<off_t>(from)) !=
        static_cast<ssize_t>(to - from))
      result = AVERROR(errno ? errno : EIO);
  }
  if (::close(fd) != 0 && !result) result = AVERROR(errno);
  return result;
}

}  // namespace vexa
