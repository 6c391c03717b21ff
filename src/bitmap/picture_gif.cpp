// GIF decoder on giflib: the first frame, drawn on the file's logical screen.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "bitmap/color_key.h"
#include "bitmap/picture_decoders.h"

namespace vexa {
namespace {

struct TGifInput {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
};

int OnRead(GifFileType* gif, GifByteType* out, int count) {
  auto* in = static_cast<TGifInput*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), in->Size - in->Pos);
  std::memcpy(out, in->Data + in->Pos, n);
  in->Pos += n;
  return static_cast<int>(n);
}

struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

[[noreturn]] void Fail(const std::string& why) {
  throw TBitmapError("invalid GIF file: " + why);
}

[[noreturn]] void FailWith(int code) {
  const char* text = GifErrorString(code);
  Fail(text ? text : "decoder error");
}

void Check(GifFileType* gif, int result) {
  if (result == GIF_ERROR) FailWith(gif->Error);
}

}  // namespace

TABitmap DecodeGif(std::span<const uint8_t> file) {
  if (file.size() < 6 || std::memcmp(file.data(), "GIF", 3) != 0) Fail("missing GIF signature");
  TGifInput in{file.data(), file.size(), 0};
  int error = 0;
  std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&in, &OnRead, &error));
  if (!gif) FailWith(error);
  GifFileType* g = gif.get();

  int transparent = -1;  // from the graphics control extension before the first image
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    Check(g, DGifGetRecordType(g, &type));
    if (type == TERMINATE_RECORD_TYPE) Fail("no image in the file");
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      Check(g, DGifGetExtension(g, &code, &block));
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb{};
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
      }
      while (block)
        Check(g, DGifGetExtensionNext(g, &block));
      continue;
    }
    if (type == IMAGE_DESC_RECORD_TYPE) break;
  }
  Check(g, DGifGetImageDesc(g));

  const GifImageDesc& d = g->Image;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : g->SColorMap;
  if (!map || map->ColorCount < 1 || !map->Colors) Fail("no colour table");
  if (d.Width < 1 || d.Height < 1 || d.Left < 0 || d.Top < 0) Fail("image size out of range");
  // The picture is the logical screen, grown when the first frame reaches past it.
  const int64_t sw = std::max<int64_t>(g->SWidth, int64_t{d.Left} + d.Width);
  const int64_t sh = std::max<int64_t>(g->SHeight, int64_t{d.Top} + d.Height);
  if (sw > kMaxBitmapSide || sh > kMaxBitmapSide || sw * sh > kMaxBitmapPixels)
    Fail("picture size out of range");

  auto colourOf = [map](int index) -> uint32_t {
    if (index < 0 || index >= map->ColorCount) return 0;
    const GifColorType& c = map->Colors[index];
    return (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
  };
  const bool keyed = transparent >= 0 && transparent < map->ColorCount;
  // Outside the first frame the screen shows the transparent colour, else the background.
  const uint32_t outside = keyed ? colourOf(transparent) : colourOf(g->SColorMap ? g->SBackGroundColor : 0);

  TABitmap picture;
  picture.SetSize(static_cast<int32_t>(sw), static_cast<int32_t>(sh));
  picture.Fill(outside);

  std::vector<GifPixelType> line(static_cast<size_t>(d.Width));
  // Interlaced frames arrive in four passes: rows 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
  static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = d.Interlace ? kStart[pass] : 0, step = d.Interlace ? kStep[pass] : 1;
    for (int row = start; row < d.Height; row += step) {
      Check(g, DGifGetLine(g, line.data(), d.Width));
      uint32_t* out = reinterpret_cast<uint32_t*>(picture.ScanLine(d.Top + row)) + d.Left;
      for (int x = 0; x < d.Width; ++x)
        out[x] = colourOf(line[static_cast<size_t>(x)]);
    }
  }
  if (keyed) {
    const uint32_t c = colourOf(transparent);  // back to 0x00BBGGRR for ColorKey
    const uint32_t color = ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
    ColorKey(0, 0, picture.Width(), picture.Height(), color, picture);
  }
  return picture;
}

}  // namespace vexa
