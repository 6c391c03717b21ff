// Base of the file decoders: setting FileName reads the file's format and length at once, so
// callers can read them before Init. A file that cannot be decoded gives a decoder that
// delivers no data and says why in Error().
#pragma once

#include <string>

#include "media/audio_source.h"

namespace vexa {

class TAuDecoder : public TAuSource {
 public:
  const std::string& FileName() const { return Name; }
  void SetFileName(const std::string& name);

 protected:
  // Reads format and TotalSamples of Name; false (with SetError) when it cannot.
  virtual bool Probe() = 0;

 private:
  std::string Name;
};

}  // namespace vexa
