#include "media/output_file.h"

extern "C" {
#include <libavutil/error.h>
}

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace vexa {

namespace fs = std::filesystem;

// A new, empty file next to target under a name nobody else uses; its path, or an error.
int CreateTemporaryOutput(const std::string& target, std::string& path, TTempFileWatch* watch) {
  fs::path t(target);
  fs::path folder = t.parent_path();
  if (folder.empty()) folder = ".";
  std::random_device rd;
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 8; ++i)
      suffix += digits[rd() % 36];
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) on chained string additions.
    std::string name(1, '.');
    name.append(t.filename().string()).append(1, '.').append(suffix).append(".part");
    path = (folder / name).string();
    int fd = -1, err = 0;
    MakeTemporaryFile(watch, path, [&] {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      err = errno;
      return fd >= 0;
    });
    if (fd >= 0) {
      ::close(fd);
      return 0;
    }
    if (err != EEXIST) return AVERROR(err);
  }
  return AVERROR(EEXIST);
}

// The file a rename must replace: a symbolic link is followed so that the link stays.
std::string ReplacedPath(const std::string& target) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) return resolved.string();
  }
  return target;
}

}  // namespace vexa
