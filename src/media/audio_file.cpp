#include "media/audio_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vexa {

bool TAudioFile::Open(const std::string& path, std::string& why) {
  Close();
  Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) {
    why = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(Fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = "not a regular file: " + path;
    Close();
    return false;
  }
  FileSize = static_cast<uint64_t>(st.st_size);
  return true;
}

void TAudioFile::Close() {
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
  FileSize = 0;
}

bool TAudioFile::ReadAt(uint64_t offset, void* buffer, size_t n) const {
  if (Fd < 0 || offset > FileSize || n > FileSize - offset) return false;
  auto* p = static_cast<uint8_t*>(buffer);
  while (n > 0) {
    ssize_t got = ::pread(Fd, p, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<size_t>(got);
    offset += static_cast<uint64_t>(got);
  }
  return true;
}

}  // namespace vexa
