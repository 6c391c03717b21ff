// vexa-render: the headless renderer.
#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "graphic_render_cli.h"
#include "model/project.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"
#include "persist/project_file.h"
#include "project_info.h"
#include "render/studio.h"
#include "sound/sound_render_command.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: vexa-render --info [FILE]\n"
         "       vexa-render FILE --wav OUT.wav\n";
  vexa::app::GraphicRenderUsageLines(out);
  out << "options:\n"
         "  --info [FILE]   print the project settings, its layers and their events; FILE is a\n"
         "                  project (.vxpj) or a single layer (.vxgl, .vxsl); without FILE the\n"
         "                  start-up project\n"
         "  --wav OUT       render the sound of FILE to OUT (\".wav\" is appended unless OUT\n"
         "                  ends in it)\n";
  vexa::app::GraphicRenderOptionHelp(out);
}

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// Loads a project, or a layer file as a start-up project holding that one layer. Raises
// TPersistError when the file is missing, of an unknown kind, or cannot be read.
void LoadForInfo(const std::string& path, vexa::TProject& project) {
  const std::string ext = LowerExtension(path);
  bool found = false;
  if (ext == ".vxpj") {
    project.FileName = path;
    found = vexa::LoadProject(project, true);
  } else if (ext == ".vxgl") {
    auto* layer = vexa::NewGraphicLayer(project.GraphicLayers, -1);
    layer->FileName = path;
    found = vexa::LoadGraphicLayer(*layer);
  } else if (ext == ".vxsl") {
    auto* layer = vexa::NewSoundLayer(project.SoundLayers, -1);
    layer->FileName = path;
    found = vexa::LoadSoundLayer(*layer);
  } else {
    throw vexa::TPersistError("not a project or layer file (.vxpj, .vxgl, .vxsl)", path);
  }
  if (!found) throw vexa::TPersistError("no such file", path);
}

}  // namespace

int main(int argc, char** argv) {
  bool info = false;
  std::optional<std::string> file, wav;
  vexa::app::TGraphicRenderArgs graphic;
  std::string optionError;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--info") {
      info = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') file = argv[++i];
    } else if (vexa::app::TakeGraphicRenderOption(argc, argv, i, graphic, optionError)) {
      if (!optionError.empty()) {
        std::cerr << "vexa-render: " << optionError << '\n';
        return 2;
      }
    } else if (a == "--wav" && i + 1 < argc) {
      wav = argv[++i];
    } else if (!a.empty() && a[0] != '-' && !file) {
      file = argv[i];
    } else if (a == "-h" || a == "--help") {
      Usage(std::cout);
      return 0;
    } else {
      std::cerr << "vexa-render: unknown argument: " << a << '\n';
      Usage(std::cerr);
      return 2;
    }
  }
  if (graphic.ListCodecs) {
    vexa::app::PrintCodecList(std::cout);
    return 0;
  }
  if (!info && !((wav || graphic.Output) && file)) {
    Usage(std::cerr);
    return 2;
  }
  vexa::TVexaStudio studio;                  // the render engine, holding
  vexa::TProject& project = studio.Project;  // the start-up project
  if (file) {
    try {
      LoadForInfo(*file, project);
    } catch (const vexa::TPersistError& e) {
      std::string message = e.what();
      if (!e.Path().empty() && message.find(e.Path()) == std::string::npos)
        message = e.Path() + ": " + message;
      std::cerr << "vexa-render: " << message << '\n';
      return 1;
    } catch (const std::exception& e) {
      std::cerr << "vexa-render: " << *file << ": " << e.what() << '\n';
      return 1;
    }
  }
  if (info) vexa::PrintProjectInfo(project, std::cout);
  if (wav) {
    try {
      const auto outcome = vexa::RunSoundRenderCommand(project, *wav);
      (outcome.Written ? std::cout : std::cerr) << outcome.FileName << ": " << outcome.Message << '\n';
      if (!outcome.Written) return 1;
    } catch (const std::exception& e) {
      std::cerr << "vexa-render: " << e.what() << '\n';
      return 1;
    }
  }
  if (graphic.Output) {
    if (const int status = vexa::app::RunGraphicRender(studio, graphic, std::cout, std::cerr)) return status;
  }
  return 0;
}
