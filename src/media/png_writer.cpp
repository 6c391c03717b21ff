#include "media/png_writer.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "media/output_file.h"

namespace vexa {

bool WritePngFile(const TABitmap& bitmap, const std::string& fileName, std::string& error,
                  TTempFileWatch* tempFiles) {
  const int bpp = bitmap.BitsPerPixel() / 8;
  if (!bitmap.Bits() || bitmap.Width() < 1 || bitmap.Height() < 1 || (bpp != 3 && bpp != 4)) {
    error = "no picture to write";
    return false;
  }
  // Top row first, blue-green-red bytes as TABitmap holds them.
  const auto w = static_cast<size_t>(bitmap.Width());
  std::vector<uint8_t> rows(w * 3 * static_cast<size_t>(bitmap.Height()));
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* s = bitmap.ScanLine(y);
    uint8_t* d = rows.data() + static_cast<size_t>(y) * w * 3;
    for (size_t x = 0; x < w; ++x, s += bpp, d += 3)
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.Width());
  image.height = static_cast<png_uint_32>(bitmap.Height());
  image.format = PNG_FORMAT_BGR;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rows.data(), 0, nullptr)) {
    error = image.message;
    png_image_free(&image);
    return false;
  }
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rows.data(), 0, nullptr)) {
    error = image.message;
    png_image_free(&image);
    return false;
  }
  png_image_free(&image);

  std::string temp;
  if (const int err = CreateTemporaryOutput(fileName, temp, tempFiles); err != 0) {
    error = std::strerror(-err);
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(temp.c_str(), "wb"), &std::fclose);
  bool ok = f && std::fwrite(bytes.data(), 1, size, f.get()) == size;
  if (f) ok = std::fclose(f.release()) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), ReplacedPath(fileName).c_str()) == 0;
  if (!ok) {
    error = std::strerror(errno);
    ::unlink(temp.c_str());
  }
  if (tempFiles) tempFiles->Gone(temp);
  return ok;
}

}  // namespace vexa
