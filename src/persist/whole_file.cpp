#include "persist/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

namespace vexa {

namespace {

std::string Reason(const std::string& path, int err) {
  return path + ": " + std::error_code(err, std::generic_category()).message();
}

// Closes a descriptor on every path.
class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the result, which can carry a delayed write error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool OverwriteInPlace(const std::string& path, std::string_view bytes, std::string& error) {
  TFd fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.Get() < 0 || !WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
    error = Reason(path, errno);
    return false;
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
  if (path.empty()) {
    error = "no file name";
    return false;
  }
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) target = resolved;
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error = Reason(target, EISDIR);
    return false;
  }

  std::random_device random;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".~%08x", random());
    temp = target + suffix;
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int err = errno;
    if (exists) return OverwriteInPlace(target, bytes, error);
    error = Reason(target, err);
    return false;
  }
  TFd file(fd);
  if (exists) ::fchmod(fd, st.st_mode & 07777);
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0 || !file.Close() ||
      ::rename(temp.c_str(), target.c_str()) != 0) {
    error = Reason(target, errno);
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  TFd folder(::open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
  return true;
}

}  // namespace vexa
