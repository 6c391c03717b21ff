// vexa-render: the headless renderer.
#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphic_render_cli.h"
#include "media/movie_writer.h"
#include "movie_render_cli.h"
#include "media/warning_sink.h"
#include "model/project.h"
#include "persist/layer_file.h"
#include "persist/media_search.h"
#include "model/output_guard.h"
#include "persist/persist_error.h"
#include "persist/project_file.h"
#include "project_info.h"
#include "render/graphic_render_command.h"
#include "render/media_check.h"
#include "render/studio.h"
#include "sound/sound_render_command.h"
#include "stop_signals.h"
#include "ui/logic/text_format.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: vexa-render --info [FILE]\n"
         "       vexa-render FILE --wav OUT.wav [--strict]\n";
  vexa::app::GraphicRenderUsageLines(out);
  out << "options:\n"
         "  --info [FILE]   print the project settings, its layers and their events; FILE is a\n"
         "                  project (.vxpj) or a single layer (.vxgl, .vxsl); without FILE the\n"
         "                  start-up project. A row whose file is missing or unreadable ends in\n"
         "                  a column \"!! what: why\"\n"
         "  --wav OUT       render the sound of FILE to OUT (\".wav\" is appended unless OUT\n"
         "                  ends in it); Ctrl+C stops it and leaves an existing OUT as it was\n"
         "  --search-path DIR\n"
         "                  look for missing pictures, movies, sounds, masks, rule pictures and\n"
         "                  textures below DIR (at any depth; may be given more than once), by\n"
         "                  file name, then by name without letter case, and use what is found\n"
         "                  (each replacement is listed on the standard error)\n"
         "  --strict        before rendering, stop (exit status 1, nothing written) when a file\n"
         "                  the render needs is missing or unreadable; without it such files are\n"
         "                  listed on the standard error and left out of the render\n"
         "  An output that is the project file, one of its layer files or a file the project\n"
         "  uses (under any name or link) is refused before anything is written.\n";
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

// Where a finding sits: `graphic layer 3 "太陽", event at 00:00:01.000`.
std::string Place(const vexa::TFileReference& r) {
  std::string text = r.SoundLayer ? "sound layer " : "graphic layer ";
  text += std::to_string(r.LayerIndex + 1);
  if (!r.LayerName.empty()) text += " \"" + r.LayerName + "\"";
  if (r.Event) text += ", event at " + vexa::TimeText(r.Event->StartTime);
  return text;
}

// One line per file (its first use named, the others counted), then a summary. Returns the
// number of files left out.
int ReportFindings(const std::vector<vexa::TMediaFinding>& findings, std::ostream& err) {
  std::map<std::pair<int, std::string>, int> uses;
  for (const auto& f : findings)
    ++uses[{static_cast<int>(f.File.Use), f.File.Path}];
  int leftOut = 0;
  for (const auto& f : findings) {
    auto it = uses.find({static_cast<int>(f.File.Use), f.File.Path});
    if (it->second == 0) continue;  // named already
    const int more = it->second - 1;
    it->second = 0;
    const std::string name(vexa::FileUseName(f.File.Use));
    err << "vexa-render: ";
    if (f.LeftOut()) {
      ++leftOut;
      err << name << " \"" << f.File.Path << "\" (" << Place(f.File) << "): " << f.Reason;
    } else {
      err << "font \"" << f.File.Path << "\" (" << Place(f.File) << ") is " << f.Reason << "; \""
          << f.Replacement << "\" is drawn instead";
    }
    if (more > 0) err << " (and " << more << " more event" << (more > 1 ? "s" : "") << ")";
    err << '\n';
  }
  if (leftOut > 0)
    err << "vexa-render: " << leftOut << (leftOut == 1 ? " file is" : " files are")
        << " missing or unreadable and left out of the render\n";
  return leftOut;
}

// Damage worked around while decoding, as it is met.
class TStderrWarnings : public vexa::TWarningSink {
 public:
  void Warn(const std::string& text) override { std::cerr << "vexa-render: warning: " + text + '\n'; }
};

// Refuses an output that is one of the project's own files; true when it may be written.
bool OutputAllowed(const vexa::TProject& project, const std::string& output) {
  const auto input = vexa::InputAtOutput(project, output);
  if (!input) return true;
  std::cerr << output << ": " << vexa::kMsgOutputIsInput << " (" << vexa::OutputIsInputDetail(output, *input)
            << ")\n";
  return false;
}

// Relinks the project's missing media to the files found below the folders.
void SearchMissingMedia(vexa::TProject& project, const std::vector<std::string>& folders) {
  const std::vector<vexa::TMissingMedia> missing = vexa::FindMissingMedia(project);
  if (missing.empty()) return;
  vexa::TMediaSearchIndex index;
  for (const std::string& folder : folders)
    index.AddFolder(folder);
  const vexa::TRelinks relinks = vexa::MatchMissingMedia(missing, index);
  for (const auto& [from, to] : relinks)
    std::cerr << "vexa-render: \"" << from << "\" found as \"" << to << "\"\n";
  vexa::ApplyPathChanges(vexa::PlanRelinks(project, relinks), true);
}

