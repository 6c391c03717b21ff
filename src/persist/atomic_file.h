// Saving a file without ever destroying the old one: the data goes to a temporary file in the
// same folder, is flushed to the disk and then renamed over the old file in one step.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// The file-system steps of a safe save. The defaults call the system; tests override one to
// make it fail the way a full disk or a broken medium would.
class TFileWriteSteps {
 public:
  virtual ~TFileWriteSteps() = default;
  virtual ssize_t Write(int fd, const void* data, size_t size) const;
  virtual int Sync(int fd) const;
  virtual int Rename(const char* from, const char* to) const;
};

// Replaces the content of path with data. Afterwards path holds either all of data or, when
// this raises TPersistError (message with the path and the reason), exactly what it held
// before; the temporary file is gone either way. A symbolic link is followed, so the file it
// points to is replaced and the link stays. A new file gets the usual permissions (umask), a
// replaced one keeps its own.
void WriteFileAtomic(const std::string& path, std::string_view data, const TFileWriteSteps* steps = nullptr);

}  // namespace vexa
