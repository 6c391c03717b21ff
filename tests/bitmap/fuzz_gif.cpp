// libFuzzer target for the GIF decoder: raw bytes, and valid files (frames inside larger
// screens, interlaced, transparent colours, more than one frame) with a few bytes flipped.
#include "bitmap/picture_decoders.h"
#include "fuzz_picture_input.h"
#include "picture_encoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::fuzz::TInput in(data, size);
  std::vector<uint8_t> file;
  if (in.Raw()) {
    file.assign(data, data + size);
  } else {
    vexa::test::GifPicture s;
    s.width = 1 + in.Pick(40);
    s.height = 1 + in.Pick(40);
    s.left = in.Pick(8);
    s.top = in.Pick(8);
    s.screenWidth = s.left + s.width + in.Pick(8);
    s.screenHeight = s.top + s.height + in.Pick(8);
    s.interlaced = in.Pick(2) == 1;
    const int entries = 2 << in.Pick(8);
    s.background = in.Pick(entries);
    s.transparent = in.Pick(2) ? in.Pick(entries) : -1;
    s.secondFrame = in.Pick(2) == 1;
    s.paletteRgb = in.Bytes(static_cast<size_t>(entries) * 3);
    s.indices = in.Bytes(static_cast<size_t>(s.width * s.height));
    for (uint8_t& i : s.indices)
      i = static_cast<uint8_t>(i % entries);
    file = vexa::test::EncodeGif(s);
    in.Flip(file);
  }
  try {
    vexa::TABitmap b = vexa::DecodeGif(file);
  } catch (const vexa::TBitmapError&) {
  }
  return 0;
}
