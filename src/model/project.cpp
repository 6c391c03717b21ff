#include "project.h"

namespace vexa {

void TProject::Reset() {
  DeleteAllGraphicLayers(GraphicLayers);
  DeleteAllSoundLayers(SoundLayers);
  ProjectName = kNewProjectName;
  FileName.clear();
  Width = 640;
  Height = 480;
  FPS = 30;
  BackColor = 0;
}

}  // namespace vexa
