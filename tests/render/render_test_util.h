// Helpers shared by the render tests: projects built in code and pictures written to a
// scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace vexa::test
