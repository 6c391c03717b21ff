// Choosing and creating the decoder of a sound file by its extension.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "media/audio_decoder.h"

namespace vexa {

// The decoders of one sound render, by file name compared without regard to letter case.
// Owns its decoders.
class TDecoderCache {
 public:
  TAuDecoder* Find(const std::string& fileName) const;
  TAuDecoder* Add(const std::string& fileName, std::unique_ptr<TAuDecoder> decoder);
  size_t Count() const { return Items.size(); }
  void Clear() { Items.clear(); }

 private:
  std::vector<std::pair<std::string, std::unique_ptr<TAuDecoder>>> Items;
};

// The decoder class the extension selects, its FileName set (format and length are then
// known) but not initialised; null for an extension outside the table. Raises EAuException
// when the codec backend of that format is absent from this build.
std::unique_ptr<TAuDecoder> OpenDecoder(const std::string& fileName);
// The same through the cache: an earlier decoder of the same file is returned as it is; a new
// one is added. The cache owns the result.
TAuDecoder* OpenDecoder(const std::string& fileName, TDecoderCache& cache);

// ASCII letters folded, so "A.WAV" and "a.wav" name the same file.
bool SameFileName(const std::string& a, const std::string& b);

}  // namespace vexa
