// TABitmap: the one picture type of the render engine.
//
// Memory layout is part of the contract: 4 bytes per pixel in the order blue, green, red,
// alpha (0xAARRGGBB as a little-endian word), alpha = transparency (0 opaque, 255 fully
// transparent), rows stored bottom-up without gaps (stride Width * 4), so the whole picture is
// one block starting at ScanLine(Height - 1) and is byte for byte the pixel array of a
// bottom-up 32-bit BI_RGB bitmap. A bitmap may also be held at 24 bits for a moment (3 bytes
// per pixel, stride rounded up to 4); only Force32Bit, Convert24Bit, the frame writer, the movie
// reader and MergeAlphaMask deal with that state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iosfwd>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vexa {

// Raised for unreadable pictures and refused sizes; the message says what was wrong.
class TBitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Largest picture the engine accepts: each side at most 32768 pixels and at most 2^27 pixels in
// all (512 MiB at 32 bits). Anything larger is refused before allocating.
inline constexpr int32_t kMaxBitmapSide = 32768;
inline constexpr int64_t kMaxBitmapPixels = int64_t{1} << 27;

class TABitmap {
 public:
  TABitmap() = default;
  TABitmap(const TABitmap&) = delete;
  TABitmap& operator=(const TABitmap&) = delete;
  TABitmap(TABitmap&& other) noexcept { Swap(other); }
  TABitmap& operator=(TABitmap&& other) noexcept {
    Swap(other);
    return *this;
  }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int BitsPerPixel() const { return bits_; }
  // Bytes from one row to the next: Width * 4 at 32 bits, Width * 3 rounded up to 4 at 24.
  size_t Stride() const { return StrideFor(width_, bits_); }
  size_t ByteSize() const { return Stride() * static_cast<size_t>(height_); }

  // Address of the first pixel of row y (0 = top row).
  uint8_t* ScanLine(int32_t y) { return data_.get() + static_cast<size_t>(height_ - 1 - y) * Stride(); }
  const uint8_t* ScanLine(int32_t y) const {
    return data_.get() + static_cast<size_t>(height_ - 1 - y) * Stride();
  }
  // The whole block (== ScanLine(Height - 1)); nullptr when empty.
  uint8_t* Bits() { return data_.get(); }
  const uint8_t* Bits() const { return data_.get(); }
  uint32_t* Pixels() { return reinterpret_cast<uint32_t*>(data_.get()); }
  const uint32_t* Pixels() const { return reinterpret_cast<const uint32_t*>(data_.get()); }
  // Pixel (x, y) of a 32-bit picture; no range check.
  uint32_t Pixel(int32_t x, int32_t y) const { return reinterpret_cast<const uint32_t*>(ScanLine(y))[x]; }
  void SetPixel(int32_t x, int32_t y, uint32_t v) { reinterpret_cast<uint32_t*>(ScanLine(y))[x] = v; }

  // 32 bits per pixel; a 24-bit picture is converted in place with alpha 0.
  void Force32Bit();
  // 24 bits per pixel; the alpha bytes are dropped.
  void Convert24Bit();
  // Force32Bit, then the new size. The top-left area common to both sizes keeps its pixels;
  // every other pixel becomes 0xFFFFFFFF (white, fully transparent). Negative sizes count as 0.
  // Throws TBitmapError for a size beyond the limits above.
  void SetSize(int32_t width, int32_t height);
  // 0 x 0 at 32 bits.
  void Clear();
  // Copy of size and pixels, then Force32Bit (a 24-bit source yields alpha 0).
  void Assign(const TABitmap& source);
  // Exchanges the two pictures without copying pixels.
  void Swap(TABitmap& other) noexcept;

  // Windows BMP input, then Force32Bit. On error the bitmap is unchanged and TBitmapError is
  // thrown.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(std::istream& stream);
  void LoadFromMemory(std::span<const uint8_t> data);
  // Windows BMP output (BITMAPINFOHEADER, BI_RGB, bottom-up, current depth).
  std::vector<uint8_t> SaveToMemory() const;
  void SaveToStream(std::ostream& stream) const;
  void SaveToFile(const std::string& fileName) const;

  // Alpha byte of every pixel := value; colours untouched.
  void SetAlpha(uint8_t value);
  // Every pixel := value (blue bits 0-7, green 8-15, red 16-23, alpha 24-31).
  void Fill(uint32_t value);

  static size_t StrideFor(int32_t width, int bits) {
    return bits == 24 ? (static_cast<size_t>(width) * 3 + 3) & ~size_t{3} : static_cast<size_t>(width) * 4;
  }

 private:
  struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  using Block = std::unique_ptr<uint8_t, FreeDeleter>;
  static Block Allocate(size_t bytes);
  static void CheckSize(int64_t width, int64_t height);

  Block data_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int bits_ = 32;
};

// Width >= 1 and Height >= 1.
inline bool HasArea(const TABitmap& b) {
  return b.Width() >= 1 && b.Height() >= 1;
}

// Dest := Colour's colours with the blue byte of Mask as transparency (0 opaque, 255
// transparent). Colour is made 32-bit, Mask 24-bit. Mask must be at least as large as Colour;
// a smaller mask makes the call throw TBitmapError (nothing is read out of bounds).
void MergeAlphaMask(TABitmap& colour, TABitmap& mask, TABitmap& dest);

// Colour value 0x00BBGGRR (red low) to the pixel with those colours and alpha 0.
inline constexpr uint32_t ColorToPixel(uint32_t color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

}  // namespace vexa
