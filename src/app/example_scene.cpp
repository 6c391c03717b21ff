#include "example_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>

#include "bitmap/bitmap.h"
#include "media/avi_writer.h"
#include "model/event_kinds.h"
#include "model/project.h"

namespace vexa::example {

namespace fs = std::filesystem;

namespace {

uint32_t Pixel(int r, int g, int b, int transparency) {
  auto c = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  return c(b) | c(g) << 8 | c(r) << 16 | c(transparency) << 24;
}

// A dusk sky: deep blue at the top to orange at the horizon, with faint stripes.
TABitmap Sky(int32_t w, int32_t h) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y) {
    const double t = static_cast<double>(y) / h;
    for (int32_t x = 0; x < w; ++x) {
      const double stripe = 12 * std::sin(x / 37.0 + y / 53.0);
      b.SetPixel(x, y,
                 Pixel(static_cast<int>(30 + 220 * t + stripe), static_cast<int>(40 + 90 * t * t),
                       static_cast<int>(120 - 80 * t + stripe), 0));
    }
  }
  return b;
}

// A sun with soft edges: opaque in the middle, fully transparent outside (32-bit BMP).
TABitmap Sun(int32_t size) {
  TABitmap b;
  b.SetSize(size, size);
  const double c = (size - 1) / 2.0, r = size * 0.42;
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) {
      const double d = std::hypot(x - c, y - c);
      const double rays = 0.5 + 0.5 * std::cos(12 * std::atan2(y - c, x - c));
      const double edge = d < r ? 0 : std::min(1.0, (d - r) / (size * 0.08 * (0.3 + rays)));
      b.SetPixel(x, y, Pixel(255, static_cast<int>(200 - 60 * d / size), 40, static_cast<int>(255 * edge)));
    }
  return b;
}

// A wipe rule: a diagonal ramp (grey levels are the order in which pixels change).
TABitmap Rule(int32_t w, int32_t h) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int v = (x + y) * 255 / (w + h);
      b.SetPixel(x, y, Pixel(v, v, v, 0));
    }
  return b;
}

// Three seconds of moving colour bars with a bouncing ball, written with our AVI writer.
void WriteClip(const std::string& path) {
  constexpr int32_t w = 320, h = 180, fps = 30, frames = 90;
  QuietCodecLogs();
  TAVICompressor writer;
  TAVIWriteSettings s;
  s.Width = w, s.Height = h, s.Rate = fps, s.Handler = "mjpeg", s.ShowOptions = 0, s.StreamName = "clip";
  if (const int32_t err = writer.Open(path, s)) throw std::runtime_error(path + ": " + AviErrorText(err));
  TABitmap frame;
  for (int k = 0; k < frames; ++k) {
    frame.SetSize(w, h);
    const double bx = 40 + 240 * std::abs(std::sin(k * std::numbers::pi / 45));
    const double by = 140 - 100 * std::abs(std::sin(k * std::numbers::pi / 15));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const int bar = ((x + 4 * k) / 40) % 6;
        const int r = bar == 0 || bar == 4 || bar == 5 ? 220 : 40;
        const int g = bar == 1 || bar == 2 || bar == 5 ? 200 : 50;
        const int b = bar == 2 || bar == 3 || bar == 4 ? 230 : 60;
        const bool ball = std::hypot(x - bx, y - by) < 18;
        frame.SetPixel(x, y, ball ? Pixel(255, 255, 255, 0) : Pixel(r, g, b, 0));
      }
    frame.Convert24Bit();
    if (const int32_t err = writer.WriteFrame(frame))
      throw std::runtime_error(path + ": " + AviErrorText(err));
  }
  if (const int32_t err = writer.Close()) throw std::runtime_error(path + ": " + AviErrorText(err));
}

template <class T>
T& Add(TGraphicLayer& layer, uint32_t start, uint32_t end) {
  std::unique_ptr<TEvent> e = NewEventWithInitialValues(T::KindCode);
  e->StartTime = start;
  e->EndTime = end;
  auto* list = layer.ListForKind(T::KindCode);
  e->EventNumber = static_cast<uint32_t>(list->Count());
  return *EventAs<T>(list->Add(std::move(e)));
}

TGraphicLayer& Layer(TProject& p, const fs::path& folder, const std::string& name, const std::string& file) {
  TGraphicLayer& l = *NewGraphicLayer(p.GraphicLayers, -1);
  l.Name = name;
  l.FileName = (folder / "layers" / file).string();
  return l;
}

}  // namespace

