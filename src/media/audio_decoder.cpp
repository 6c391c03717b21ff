#include "media/audio_decoder.h"

namespace vexa {

void TAuDecoder::SetFileName(const std::string& name) {
  std::lock_guard<std::mutex> hold(Lock);
  DoFlush();
  ClearError();
  Name = name;
  if (!Probe()) {
    Bits = 16;
    Chans = 2;
    Rate = 44100;
    Total = 0;
  }
}

}  // namespace vexa
