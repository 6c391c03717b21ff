// PNG decoder on libpng. libpng reports errors by longjmp, so every call that may fail runs in
// a small function whose frame holds only trivially destructible values; C++ objects live in
// the caller, which the jump never crosses.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bitmap/color_key.h"
#include "bitmap/picture_decoders.h"

namespace vexa {
namespace {

struct TPngInput {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
  char Message[160];
};

// Plain data shared with the jumping functions.
struct TPngHeader {
  png_uint_32 Width;
  png_uint_32 Height;
  int BitDepth;
  int ColorType;
  bool HasTrns;
  bool KeyColour;     // a single transparent colour (grey or RGB tRNS at 8 bits or less)
  uint32_t KeyValue;  // that colour as 0x00BBGGRR, at 8 bits per channel
};

void OnError(png_structp png, png_const_charp message) {
  auto* in = static_cast<TPngInput*>(png_get_error_ptr(png));
  std::snprintf(in->Message, sizeof in->Message, "%s", message ? message : "error");
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, png_size_t count) {
  auto* in = static_cast<TPngInput*>(png_get_io_ptr(png));
  if (count > in->Size - in->Pos) png_error(png, "file is truncated");
  std::memcpy(out, in->Data + in->Pos, count);
  in->Pos += count;
}

// Reads the header and sets up the transformations to 8-bit BGRA. False on error.
bool ReadHeader(png_structp png, png_infop info, TPngHeader* h) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_get_IHDR(png, info, &h->Width, &h->Height, &h->BitDepth, &h->ColorType, nullptr, nullptr, nullptr);
  h->HasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  h->KeyColour = false;
  h->KeyValue = 0;
  if (h->HasTrns && h->ColorType != PNG_COLOR_TYPE_PALETTE && h->BitDepth <= 8) {
    // One transparent colour: keyed out after decoding.
    png_color_16p key = nullptr;
    png_get_tRNS(png, info, nullptr, nullptr, &key);
    if (key) {
      const int scale = h->BitDepth == 8 ? 1 : h->BitDepth == 4 ? 17 : h->BitDepth == 2 ? 85 : 255;
      const int max = (1 << h->BitDepth) - 1;
      if (h->ColorType == PNG_COLOR_TYPE_GRAY) {
        const uint32_t g = static_cast<uint32_t>((key->gray & max) * scale);
        h->KeyValue = g | (g << 8) | (g << 16);
        h->KeyColour = key->gray <= max;
      } else {
        h->KeyValue = (key->red & 0xFFu) | ((key->green & 0xFFu) << 8) | ((key->blue & 0xFFu) << 16);
        h->KeyColour = true;
      }
    }
  }
  if (h->ColorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (h->ColorType == PNG_COLOR_TYPE_GRAY || h->ColorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    if (h->BitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  // Palette transparency (and 16-bit key colours, which would lose their exactness at 8 bits)
  // become a real alpha channel; libpng compares them at the file's own depth.
  if (h->HasTrns && !h->KeyColour) png_set_tRNS_to_alpha(png);
  if (h->BitDepth == 16) png_set_scale_16(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque where the file has no alpha
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(h->Width) * 4)
    png_error(png, "unexpected row layout");
  return true;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  (void)info;
  return true;
}

struct TPngHolder {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~TPngHolder() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

[[noreturn]] void Fail(const char* why) {
  throw TBitmapError(std::string("invalid PNG file: ") + why);
}

}  // namespace

TABitmap DecodePng(std::span<const uint8_t> file) {
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) Fail("missing PNG signature");
  TPngInput in{file.data(), file.size(), 8, {}};
  TPngHolder h;
  h.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, &OnError, &OnWarning);
  if (!h.Png) throw TBitmapError("PNG decoder: out of memory");
  h.Info = png_create_info_struct(h.Png);
  if (!h.Info) throw TBitmapError("PNG decoder: out of memory");
  png_set_read_fn(h.Png, &in, &OnRead);
  png_set_sig_bytes(h.Png, 8);
  png_set_user_limits(h.Png, kMaxBitmapSide, kMaxBitmapSide);
  // Ancillary chunks (text, ICC profiles) cannot take more than this.
  png_set_chunk_malloc_max(h.Png, 64u << 20);

  TPngHeader header{};
  if (!ReadHeader(h.Png, h.Info, &header)) Fail(in.Message);
  if (header.Width == 0 || header.Height == 0 ||
      static_cast<int64_t>(header.Width) * header.Height > kMaxBitmapPixels)
    Fail("picture size out of range");

  TABitmap picture;
  picture.SetSize(static_cast<int32_t>(header.Width), static_cast<int32_t>(header.Height));
  std::vector<png_bytep> rows(header.Height);
  for (png_uint_32 y = 0; y < header.Height; ++y)
    rows[y] = picture.ScanLine(static_cast<int32_t>(y));
  if (!ReadRows(h.Png, h.Info, rows.data())) Fail(in.Message);

  // PNG alpha is opacity; ours is transparency.
  uint32_t* p = picture.Pixels();
  const size_t count = static_cast<size_t>(header.Width) * header.Height;
  for (size_t i = 0; i < count; ++i)
    p[i] ^= 0xFF000000u;
  if (header.KeyColour) ColorKey(0, 0, picture.Width(), picture.Height(), header.KeyValue, picture);
  return picture;
}

}  // namespace vexa
