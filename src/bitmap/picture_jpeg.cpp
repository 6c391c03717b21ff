// JPEG decoder on libjpeg-turbo: colour, greyscale and CMYK/YCCK files. libjpeg reports errors
// by longjmp, so each call that may fail runs in a function whose frame holds only trivially
// destructible values; C++ objects live in the caller, which the jump never crosses.
// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <vector>

#include "bitmap/picture_decoders.h"

namespace vexa {
namespace {

struct TJpegError {
  jpeg_error_mgr Mgr;  // first, so the library's pointer is ours
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings (corrupt data the decoder skips) stay silent

bool ReadHeader(jpeg_decompress_struct* cinfo, TJpegError* err, const uint8_t* data, size_t size,
                bool* cmyk) {
  if (setjmp(err->Jump)) return false;
  jpeg_create_decompress(cinfo);
  // Progressive files keep every coefficient in memory; beyond this they fail cleanly.
  cinfo->mem->max_memory_to_use = 1024L << 20;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  *cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = *cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_calc_output_dimensions(cinfo);
  return true;
}

bool ReadRows(jpeg_decompress_struct* cinfo, TJpegError* err, uint8_t* const* rows) {
  if (setjmp(err->Jump)) return false;
  jpeg_start_decompress(cinfo);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = rows[cinfo->output_scanline];
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

struct TJpegHolder {
  jpeg_decompress_struct Info{};
  TJpegError Error{};
  ~TJpegHolder() { jpeg_destroy_decompress(&Info); }
};

[[noreturn]] void Fail(const char* why) {
  throw TBitmapError(std::string("invalid JPEG file: ") + why);
}

// CMYK rows arrive as C, M, Y, K bytes; files written with an Adobe marker store them
// inverted (255 = no ink), which is what nearly every CMYK JPEG in the wild does.
void CmykToBgr(uint8_t* row, int32_t width, bool inverted) {
  for (int32_t x = 0; x < width; ++x) {
    uint8_t* p = row + static_cast<size_t>(x) * 4;
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    p[0] = static_cast<uint8_t>((y * k + 127) / 255);
    p[1] = static_cast<uint8_t>((m * k + 127) / 255);
    p[2] = static_cast<uint8_t>((c * k + 127) / 255);
    p[3] = 0;
  }
}

}  // namespace

TABitmap DecodeJpeg(std::span<const uint8_t> file) {
  if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) Fail("missing JPEG signature");
  TJpegHolder h;
  h.Info.err = jpeg_std_error(&h.Error.Mgr);
  h.Error.Mgr.error_exit = &OnErrorExit;
  h.Error.Mgr.emit_message = &OnMessage;
  bool cmyk = false;
  if (!ReadHeader(&h.Info, &h.Error, file.data(), file.size(), &cmyk)) Fail(h.Error.Message);
  const int64_t w = h.Info.output_width, ht = h.Info.output_height;
  if (w < 1 || ht < 1 || w > kMaxBitmapSide || ht > kMaxBitmapSide || w * ht > kMaxBitmapPixels)
    Fail("picture size out of range");

  TABitmap picture;
  picture.SetSize(static_cast<int32_t>(w), static_cast<int32_t>(ht));
  std::vector<uint8_t*> rows(static_cast<size_t>(ht));
  for (int32_t y = 0; y < ht; ++y)
    rows[static_cast<size_t>(y)] = picture.ScanLine(y);
  if (!ReadRows(&h.Info, &h.Error, rows.data())) Fail(h.Error.Message);
  if (cmyk) {
    for (int32_t y = 0; y < ht; ++y)
      CmykToBgr(picture.ScanLine(y), static_cast<int32_t>(w), h.Info.saw_Adobe_marker);
  } else {
    picture.SetAlpha(0);  // the extra byte of BGRX output is 0xFF
  }
  return picture;
}

}  // namespace vexa
