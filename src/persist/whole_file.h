// Reading a file as a whole, with the reason of a failure kept for the caller.
#pragma once

#include <string>

namespace vexa {

// Reads the whole file into `bytes`. On failure `error` holds the path and the system's reason,
// and `bytes` what was read before the failure.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace vexa
