#include "sound/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "media/temp_file_watch.h"
#include "sound/sound_error.h"

namespace vexa {
namespace fs = std::filesystem;

namespace {

std::string RandomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device rd;
  std::string s(8, '0');
  for (char& c : s)
    c = kChars[rd() % (sizeof kChars - 1)];
  return s;
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& target, TTempFileWatch* watch) : target_(target) {
  if (target.empty()) throw ESoundError("Cannot write the sound file: it has no name.");
  fs::path path(target);
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) path = resolved;
  }
  if (path.filename().empty()) Fail("not a file name", EISDIR);
  final_ = path.string();
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name = ".";
    name += path.filename().string();
    name += ".tmp-";
    name += RandomSuffix();
    temp_ = (folder / name).string();
    int err = 0;
    MakeTemporaryFile(watch, temp_, [this, &err] {
      fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      err = errno;
      return fd_ >= 0;
    });
    if (fd_ < 0 && err != EEXIST) {
      temp_.clear();
      Fail("cannot create a temporary file", err);
    }
  }
  if (fd_ < 0) {
    temp_.clear();
    Fail("cannot create a temporary file", EEXIST);
  }
  watch_ = watch;
  // A replaced file keeps its permissions; a new one gets the usual ones (umask).
  struct stat old {};
  if (::stat(final_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd_, old.st_mode & 07777);
}

TReplacingFile::~TReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) {
    ::unlink(temp_.c_str());
    if (watch_) watch_->Gone(temp_);
  }
}

void TReplacingFile::Fail(const char* what, int err) const {
  throw ESoundError("Cannot write the sound file \"" + target_ + "\": " + what + ": " + std::strerror(err));
}

void TReplacingFile::Write(const void* data, size_t bytes) {
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    ssize_t n = ::write(fd_, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("write error", n < 0 ? errno : EIO);
    p += n;
    bytes -= static_cast<size_t>(n);
  }
}

void TReplacingFile::WriteAt(uint64_t offset, const void* data, size_t bytes) {
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    ssize_t n = ::pwrite(fd_, p, bytes, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("write error", n < 0 ? errno : EIO);
    p += n;
    offset += static_cast<uint64_t>(n);
    bytes -= static_cast<size_t>(n);
  }
}

void TReplacingFile::Commit() {
  if (::fsync(fd_) != 0) Fail("cannot flush to disk", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("write error", errno);
  if (::rename(temp_.c_str(), final_.c_str()) != 0) Fail("cannot replace the file", errno);
  committed_ = true;
  if (watch_) watch_->Gone(temp_);
  // Make the rename itself durable; the data is already safe, so a failure here is no error.
  fs::path folder = fs::path(final_).parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace vexa
