// libFuzzer target for the PNG decoder: raw bytes, and valid files of every colour type, depth
// and interlace with a few bytes flipped.
#include "bitmap/picture_decoders.h"
#include "fuzz_picture_input.h"
#include "picture_encoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexa::fuzz::TInput in(data, size);
  std::vector<uint8_t> file;
  if (in.Raw()) {
    file.assign(data, data + size);
  } else {
    vexa::test::PngPicture s;
    s.width = 1 + in.Pick(40);
    s.height = 1 + in.Pick(40);
    static constexpr int kTypes[] = {0, 2, 3, 4, 6};
    s.colorType = kTypes[in.Pick(5)];
    static constexpr int kGrey[] = {1, 2, 4, 8, 16}, kPalette[] = {1, 2, 4, 8}, kOther[] = {8, 16};
    s.bitDepth = s.colorType == 0   ? kGrey[in.Pick(5)]
                 : s.colorType == 3 ? kPalette[in.Pick(4)]
                                    : kOther[in.Pick(2)];
    s.interlaced = in.Pick(2) == 1;
    const int channels = s.colorType == 2 ? 3 : s.colorType == 4 ? 2 : s.colorType == 6 ? 4 : 1;
    const size_t rowBytes = (static_cast<size_t>(s.width) * channels * s.bitDepth + 7) / 8;
    if (s.colorType == 3) {
      const int entries = 1 << s.bitDepth;
      s.paletteRgb = in.Bytes(static_cast<size_t>(entries) * 3);
      if (in.Pick(2)) s.paletteAlpha = in.Bytes(static_cast<size_t>(1 + in.Pick(entries)));
    } else if ((s.colorType == 0 || s.colorType == 2) && in.Pick(2)) {
      s.hasKey = true;
      const uint16_t max = static_cast<uint16_t>((1u << s.bitDepth) - 1);
      s.keyGray = static_cast<uint16_t>(in.Byte() & max);
      s.keyRed = static_cast<uint16_t>(in.Byte() & max);
      s.keyGreen = static_cast<uint16_t>(in.Byte() & max);
      s.keyBlue = static_cast<uint16_t>(in.Byte() & max);
    }
    const std::vector<uint8_t> pixels = in.Bytes(rowBytes * static_cast<size_t>(s.height));
    for (int y = 0; y < s.height; ++y)
      s.rows.emplace_back(pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * y),
                          pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * (y + 1)));
    file = vexa::test::EncodePng(s);
    in.Flip(file);
  }
  try {
    vexa::TABitmap b = vexa::DecodePng(file);
  } catch (const vexa::TBitmapError&) {
  }
  return 0;
}
