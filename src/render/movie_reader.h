// What the movie source needs of a movie reader. The reader itself belongs to the media
// subsystem; the session keeps one open reader per movie file in its MovieCache.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

class TMovieReader {
 public:
  virtual ~TMovieReader() = default;
  virtual uint32_t LastFrame() const = 0;
  virtual double FrameRate() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // The picture that ReadFrame decodes into.
  virtual void SetTarget(TABitmap* target) = 0;
  // False when the frame lies beyond LastFrame.
  virtual bool ReadFrame(uint32_t frame) = 0;
};

}  // namespace vexa
