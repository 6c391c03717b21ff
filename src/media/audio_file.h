// Read-only file handle for the decoders that read files themselves (RAII, positioned reads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexa {

class TAudioFile {
 public:
  TAudioFile() = default;
  TAudioFile(const TAudioFile&) = delete;
  TAudioFile& operator=(const TAudioFile&) = delete;
  ~TAudioFile() { Close(); }

  // False with errno-based text in Why when the file cannot be opened.
  bool Open(const std::string& path, std::string& why);
  void Close();
  bool IsOpen() const { return Fd >= 0; }
  uint64_t Size() const { return FileSize; }
  // Reads exactly n bytes at offset; false when the file has fewer.
  bool ReadAt(uint64_t offset, void* buffer, size_t n) const;

 private:
  int Fd = -1;
  uint64_t FileSize = 0;
};

}  // namespace vexa
