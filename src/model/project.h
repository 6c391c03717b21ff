// The open project: picture format, name, file and its two layer lists.
#pragma once

#include <cstdint>
#include <string>

#include "layers.h"

namespace vexa {

inline const std::string kNewProjectName = "新規プロジェクト";

struct TProject {
  std::string ProjectName = kNewProjectName;
  std::string FileName;
  uint32_t Width = 640;
  uint32_t Height = 480;
  uint32_t FPS = 30;
  int32_t BackColor = 0;  // 0x00BBGGRR
  TLayerList<TGraphicLayer> GraphicLayers;
  TLayerList<TSoundLayer> SoundLayers;

  // Back to the start-up project: settings as at program start, no layers, no file.
  void Reset();
};

}  // namespace vexa
