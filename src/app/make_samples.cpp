// vexa-make-samples: paints the sample pictures that the editing dialogs' previews show under an
// effect, with our own bitmap code, and writes them as BMP files into a folder (the build puts
// them in the "Sample" folder beside the executables).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>

#include "bitmap/bitmap.h"
#include "persist/atomic_file.h"

namespace {

using namespace vexa;

constexpr int32_t kWidth = 640, kHeight = 480;

struct TColour {
  double R, G, B;
};

TColour Mix(TColour a, TColour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

// A colour from a hue in turns (0 red, 1/3 green, 2/3 blue), fully saturated.
TColour Hue(double h) {
  auto channel = [&](double offset) {
    const double x = std::fmod(h + offset + 10.0, 1.0);
    return std::clamp(std::abs(x * 6 - 3) - 1, 0.0, 1.0) * 255;
  };
  return {channel(0), channel(2.0 / 3), channel(1.0 / 3)};
}

// Paints every pixel from its position (0..1 across, 0..1 down) and writes an opaque BMP.
void Paint(const std::filesystem::path& file, const std::function<TColour(double, double)>& colour) {
  TABitmap b;
  b.SetSize(kWidth, kHeight);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const TColour c = colour((x + 0.5) / kWidth, (y + 0.5) / kHeight);
      auto v = [](double d) { return static_cast<uint32_t>(std::clamp(std::lround(d), 0L, 255L)); };
      b.SetPixel(x, y, v(c.B) | v(c.G) << 8 | v(c.R) << 16);
    }
  b.Convert24Bit();
  const std::vector<uint8_t> bytes = b.SaveToMemory();
  WriteFileAtomic(file.string(), std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Evening sky over the sea: the sun low above the horizon, its glitter on the water.
TColour Sunset(double x, double y) {
  constexpr double horizon = 0.62;
  const double sunX = 0.5, sunY = 0.5, aspect = double(kWidth) / kHeight;
  if (y < horizon) {
    TColour sky = y < 0.35 ? Mix({40, 30, 90}, {200, 80, 110}, y / 0.35) : Mix({200, 80, 110}, {255, 170, 80}, (y - 0.35) / (horizon - 0.35));
    const double d = std::hypot((x - sunX) * aspect, y - sunY);
    if (d < 0.08) return Mix({255, 250, 210}, {255, 220, 120}, d / 0.08);
    return Mix(sky, {255, 210, 120}, 0.5 * std::exp(-d * 8));
  }
  const double depth = (y - horizon) / (1 - horizon);
  TColour sea = Mix({120, 60, 90}, {20, 25, 60}, depth);
  const double ripple = 0.5 + 0.5 * std::sin(y * 300 + std::sin(x * 40) * 2);
  const double glitter = std::exp(-std::pow((x - sunX) * aspect / (0.05 + depth * 0.2), 2)) * ripple;
  return Mix(sea, {255, 200, 110}, glitter * 0.8);
}

// Night sky with curtains of green and violet light over dark hills.
TColour Aurora(double x, double y) {
  TColour c = Mix({5, 10, 35}, {15, 30, 60}, y);
  for (int band = 0; band < 3; ++band) {
    const double centre = 0.25 + 0.12 * band + 0.06 * std::sin(x * 9 + band * 2.1);
    // Curtains: a sharp lower edge, a long fade upwards, fine vertical rays.
    const double below = y - centre;
    const double shape = below > 0 ? std::exp(-std::pow(below / 0.02, 2)) : std::exp(below / 0.12);
    const double rays = 0.75 + 0.25 * std::sin(x * 160 + band * 3) * std::sin(x * 37);
    c = Mix(c, band == 1 ? TColour{170, 90, 220} : TColour{60, 240, 150}, shape * rays * 0.7);
  }
  const double hill = 0.8 + 0.06 * std::sin(x * 7) + 0.03 * std::sin(x * 23 + 1);
  if (y > hill) return Mix({10, 20, 25}, {0, 5, 10}, (y - hill) * 5);
  // A few stars in the dark part.
  const double sx = x * 97.0, sy = y * 71.0;
  const double star = std::sin(std::floor(sx) * 12.9898 + std::floor(sy) * 78.233) * 43758.5453;
  if (star - std::floor(star) > 0.985 && std::hypot(sx - std::floor(sx) - 0.5, sy - std::floor(sy) - 0.5) < 0.15)
    return {230, 230, 255};
  return c;
}

// Rounded tiles in soft colours that change hue across the picture.
TColour Tiles(double x, double y) {
  constexpr double tile = 1.0 / 8;
  const double tx = std::fmod(x, tile) / tile, ty = std::fmod(y * kHeight / kWidth, tile) / tile;
  const double cx = std::floor(x / tile), cy = std::floor(y * kHeight / kWidth / tile);
  const double edge = std::max(std::abs(tx - 0.5), std::abs(ty - 0.5));
  const TColour face = Mix(Hue((cx + cy) / 16 + 0.05), {255, 255, 255}, 0.55);
  if (edge > 0.44) return {245, 240, 230};  // the grout
  return Mix(face, Mix(face, {0, 0, 0}, 0.25), (tx + ty) / 2 - 0.25);
}

// Rings of colour around the centre, darker towards the corners.
TColour Rings(double x, double y) {
  const double aspect = double(kWidth) / kHeight;
  const double d = std::hypot((x - 0.5) * aspect, y - 0.5);
  const double a = std::atan2(y - 0.5, (x - 0.5) * aspect) / (2 * std::numbers::pi);
  const TColour ring = Hue(d * 1.6 + 0.1 * std::sin(a * 2 * std::numbers::pi * 5));
  const double soft = 0.5 + 0.5 * std::cos(d * 60);
  return Mix(Mix(ring, {255, 250, 240}, 0.45 + 0.25 * soft), {30, 25, 45}, std::pow(d / 0.9, 3));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vexa-make-samples FOLDER\n  writes the sample pictures of the editor's previews\n";
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    Paint(folder / "sunset.bmp", Sunset);
    Paint(folder / "aurora.bmp", Aurora);
    Paint(folder / "tiles.bmp", Tiles);
    Paint(folder / "rings.bmp", Rings);
  } catch (const std::exception& e) {
    std::cerr << "vexa-make-samples: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
