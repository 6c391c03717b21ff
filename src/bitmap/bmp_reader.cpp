#include "bitmap/bmp_reader.h"

#include <array>
#include <cstring>
#include <string>

namespace vexa {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

[[noreturn]] void Fail(const std::string& why) {
  throw TBitmapError("invalid BMP file: " + why);
}

// Little-endian reads from a bounded view; every read is checked.
class TReader {
 public:
  explicit TReader(std::span<const uint8_t> d) : d_(d) {}
  size_t Size() const { return d_.size(); }
  bool Has(size_t pos, size_t n) const { return pos <= d_.size() && n <= d_.size() - pos; }
  uint16_t U16(size_t pos) const {
    if (!Has(pos, 2)) Fail("header is truncated");
    return static_cast<uint16_t>(d_[pos] | (d_[pos + 1] << 8));
  }
  uint32_t U32(size_t pos) const {
    if (!Has(pos, 4)) Fail("header is truncated");
    return uint32_t{d_[pos]} | (uint32_t{d_[pos + 1]} << 8) | (uint32_t{d_[pos + 2]} << 16) |
           (uint32_t{d_[pos + 3]} << 24);
  }
  int32_t I32(size_t pos) const { return static_cast<int32_t>(U32(pos)); }
  const uint8_t* At(size_t pos) const { return d_.data() + pos; }

 private:
  std::span<const uint8_t> d_;
};

struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint64_t Max = 0;  // largest value of the channel after shifting
  uint8_t Scale(uint32_t pixel) const {
    if (Max == 0) return 0;
    const uint64_t v = (pixel & Mask) >> Shift;
    return static_cast<uint8_t>((v * 255 + Max / 2) / Max);
  }
};

TChannel ChannelOf(uint32_t mask) {
  TChannel c;
  c.Mask = mask;
  if (mask == 0) return c;
  while (((mask >> c.Shift) & 1) == 0)
    ++c.Shift;
  c.Max = mask >> c.Shift;
  // A mask with gaps in its bits is not a channel.
  if ((c.Max & (c.Max + 1)) != 0) Fail("colour mask is not contiguous");
  return c;
}

struct THeader {
  int32_t Width = 0;
  int32_t Height = 0;  // positive; TopDown says which way rows run
  bool TopDown = false;
  uint16_t Bits = 0;
  uint32_t Compression = kRgb;
  uint32_t ColorsUsed = 0;
  bool Core = false;
  std::array<uint32_t, 4> Masks{};  // red, green, blue, alpha
  size_t PaletteOffset = 0;
  size_t PixelOffset = 0;
};

THeader ReadHeader(const TReader& r) {
  if (r.Size() < 14 + 4) Fail("file is too short");
  if (r.At(0)[0] != 'B' || r.At(0)[1] != 'M') Fail("missing BM signature");
  THeader h;
  h.PixelOffset = r.U32(10);
  const uint32_t headerSize = r.U32(14);
  if (!r.Has(14, headerSize)) Fail("header is truncated");
  const size_t hp = 14;
  if (headerSize == 12) {
    h.Core = true;
    h.Width = r.U16(hp + 4);
    h.Height = r.U16(hp + 6);
    h.Bits = r.U16(hp + 10);
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    h.Width = r.I32(hp + 4);
    const int32_t height = r.I32(hp + 8);
    h.Bits = r.U16(hp + 14);
    h.Compression = r.U32(hp + 16);
    h.ColorsUsed = r.U32(hp + 32);
    if (height == INT32_MIN) Fail("height out of range");
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
  } else {
    Fail("unsupported header size " + std::to_string(headerSize));
  }
  if (h.Width <= 0 || h.Height <= 0) Fail("picture has no area");
  switch (h.Bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail("unsupported bit depth " + std::to_string(h.Bits));
  }
  switch (h.Compression) {
    case kRgb:
      break;
    case kRle8:
      if (h.Bits != 8) Fail("RLE8 needs 8 bits per pixel");
      break;
    case kRle4:
      if (h.Bits != 4) Fail("RLE4 needs 4 bits per pixel");
      break;
    case kBitfields:
      if (h.Bits != 16 && h.Bits != 32) Fail("bit fields need 16 or 32 bits per pixel");
      break;
    default:
      Fail("unsupported compression " + std::to_string(h.Compression));
  }
  if (h.TopDown && (h.Compression == kRle8 || h.Compression == kRle4))
    Fail("compressed rows cannot run top-down");

  h.PaletteOffset = hp + headerSize;
  if (h.Compression == kBitfields) {
    if (headerSize == 40) {
      // The three masks follow the header.
      h.Masks = {r.U32(hp + 40), r.U32(hp + 44), r.U32(hp + 48), 0};
      h.PaletteOffset += 12;
    } else {
      h.Masks = {r.U32(hp + 40), r.U32(hp + 44), r.U32(hp + 48), headerSize >= 56 ? r.U32(hp + 52) : 0};
    }
  } else if (h.Bits == 16) {
    h.Masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (h.Bits == 32) {
    h.Masks = {0xFF0000, 0xFF00, 0xFF, 0};
  }
  if (h.PixelOffset >= r.Size()) Fail("pixel data offset lies outside the file");
  return h;
}

std::array<uint32_t, 256> ReadPalette(const TReader& r, const THeader& h) {
  std::array<uint32_t, 256> pal{};  // missing entries read as black
  if (h.Bits > 8) return pal;
  const size_t maxEntries = size_t{1} << h.Bits;
  size_t count = h.ColorsUsed == 0 ? maxEntries : std::min<size_t>(h.ColorsUsed, maxEntries);
  const size_t entry = h.Core ? 3 : 4;
  if (!r.Has(h.PaletteOffset, count * entry)) Fail("colour table is truncated");
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = r.At(h.PaletteOffset + i * entry);
    pal[i] = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);  // alpha 0
  }
  return pal;
}

