#include "preview/temp_wave_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vexa {

void TTempWaveFile::Create(const std::string& folder) {
  Remove();
  std::error_code ec;
  const std::filesystem::path where = folder.empty() ? std::filesystem::temp_directory_path(ec) : std::filesystem::path(folder);
  if (ec) throw std::runtime_error("No temporary folder for the preview's sound: " + ec.message());
  std::string name = (where / "vexa-preview-XXXXXX.wav").string();
  // mkstemps creates the file exclusively: an existing file is never opened, let alone reused.
  const int fd = ::mkstemps(name.data(), 4);
  if (fd < 0)
    throw std::runtime_error("Cannot create the preview's sound file in " + where.string() + ": " +
                             std::strerror(errno));
  ::close(fd);
  path_ = std::move(name);
}

void TTempWaveFile::Remove() {
  if (path_.empty()) return;
  ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace vexa
