#include "persist/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vexa {

namespace {

// Closes a descriptor on every path.
class TReadFd {
 public:
  explicit TReadFd(int fd) : fd_(fd) {}
  ~TReadFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TReadFd(const TReadFd&) = delete;
  TReadFd& operator=(const TReadFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

std::string Reason(const std::string& path, int err) {
  return "Cannot read \"" + path + "\": " + std::error_code(err, std::generic_category()).message();
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  TReadFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    error = Reason(path, errno);
    return false;
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buf, sizeof buf);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Reason(path, errno);
      return false;
    }
    bytes.append(buf, static_cast<size_t>(n));
  }
}

}  // namespace vexa