// Row y of the file (0 = first row stored) lands in picture row FileRowToY.
int32_t FileRowToY(const THeader& h, int32_t fileRow) {
  return h.TopDown ? fileRow : h.Height - 1 - fileRow;
}

void DecodeUncompressed(const TReader& r, const THeader& h, const std::array<uint32_t, 256>& pal,
                        TABitmap& out) {
  const size_t stride = ((static_cast<size_t>(h.Width) * h.Bits + 31) / 32) * 4;
  if (!r.Has(h.PixelOffset, stride * static_cast<size_t>(h.Height))) Fail("pixel data is truncated");
  const TChannel cr = ChannelOf(h.Masks[0]), cg = ChannelOf(h.Masks[1]), cb = ChannelOf(h.Masks[2]);
  const bool standard32 =
      h.Bits == 32 && h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF;
  for (int32_t row = 0; row < h.Height; ++row) {
    const uint8_t* s = r.At(h.PixelOffset + static_cast<size_t>(row) * stride);
    uint32_t* d = reinterpret_cast<uint32_t*>(out.ScanLine(FileRowToY(h, row)));
    switch (h.Bits) {
      case 1:
      case 4:
      case 8: {
        const int per = 8 / h.Bits;
        const uint32_t mask = (1u << h.Bits) - 1;
        for (int32_t x = 0; x < h.Width; ++x) {
          const uint8_t byte = s[x / per];
          const int shift = 8 - h.Bits * (x % per + 1);
          d[x] = pal[(byte >> shift) & mask];
        }
        break;
      }
      case 24:
        for (int32_t x = 0; x < h.Width; ++x, s += 3)
          d[x] = uint32_t{s[0]} | (uint32_t{s[1]} << 8) | (uint32_t{s[2]} << 16);
        break;
      case 16:
        for (int32_t x = 0; x < h.Width; ++x, s += 2) {
          const uint32_t v = uint32_t{s[0]} | (uint32_t{s[1]} << 8);
          d[x] = cb.Scale(v) | (uint32_t{cg.Scale(v)} << 8) | (uint32_t{cr.Scale(v)} << 16);
        }
        break;
      case 32:
        if (standard32) {
          // The fourth bytes are kept as stored (our own pictures keep transparency there).
          std::memcpy(d, s, static_cast<size_t>(h.Width) * 4);
        } else {
          for (int32_t x = 0; x < h.Width; ++x, s += 4) {
            const uint32_t v =
                uint32_t{s[0]} | (uint32_t{s[1]} << 8) | (uint32_t{s[2]} << 16) | (uint32_t{s[3]} << 24);
            d[x] = cb.Scale(v) | (uint32_t{cg.Scale(v)} << 8) | (uint32_t{cr.Scale(v)} << 16);
          }
        }
        break;
    }
  }
}

void DecodeRle(const TReader& r, const THeader& h, const std::array<uint32_t, 256>& pal, TABitmap& out) {
  const bool four = h.Compression == kRle4;
  // Pixels the stream never reaches show colour 0 of the table.
  out.Fill(pal[0]);
  size_t pos = h.PixelOffset;
  const size_t end = r.Size();
  int32_t x = 0, row = 0;  // row counts from the bottom
  auto put = [&](uint32_t index) {
    if (x < h.Width && row < h.Height)
      reinterpret_cast<uint32_t*>(out.ScanLine(h.Height - 1 - row))[x] = pal[index];
    ++x;
  };
  for (;;) {
    if (pos + 2 > end) Fail("compressed data is truncated");
    const uint8_t count = r.At(pos)[0], value = r.At(pos)[1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i)
        put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (pos + 2 > end) Fail("compressed data is truncated");
      x += r.At(pos)[0];
      row += r.At(pos)[1];
      pos += 2;
    } else {  // absolute run of `value` pixels, padded to 16 bits
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (!r.Has(pos, padded)) Fail("compressed data is truncated");
      const uint8_t* p = r.At(pos);
      for (int i = 0; i < value; ++i)
        put(four ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
      pos += padded;
    }
    if (row >= h.Height) return;             // past the top row: nothing more can be drawn
    if (x > h.Width + 255 * 2) x = h.Width;  // keep the column bounded on hostile deltas
  }
}

}  // namespace

uint32_t BmpDeclaredSize(std::span<const uint8_t> header14) {
  if (header14.size() < 14 || header14[0] != 'B' || header14[1] != 'M') return 0;
  return uint32_t{header14[2]} | (uint32_t{header14[3]} << 8) | (uint32_t{header14[4]} << 16) |
         (uint32_t{header14[5]} << 24);
}

TABitmap DecodeBmp(std::span<const uint8_t> file) {
  const TReader r(file);
  const THeader h = ReadHeader(r);
  const std::array<uint32_t, 256> pal = ReadPalette(r, h);
  if (h.Compression == kRgb || h.Compression == kBitfields) {
    // Check that the rows are there before allocating the picture.
    const size_t stride = ((static_cast<size_t>(h.Width) * h.Bits + 31) / 32) * 4;
    if (static_cast<uint64_t>(stride) * static_cast<uint64_t>(h.Height) > r.Size() - h.PixelOffset)
      Fail("pixel data is truncated");
  }
  TABitmap out;
  out.SetSize(h.Width, h.Height);  // refuses absurd sizes before allocating
  if (h.Compression == kRle4 || h.Compression == kRle8)
    DecodeRle(r, h, pal, out);
  else
    DecodeUncompressed(r, h, pal, out);
  return out;
}

}  // namespace vexa
