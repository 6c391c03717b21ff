// libFuzzer target for the JPEG decoder: raw bytes, and valid grey, colour, CMYK and
// progressive files with a few bytes flipped.
#include "bitmap/picture_decoders.h"
#include "fuzz_picture_input.h"
#include "picture_encoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::fuzz::TInput in(data, size);
  std::vector<uint8_t> file;
  if (in.Raw()) {
    file.assign(data, data + size);
  } else {
    const int w = 1 + in.Pick(48), h = 1 + in.Pick(48);
    static constexpr int kComponents[] = {1, 3, 4};
    const int c = kComponents[in.Pick(3)];
    const int quality = 5 + in.Pick(95);
    const bool progressive = in.Pick(2) == 1;
    file = vexa::test::EncodeJpeg(w, h, c, in.Bytes(static_cast<size_t>(w * h * c)), quality, progressive);
    in.Flip(file);
  }
  try {
    vexa::TABitmap b = vexa::DecodeJpeg(file);
  } catch (const vexa::TBitmapError&) {
  }
  return 0;
}
