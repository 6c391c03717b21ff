// Helpers shared by the render tests: projects built in code and pictures written to a
// scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/blend.h"
#include "model/project.h"
#include "render/studio.h"

namespace vexa::test {

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::path(testing::TempDir()) /
            ("vexa_render_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Writes a w x h BMP whose every pixel is `pixel`.
inline std::string WritePicture(const ScratchDir& dir, const std::string& name, int32_t w, int32_t h,
                                uint32_t pixel) {
  TABitmap b;
  b.SetSize(w, h);
  b.Fill(pixel);
  const std::string path = dir.File(name);
  b.SaveToFile(path);
  return path;
}

inline TGraphicLayer& AddLayer(TProject& p, const std::string& name = "layer") {
  TGraphicLayer* l = NewGraphicLayer(p.GraphicLayers, -1);
  l->Name = name;
  return *l;
}

template <class T>
T& AddEvent(TGraphicLayer& layer, uint32_t start, uint32_t end) {
  auto e = std::make_unique<T>();
  e->StartTime = start;
  e->EndTime = end;
  e->EventNumber = static_cast<uint32_t>(layer.EventCount());
  return static_cast<T&>(*layer.ListForKind(T::KindCode)->Add(std::move(e)));
}

inline TGraphicSourceImageEvent& AddImage(TGraphicLayer& layer, uint32_t start, uint32_t end,
                                          const std::string& file, int32_t blend = bmAlpha) {
  auto& e = AddEvent<TGraphicSourceImageEvent>(layer, start, end);
  e.FileName = file;
  e.BlendMode = blend;
  return e;
}

inline std::vector<uint32_t> Pixels(const TABitmap& b) {
  return std::vector<uint32_t>(b.Pixels(), b.Pixels() + static_cast<size_t>(b.Width()) * b.Height());
}

// Renders every frame sequentially and compares each with a fresh session seeked to it, and
// with one session that keeps seeking around.
inline void ExpectSeekMatchesSequential(const TProject& source, uint32_t expectedFrames,
                                        TEffectFn (*lookup)(int32_t) = &FindEffectHandler) {
  TVexaStudio seq;
  seq.Project.Width = source.Width;
  seq.Project.Height = source.Height;
  seq.Project.FPS = source.FPS;
  seq.Project.BackColor = source.BackColor;
  CopyGraphicLayers(source.GraphicLayers, seq.Project.GraphicLayers);
  seq.EffectLookup = lookup;
  ASSERT_TRUE(seq.PrepareSession());
  ASSERT_EQ(seq.FrameCount, expectedFrames);
  std::vector<std::vector<uint32_t>> frames;
  for (uint32_t f = 0; f < seq.FrameCount; ++f) {
    seq.ComposeFrame();
    frames.push_back(Pixels(seq.FrameBitmap));
  }
  TVexaStudio roamer;
  roamer.Project.Width = source.Width;
  roamer.Project.Height = source.Height;
  roamer.Project.FPS = source.FPS;
  roamer.Project.BackColor = source.BackColor;
  CopyGraphicLayers(source.GraphicLayers, roamer.Project.GraphicLayers);
  roamer.EffectLookup = lookup;
  ASSERT_TRUE(roamer.PrepareSession());
  std::mt19937 rng(7);
  for (uint32_t f = 0; f < seq.FrameCount; ++f) {
    TVexaStudio fresh;
    fresh.Project.Width = source.Width;
    fresh.Project.Height = source.Height;
    fresh.Project.FPS = source.FPS;
    fresh.Project.BackColor = source.BackColor;
    CopyGraphicLayers(source.GraphicLayers, fresh.Project.GraphicLayers);
    fresh.EffectLookup = lookup;
    ASSERT_TRUE(fresh.PrepareSession());
    fresh.SeekFrame(f);
    fresh.ComposeFrame();
    ASSERT_EQ(Pixels(fresh.FrameBitmap), frames[f]) << "fresh seek to frame " << f;
    const uint32_t r = static_cast<uint32_t>(rng() % seq.FrameCount);
    roamer.SeekFrame(r);
    roamer.ComposeFrame();
    ASSERT_EQ(Pixels(roamer.FrameBitmap), frames[r]) << "roaming seek to frame " << r;
    // A few frames on from there without seeking.
    for (uint32_t k = r + 1; k < std::min(r + 4, seq.FrameCount); ++k) {
      roamer.ComposeFrame();
      ASSERT_EQ(Pixels(roamer.FrameBitmap), frames[k]) << "after roaming, frame " << k;
    }
  }
}

}  // namespace vexa::test