int Run(int argc, char** argv) {
  bool info = false, strict = false;
  std::vector<std::string> searchPaths;
  std::optional<std::string> file, wav;
  vexa::app::TGraphicRenderArgs graphic;
  std::string optionError;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--info") {
      info = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') file = argv[++i];
    } else if (vexa::app::TakeGraphicRenderOption(argc, argv, i, graphic, optionError) ||
               vexa::app::TakeOutputOption(argc, argv, i, graphic, optionError)) {
      if (!optionError.empty()) {
        std::cerr << "vexa-render: " << optionError << '\n';
        return 2;
      }
    } else if (a == "--wav" && i + 1 < argc) {
      wav = argv[++i];
    } else if (a == "--search-path" && i + 1 < argc) {
      searchPaths.push_back(argv[++i]);
    } else if (a == "--strict") {
      strict = true;
    } else if (!a.empty() && a[0] != '-' && !file) {
      file = argv[i];
    } else if (a == "--version") {
      std::cout << "vexa-render " << VEXA_VERSION << '\n';
      return 0;
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
  if (!info && !((wav || graphic.Output || graphic.StillFile) && file)) {
    Usage(std::cerr);
    return 2;
  }
  // -o names its kind by its extension; nothing is appended to a name of another kind.
  if (graphic.Output && !vexa::MovieContainerOf(*graphic.Output) &&
      vexa::GraphicRenderFileName(*graphic.Output) != *graphic.Output) {
    std::cerr << "vexa-render: " << *graphic.Output << ": the output must end in one of "
              << vexa::app::AcceptedOutputs() << '\n';
    return 2;
  }
  // Before any thread starts, so that every thread leaves the stop signals to it.
  vexa::app::TStopSignals signals;
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
  if (signals.StopRequested()) return signals.ExitStatus();
  if (!searchPaths.empty()) SearchMissingMedia(project, searchPaths);

  // Nothing is written before every output has been checked against the project's files.
  const std::optional<std::string> wavName =
      wav ? std::optional(vexa::SoundRenderFileName(*wav)) : std::nullopt;
  const std::optional<std::string> aviName = graphic.Output;  // the movie, of any kind
  const std::optional<std::string> stillName = graphic.StillFile;
  if ((wavName && !OutputAllowed(project, *wavName)) || (aviName && !OutputAllowed(project, *aviName)) ||
      (stillName && !OutputAllowed(project, *stillName)))
    return 1;
  if (wavName && aviName && vexa::SameExistingFile(*wavName, *aviName)) {
    std::cerr << *aviName << ": " << vexa::kMsgOutputIsInput << " (the sound output \"" << *wavName
              << "\" is the same file)\n";
    return 1;
  }
  if (stillName && ((aviName && vexa::SameExistingFile(*stillName, *aviName)) ||
                    (wavName && vexa::SameExistingFile(*stillName, *wavName)))) {
    std::cerr << *stillName << ": " << vexa::kMsgOutputIsInput << " (another output of this run is the same file)\n";
    return 1;
  }

  vexa::TMediaCheckScope scope;
  scope.Graphic = info || aviName.has_value() || stillName.has_value();
  scope.Sound = info || wavName.has_value();
  const std::vector<vexa::TMediaFinding> findings = vexa::CheckProjectMedia(project, scope);
  if (info) {
    vexa::PrintProjectInfo(project, std::cout, findings);
    std::cout << std::flush;
  }
  const int leftOut = ReportFindings(findings, std::cerr);
  if (strict && leftOut > 0 && (wavName || aviName || stillName)) {
    std::cerr << "vexa-render: --strict: nothing was rendered\n";
    return 1;
  }
  if (signals.StopRequested()) return signals.ExitStatus();

  if (wavName && !graphic.Frames.Whole()) {
    // The sound of the frames asked for, as in a movie of them.
    if (const int status = vexa::app::RunSoundStretch(studio, graphic, *wav, std::cout, std::cerr, signals))
      return status;
  } else if (wavName) {
    TStderrWarnings warnings;
    vexa::TSoundRenderHooks hooks;
    hooks.Warnings = &warnings;
    hooks.StopRequested = [&signals] { return signals.StopRequested(); };
    hooks.TempFiles = &signals;
    const auto outcome = vexa::RunSoundRenderCommand(project, *wav, hooks);
    if (!outcome.Written || !graphic.Quiet) {
      (outcome.Written ? std::cout : std::cerr) << outcome.FileName << ": " << outcome.Message;
      if (!outcome.Detail.empty()) (outcome.Written ? std::cout : std::cerr) << " (" << outcome.Detail << ")";
      (outcome.Written ? std::cout : std::cerr) << '\n';
    }
    if (outcome.Status == vexa::TSoundRenderStatus::Cancelled) return signals.ExitStatus();
    if (!outcome.Written) return 1;
  }
  if (stillName) {
    if (signals.StopRequested()) return signals.ExitStatus();
    if (const int status = vexa::app::RunStillRender(studio, *graphic.StillTime, *stillName, graphic, std::cout,
                                                     std::cerr, signals))
      return status;
  }
  if (aviName) {
    if (signals.StopRequested()) return signals.ExitStatus();
    if (const int status = vexa::app::RunGraphicRender(studio, graphic, std::cout, std::cerr, signals))
      return status;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Every way out through here unwinds, so the writers remove their temporary files.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "vexa-render: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "vexa-render: unexpected error\n";
  }
  return 1;
}
