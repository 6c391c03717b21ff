// Writing a file that replaces another only once it is complete: the data goes to a temporary
// file in the same folder, is flushed to the disk and then renamed over the target in one step.
// Until Commit the target keeps what it held; a writer dropped before Commit removes its
// temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexa {

class TTempFileWatch;

class TReplacingFile {
 public:
  // Creates the temporary file next to target; raises ESoundError when it cannot. watch (may be
  // nullptr) is told when the temporary file appears and when it is gone.
  explicit TReplacingFile(const std::string& target, TTempFileWatch* watch = nullptr);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  // Each raises ESoundError (naming the target and the reason) on failure.
  void Write(const void* data, size_t bytes);
  void WriteAt(uint64_t offset, const void* data, size_t bytes);
  // Flushes, closes and moves the file over the target.
  void Commit();

  const std::string& Target() const { return target_; }

 private:
  [[noreturn]] void Fail(const char* what, int err) const;

  std::string target_;  // the path named by the caller, for messages
  std::string final_;   // where the file goes (a symbolic link is followed)
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
  TTempFileWatch* watch_ = nullptr;
};

}  // namespace vexa
