// Writers that build a file under a temporary name tell a watcher when that file appears and
// when it is gone again (moved into place or removed), so that a program stopped from outside
// can remove what it was writing.
#pragma once

#include <string>

namespace vexa {

class TTempFileWatch {
 public:
  virtual ~TTempFileWatch() = default;
  // Called right after the file was created, and after it was renamed or removed.
  virtual void Made(const std::string& path) = 0;
  virtual void Gone(const std::string& path) = 0;
};

}  // namespace vexa
