// BMP input and output of TABitmap.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>

#include "bitmap/bitmap.h"
#include "bitmap/bmp_reader.h"

namespace vexa {
namespace {

void Put16(std::vector<uint8_t>& v, size_t pos, uint32_t x) {
  v[pos] = static_cast<uint8_t>(x);
  v[pos + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t pos, uint32_t x) {
  for (int i = 0; i < 4; ++i)
    v[pos + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}

// Largest BMP we read from a file or stream at all (a bigger one could not hold a picture
// within the size limits anyway).
constexpr uint64_t kMaxBmpBytes = static_cast<uint64_t>(kMaxBitmapPixels) * 4 + (1u << 20);

}  // namespace

void TABitmap::LoadFromMemory(std::span<const uint8_t> data) {
  TABitmap decoded = DecodeBmp(data);
  Swap(decoded);
}

void TABitmap::LoadFromFile(const std::string& fileName) {
  std::ifstream f(fileName, std::ios::binary);
  if (!f) throw TBitmapError("cannot open " + fileName);
  f.seekg(0, std::ios::end);
  const std::streamoff size = f.tellg();
  if (size < 0) throw TBitmapError("cannot read " + fileName);
  if (static_cast<uint64_t>(size) > kMaxBmpBytes) throw TBitmapError(fileName + " is too large");
  f.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!f.read(reinterpret_cast<char*>(bytes.data()), size)) throw TBitmapError("cannot read " + fileName);
  try {
    LoadFromMemory(bytes);
  } catch (const TBitmapError& e) {
    throw TBitmapError(fileName + ": " + e.what());
  }
}

void TABitmap::LoadFromStream(std::istream& stream) {
  // Reads exactly the picture the header announces when it announces a plausible size,
  // otherwise everything up to the end of the stream.
  std::vector<uint8_t> bytes(14);
  if (!stream.read(reinterpret_cast<char*>(bytes.data()), 14))
    throw TBitmapError("invalid BMP file: file is too short");
  const uint32_t declared = BmpDeclaredSize(bytes);
  if (declared == 0 && (bytes[0] != 'B' || bytes[1] != 'M'))
    throw TBitmapError("invalid BMP file: missing BM signature");
  // A header may announce any size: read in chunks up to it (or to the end of the stream),
  // so that memory grows only with bytes actually present.
  const uint64_t limit = declared > 14 ? declared : kMaxBmpBytes + 1;
  char buf[65536];
  while (bytes.size() < limit) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof buf, limit - bytes.size()));
    stream.read(buf, static_cast<std::streamsize>(want));
    const std::streamsize got = stream.gcount();
    if (got <= 0) break;
    bytes.insert(bytes.end(), buf, buf + got);
    if (bytes.size() > kMaxBmpBytes) throw TBitmapError("invalid BMP file: too large");
  }
  stream.clear(stream.rdstate() & ~std::ios::failbit & ~std::ios::eofbit);
  LoadFromMemory(bytes);
}

std::vector<uint8_t> TABitmap::SaveToMemory() const {
  if (!HasArea(*this)) throw TBitmapError("cannot save an empty picture");
  const size_t pixels = ByteSize();
  const size_t offset = 14 + 40;
  std::vector<uint8_t> out(offset + pixels, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, offset);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(width_));
  Put32(out, 22, static_cast<uint32_t>(height_));  // positive: bottom-up, as held
  Put16(out, 26, 1);
  Put16(out, 28, static_cast<uint32_t>(bits_));
  Put32(out, 30, 0);  // BI_RGB
  Put32(out, 34, static_cast<uint32_t>(pixels));
  Put32(out, 38, 2835);  // 72 dpi
  Put32(out, 42, 2835);
  std::memcpy(out.data() + offset, data_.get(), pixels);
  return out;
}

void TABitmap::SaveToStream(std::ostream& stream) const {
  const std::vector<uint8_t> bytes = SaveToMemory();
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!stream) throw TBitmapError("cannot write the picture");
}

void TABitmap::SaveToFile(const std::string& fileName) const {
  const std::vector<uint8_t> bytes = SaveToMemory();
  // Written beside the target and renamed over it, so a failed write never leaves half a file.
  const std::string temp = fileName + ".tmp";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) {
      std::remove(temp.c_str());
      throw TBitmapError("cannot write " + fileName);
    }
  }
  if (std::rename(temp.c_str(), fileName.c_str()) != 0) {
    std::remove(temp.c_str());
    throw TBitmapError("cannot write " + fileName);
  }
}

}  // namespace vexa
