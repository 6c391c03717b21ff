// The preview's temporary WAV: a new file of a name no other file has, made in the user's
// temporary folder, and removed with this object. A file that was there before is never
// touched, and nothing is removed that this object did not create.
#pragma once

#include <string>

namespace vexa {

class TTempWaveFile {
 public:
  TTempWaveFile() = default;
  ~TTempWaveFile() { Remove(); }
  TTempWaveFile(const TTempWaveFile&) = delete;
  TTempWaveFile& operator=(const TTempWaveFile&) = delete;

  // Creates the file (empty) in folder, or in the system's temporary folder ($TMPDIR, else
  // /tmp) when folder is empty. Raises std::runtime_error when it cannot.
  void Create(const std::string& folder = {});
  // Removes the file now (when this object created it).
  void Remove();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vexa
