// Writers that build a file under a temporary name tell a watcher when that file appears and
// when it is gone again (moved into place or removed), so that a program stopped from outside
// can remove what it was writing.
#pragma once

#include <functional>
#include <string>

namespace vexa {

class TTempFileWatch {
 public:
  virtual ~TTempFileWatch() = default;
  // Makes the file through create (true when it made it) and notes it, as one step: a removal
  // of the noted files never falls between the two. Returns what create returned.
  virtual bool Make(const std::string& path, const std::function<bool()>& create) = 0;
  // The file is no longer at path: moved into place or removed.
  virtual void Gone(const std::string& path) = 0;
};

// create, through the watcher when there is one.
inline bool MakeTemporaryFile(TTempFileWatch* watch, const std::string& path,
                              const std::function<bool()>& create) {
  return watch ? watch->Make(path, create) : create();
}

}  // namespace vexa