void BuildDemoPictures(const fs::path& folder, TProject& p) {
  fs::create_directories(folder / "pictures");
  fs::create_directories(folder / "movies");
  fs::create_directories(folder / "layers");
  const std::string sky = (folder / "pictures" / "sky.bmp").string();
  const std::string sun = (folder / "pictures" / "sun.bmp").string();
  const std::string rule = (folder / "pictures" / "wipe-rule.bmp").string();
  const std::string clip = (folder / "movies" / "clip.avi").string();
  Sky(1280, 720).SaveToFile(sky);
  Sun(256).SaveToFile(sun);
  Rule(640, 160).SaveToFile(rule);
  WriteClip(clip);

  p.Width = 1280, p.Height = 720, p.FPS = 30, p.BackColor = 0x00402010;

  TGraphicLayer& back = Layer(p, folder, "背景", "background.vxgl");
  Add<TGraphicSourceImageEvent>(back, 0, 10000).FileName = sky;
  auto& fadeIn = Add<TGraphicEffectFadeEvent>(back, 0, 1000);
  fadeIn.StartAlpha = 0, fadeIn.EndAlpha = 255;
  auto& dusk = Add<TGraphicEffectBrightnessEvent>(back, 8000, 10000);
  dusk.StartPower = 0, dusk.EndPower = -200;

  TGraphicLayer& movie = Layer(p, folder, "動画", "movie.vxgl");
  Add<TGraphicSourceMovieEvent>(movie, 1000, 7000).FileName = clip;
  auto& grow = Add<TGraphicEffectSizeEvent>(movie, 1000, 7000);
  grow.SizeType = 1, grow.StartWidth = grow.StartHeight = 100, grow.EndWidth = grow.EndHeight = 160;
  auto& place = Add<TGraphicEffectPositionEvent>(movie, 1000, 7000);
  place.PositionType = 0, place.StartX = 900, place.EndX = 700, place.StartY = 400, place.EndY = 380;
  auto& sepia = Add<TGraphicEffectSepiaEvent>(movie, 4000, 7000);
  sepia.StartRed = sepia.EndRed = 40, sepia.StartBlue = sepia.EndBlue = -30;
  Add<TGraphicEffectMirrorHorzEvent>(movie, 5500, 7000);

  TGraphicLayer& logo = Layer(p, folder, "太陽", "sun.vxgl");
  Add<TGraphicSourceImageEvent>(logo, 0, 10000).FileName = sun;
  auto& sunPath = Add<TGraphicEffectPositionEvent>(logo, 0, 10000);
  sunPath.PositionType = 0, sunPath.StartX = 80, sunPath.EndX = 960, sunPath.StartY = 420, sunPath.EndY = 60;
  auto& spin = Add<TGraphicEffectRotateEvent>(logo, 0, 10000);
  spin.StartAngle = 0, spin.EndAngle = 3600;
  auto& sunFade = Add<TGraphicEffectFadeEvent>(logo, 0, 1500);
  sunFade.StartAlpha = 0, sunFade.EndAlpha = 255;

  TGraphicLayer& title = Layer(p, folder, "タイトル", "title.vxgl");
  auto& text = Add<TGraphicSourceTextEvent>(title, 500, 6000);
  text.Text = "Vexa Studio\r\nミュージックビデオ・デモ";
  text.Font.Name = "IPAPGothic", text.Font.Size = 64, text.Font.Style = font_style::Bold;
  text.Font.Color = 0x00FFFFFF, text.Font.Align = 1;
  auto& slide = Add<TGraphicEffectPositionEvent>(title, 500, 2500);
  slide.PositionType = 2, slide.OriginDirection = 4, slide.StartDirection = 1, slide.EndDirection = 4;
  auto& tilt = Add<TGraphicEffectRotateEvent>(title, 2500, 3500);
  tilt.StartAngle = 0, tilt.EndAngle = -300;
  auto& warm = Add<TGraphicEffectColorRevisionEvent>(title, 3500, 6000);
  warm.StartRed = warm.EndRed = 40, warm.StartBlue = warm.EndBlue = -40;
  auto& wipe = Add<TGraphicEffectTransitionEvent>(title, 5000, 6000);
  wipe.RuleFileName = rule;

  TGraphicLayer& caption = Layer(p, folder, "字幕", "caption.vxgl");
  auto& line = Add<TGraphicSourceTextEvent>(caption, 6000, 10000);
  line.Text = "Latin & 日本語 — 夕焼けの歌 / Sunset Song";
  line.Font.Name = "DejaVu Sans", line.Font.Size = 40, line.Font.Color = 0x0080E0FF, line.Font.Align = 1;
  auto& lower = Add<TGraphicEffectPositionEvent>(caption, 6000, 10000);
  lower.PositionType = 0, lower.StartX = lower.EndX = 160, lower.StartY = 600, lower.EndY = 560;
  auto& blink = Add<TGraphicEffectBlinkEvent>(caption, 9000, 10000);
  blink.StartInterval = blink.EndInterval = 200;

  TGraphicLayer& master = Layer(p, folder, kMasterLayerNameJa, "master.vxgl");
  Add<TGraphicSourceMasterEvent>(master, 0, 10000);
  auto& shake = Add<TGraphicEffectVibrationEvent>(master, 3000, 3500);
  shake.StartInterval = shake.EndInterval = 30, shake.PositionType = 0;
  shake.StartMaxX = shake.EndMaxX = shake.StartMaxY = shake.EndMaxY = 8;
  auto& mosaic = Add<TGraphicEffectMosaicEvent>(master, 9200, 10000);
  mosaic.StartX2 = mosaic.EndX2 = mosaic.StartY2 = mosaic.EndY2 = 100;
  mosaic.StartPower = 1, mosaic.EndPower = 24;
}

}  // namespace vexa::example
