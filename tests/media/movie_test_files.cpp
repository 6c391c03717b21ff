#include "movie_test_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace vexa::test {

bool MakeNumberedMovie(const std::string& path, int frames, const std::string& rate,
                       const std::string& options, int width, int height) {
  const std::string raw = path + ".rgb";
  {
    std::ofstream f(raw, std::ios::binary);
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3);
    const int bar = width / 10;
    for (int n = 0; n < frames; ++n) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 3];
          if (y >= height - 20) {
            p[0] = 255, p[1] = 0, p[2] = 0;
          } else {
            const int bit = 9 - std::min(x / bar, 9);
            const uint8_t v = ((n >> bit) & 1) ? 235 : 16;
            p[0] = p[1] = p[2] = v;
          }
        }
      f.write(reinterpret_cast<const char*>(px.data()), static_cast<std::streamsize>(px.size()));
    }
  }
  const std::string cmd = "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt rgb24 -s " +
                          std::to_string(width) + "x" + std::to_string(height) + " -r " + rate + " -i '" +
                          raw + "' " + options + " '" + path + "'";
  const int status = std::system(cmd.c_str());
  std::remove(raw.c_str());
  return status == 0 && std::filesystem::exists(path);
}

int ReadPictureNumber(const TABitmap& picture) {
  if (picture.Width() < 10 || picture.Height() < 40) return -1;
  const int bar = picture.Width() / 10;
  const int bpp = picture.BitsPerPixel() / 8;
  int n = 0;
  for (int i = 0; i < 10; ++i) {
    const uint8_t* p = picture.ScanLine(picture.Height() / 3) + static_cast<size_t>(i * bar + bar / 2) * bpp;
    const int g = p[1];
    if (g > 80 && g < 170) return -1;  // neither black nor white: a broken picture
    n = n * 2 + (g >= 170 ? 1 : 0);
  }
  return n;
}

std::string MakeTempFolder(const std::string& tag) {
  std::random_device rd;
  const auto dir = std::filesystem::temp_directory_path() / ("vexa-" + tag + "-" + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

}  // namespace vexa::test
