// Errors of saving and loading. The message is what the user is shown; Path names the file
// when the error concerns one.
#pragma once

#include <stdexcept>
#include <string>

namespace vexa {

class TPersistError : public std::runtime_error {
 public:
  explicit TPersistError(const std::string& message, std::string path = {})
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A bzip2 stream that cannot be compressed or decompressed. The message is the libbz2 status
// name ("BZ_DATA_ERROR"), or a description of the limit that was hit.
class TBzip2Error : public TPersistError {
 public:
  TBzip2Error(const std::string& message, int status, std::string path = {})
      : TPersistError(message, std::move(path)), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

}  // namespace vexa
