#include "persist/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "persist/persist_error.h"

namespace vexa {
namespace fs = std::filesystem;

ssize_t TFileWriteSteps::Write(int fd, const void* data, size_t size) const {
  return ::write(fd, data, size);
}
int TFileWriteSteps::Sync(int fd) const {
  return ::fsync(fd);
}
int TFileWriteSteps::Rename(const char* from, const char* to) const {
  return ::rename(from, to);
}

namespace {

[[noreturn]] void Fail(const std::string& path, const char* what, int err) {
  throw TPersistError("Cannot save \"" + path + "\": " + what + ": " + std::strerror(err), path);
}

class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  int Close() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

// Removes the temporary file unless it became the saved file.
struct TTempFile {
  std::string path;
  bool kept = false;
  ~TTempFile() {
    if (!kept && !path.empty()) ::unlink(path.c_str());
  }
};

std::string RandomSuffix() {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device rd;
  std::string s(8, '0');
  for (char& c : s)
    c = kDigits[rd() % (sizeof kDigits - 1)];
  return s;
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view data, const TFileWriteSteps* steps) {
  static const TFileWriteSteps kSystem;
  const TFileWriteSteps& io = steps ? *steps : kSystem;
  if (path.empty()) throw TPersistError("Cannot save: the file has no name.");

  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  if (target.filename().empty()) Fail(path, "not a file name", EISDIR);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  TTempFile temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict on chained operator+.
    std::string name = ".";
    name += target.filename().string();
    name += ".tmp-";
    name += RandomSuffix();
    temp.path = (folder / name).string();
    fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      int err = errno;
      temp.path.clear();
      Fail(path, "cannot create a temporary file", err);
    }
  }
  if (fd < 0) {
    temp.path.clear();
    Fail(path, "cannot create a temporary file", EEXIST);
  }
  TFd file(fd);

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);

  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = io.Write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(path, "write error", n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (io.Sync(fd) != 0) Fail(path, "cannot flush to disk", errno);
  if (file.Close() != 0) Fail(path, "write error", errno);
  if (io.Rename(temp.path.c_str(), target.c_str()) != 0) Fail(path, "cannot replace the file", errno);
  temp.kept = true;

  // Make the rename itself durable; the data is already safe, so a failure here is no error.
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

}  // namespace vexa
