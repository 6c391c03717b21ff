// Reading and writing a file as a whole, with the reason of a failure kept for the caller.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Reads the whole file into `bytes`. On failure `error` holds the path and the system's reason,
// and `bytes` what was read before the failure.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file with `bytes`: they go to a new file next to it, which is flushed to the disk
// and renamed over the old one, so a failed write never leaves a half-written file in its place.
// (Where the folder itself cannot be written to, an existing writable file is overwritten in
// place instead.) Symbolic links are followed; an existing file keeps its permission bits.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace vexa
