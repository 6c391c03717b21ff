// vexa-studio: the editor. `vexa-studio [PROJECT.vxpj]` opens the project at start-up.
#include <QCommandLineParser>
#include <iostream>

#include "data_folders.h"
#include "media/video_codecs.h"
#include "render/random32.h"
#include "render/studio.h"
#include "ui/app_look.h"
#include "ui/form_main.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/recent_projects.h"
#include "ui/logic/recovery_store.h"
#include "ui/logic/sample_images.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

int main(int argc, char** argv) {
  vexa::ui::TGuardedApplication app(argc, argv);
  vexa::ui::SetUpApplication(app);
  QApplication::setApplicationVersion(QStringLiteral("0.1"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Vexa Studio: the editor of music video projects"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("PROJECT.vxpj"), QStringLiteral("the project to open at start-up"),
                               QStringLiteral("[PROJECT.vxpj]"));
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::cerr << "vexa-studio: one project at a time\n";
    return 2;
  }

  vexa::QuietCodecLogs();
  // The engine with the start-up project ("新規プロジェクト", 640 x 480, 30 fps, black) and the
  // sample pictures, shuffled by the shared random source (seeded from the clock on first use).
  vexa::TVexaStudio studio;
  std::vector<std::string> samples =
      vexa::ScanSampleImages(vexa::app::SampleFolders(vexa::app::ProgramFolder()), &vexa::Random32);
  vexa::ui::TForm_Main window(studio, std::move(samples));
  window.show();
  // Recent projects and the autosave; a project a crashed run left behind is offered before
  // the window takes input.
  const bool restored =
      window.StartSession({vexa::DefaultRecoveryRoot(), vexa::TRecentProjects::DefaultFile()});
  // As "開く" would open it, without its question while there is nothing to lose yet.
  if (!files.isEmpty()) {
    const std::string file = vexa::ui::Utf8(files.front());
    if (restored)
      window.Actions().OpenProject(file);
    else
      window.OpenProjectFile(file);
  }
  return QApplication::exec();
}
