#include "picture_encoders.h"

#include <gif_lib.h>
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

namespace vexa::test {
namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}

int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

}  // namespace

Bytes EncodePng(const PngPicture& s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("png encoder failed");
  }
  png_set_write_fn(png, &out, &PngWrite, &PngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
               s.colorType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < s.paletteRgb.size(); i += 3)
    palette.push_back({s.paletteRgb[i], s.paletteRgb[i + 1], s.paletteRgb[i + 2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!s.paletteAlpha.empty())
    png_set_tRNS(png, info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
  if (s.hasKey) {
    png_color_16 key{};
    key.gray = s.keyGray;
    key.red = s.keyRed;
    key.green = s.keyGreen;
    key.blue = s.keyBlue;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const Bytes& r : s.rows)
    rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes EncodeJpeg(int width, int height, int components, const Bytes& samples, int quality, bool progressive) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (components == 4) jpeg_set_colorspace(&c, JCS_CMYK);  // writes the Adobe marker
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(samples.data() + static_cast<size_t>(c.next_scanline) * width * components);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

Bytes EncodeGif(const GifPicture& s) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, &GifWrite, &error);
  if (!gif) throw std::runtime_error("gif encoder failed");
  const int entries = static_cast<int>(s.paletteRgb.size() / 3);
  ColorMapObject* map = GifMakeMapObject(entries, reinterpret_cast<const GifColorType*>(s.paletteRgb.data()));
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, s.screenWidth, s.screenHeight, 8, s.background, map);
  if (s.transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = s.transparent;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  EGifPutImageDesc(gif, s.left, s.top, s.width, s.height, s.interlaced, nullptr);
  std::vector<GifPixelType> line(static_cast<size_t>(s.width));
  auto putRow = [&](int y) {
    std::memcpy(line.data(), s.indices.data() + static_cast<size_t>(y) * s.width, line.size());
    EGifPutLine(gif, line.data(), s.width);
  };
  if (s.interlaced) {
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p)
      for (int y = kStart[p]; y < s.height; y += kStep[p])
        putRow(y);
  } else {
    for (int y = 0; y < s.height; ++y)
      putRow(y);
  }
  if (s.secondFrame) {
    EGifPutImageDesc(gif, 0, 0, s.screenWidth, s.screenHeight, false, nullptr);
    std::vector<GifPixelType> zeros(static_cast<size_t>(s.screenWidth), 0);
    for (int y = 0; y < s.screenHeight; ++y)
      EGifPutLine(gif, zeros.data(), s.screenWidth);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

}  // namespace vexa::test
