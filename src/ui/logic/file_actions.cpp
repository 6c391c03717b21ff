// The main window's file commands: opening and saving layer files and projects. Every save goes
// through the atomic writes of the persistence layer, so a failed save leaves the old file.
#include <filesystem>
#include <stdexcept>

#include "persist/file_paths.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"
#include "persist/project_file.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/recent_projects.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

template <class L>
struct TLayerFiles;

template <>
struct TLayerFiles<TGraphicLayer> {
  static constexpr std::string_view OpenTitle = main_text::kOpenGraphicLayersTitle;
  static constexpr std::string_view Filter = main_text::kGraphicLayerFilter;
  static constexpr std::string_view Extension = main_text::kGraphicLayerExtension;
  static bool Load(TGraphicLayer& l) { return LoadGraphicLayer(l); }
  static void Save(const TGraphicLayer& l) { SaveGraphicLayer(l); }
};

template <>
struct TLayerFiles<TSoundLayer> {
  static constexpr std::string_view OpenTitle = main_text::kOpenSoundLayersTitle;
  static constexpr std::string_view Filter = main_text::kSoundLayerFilter;
  static constexpr std::string_view Extension = main_text::kSoundLayerExtension;
  static bool Load(TSoundLayer& l) { return LoadSoundLayer(l); }
  static void Save(const TSoundLayer& l) { SaveSoundLayer(l); }
};

std::string SaveTitle(const std::string& name) {
  return name + std::string(main_text::kSaveTitleSuffix);
}

std::string FullPath(const std::string& file) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(file, ec);
  return ec ? file : p.lexically_normal().string();
}

// The layer a failed project load stopped at: the last one it made.
void ForgetFailedLayerFile(TProject& p, const std::string& failedFile) {
  auto forget = [&](auto& layers) {
    if (!layers.Empty() && layers[layers.Count() - 1]->FileName == failedFile)
      layers[layers.Count() - 1]->FileName.clear();
  };
  if (!p.SoundLayers.Empty())
    forget(p.SoundLayers);
  else
    forget(p.GraphicLayers);
}

}  // namespace

// ---- layer files ----

template <class L>
void TMainActions::OpenLayerFilesOf(std::vector<std::string> files) {
  using Files = TLayerFiles<L>;
  if (files.empty()) files = prompt_.ChooseOpenFiles({std::string(Files::OpenTitle), std::string(Files::Filter), {}});
  if (files.empty()) return;
  const bool merge = doc_.Selection(LayerViewOf(kTabOf<L>)).HasSelection();

  // Every file is read once before the project changes; a file that fails stops the reading,
  // and what was read before it goes in.
  std::vector<std::unique_ptr<L>> loaded;
  std::string failure, failedFile;
  for (const std::string& file : files) {
    auto layer = std::make_unique<L>();
    layer->FileName = FullPath(file);
    try {
      // A file gone since it was chosen adds an empty layer, or nothing to the selected ones.
      if (!Files::Load(*layer) && merge) continue;
    } catch (const std::exception& e) {
      failure = e.what();
      failedFile = layer->FileName;
      break;
    }
    loaded.push_back(std::move(layer));
  }

  if (!loaded.empty()) {
    if (merge) {
      doc_.Execute(std::make_unique<TMergeLayersCommand<L>>(doc_, "レイヤーの読み込み", std::move(loaded)));
    } else {
      std::vector<TLayerRowTexts> rows;
      for (const auto& l : loaded)
        rows.push_back({l->Name, l->FileName});
      doc_.Execute(std::make_unique<TInsertLayersCommand<L>>(doc_, "レイヤーの読み込み", std::move(loaded),
                                                             std::move(rows), doc_.RowCount(LayerViewOf(kTabOf<L>))));
    }
  }
  if (!failedFile.empty()) FileError(std::runtime_error(failure), failedFile);
}

void TMainActions::OpenLayerFiles(TViewId view, const std::vector<std::string>& files) {
  Guard([&] { ForLayerView(view, [&]<class L>(L*) { OpenLayerFilesOf<L>(files); }); });
}

template <class L>
TMainActions::TRowSave TMainActions::SaveLayerRow(int row, bool saveAs, bool fullPathInColumn) {
  using Files = TLayerFiles<L>;
  const TTabId tab = kTabOf<L>;
  L* layer = LayerOfRow<L>(doc_.LayerRows(tab)[row]);
  const std::string old = layer->FileName;
  std::string file = old;
  if (saveAs || file.empty()) {
    const std::string chosen =
        prompt_.ChooseSaveFile({SaveTitle(layer->Name), std::string(Files::Filter), saveAs ? old : layer->Name});
    if (chosen.empty()) return TRowSave::Skipped;
    file = WithExtension(chosen, Files::Extension);
  }
  layer->FileName = file;
  try {
    Files::Save(*layer);
  } catch (const std::exception& e) {
    layer->FileName = old;  // the file was not written: a later save asks again
    FileError(e, file);
    return TRowSave::Failed;
  }
  const TLayerRow& r = doc_.LayerRows(tab)[row];
  doc_.SetLayerRowTexts(tab, row, r.Caption, fullPathInColumn ? file : std::string(FileNameWithoutFolder(file)));
  return TRowSave::Saved;
}

void TMainActions::SaveLayers(TViewId view) {
  Guard([&] {
    ForLayerView(view, [&]<class L>(L*) {
      for (int row : doc_.Selection(view).SelectedRows())
        if (SaveLayerRow<L>(row, false, true) == TRowSave::Failed) return;
    });
  });
}

void TMainActions::SaveLayersAs(TViewId view) {
  Guard([&] {
    ForLayerView(view, [&]<class L>(L*) {
      for (int row : doc_.Selection(view).SelectedRows())
        if (SaveLayerRow<L>(row, true, false) == TRowSave::Failed) return;
    });
  });
}

// ---- projects ----

void TMainActions::OpenProject(const std::string& given) {
  Guard([&] {
    if (!prompt_.Confirm(main_text::kConfirmOpenProject)) return;
    const std::string file =
        !given.empty() ? given
                       : prompt_.ChooseOpenFile(
                             {std::string(main_text::kOpenProjectTitle), std::string(main_text::kProjectFilter), {}});
    if (file.empty()) return;
    OpenProjectFile(file);
  });
}

void TMainActions::OpenRecentProject(const std::string& file, const TRecentProjects& recent) {
  Guard([&] {
    if (!FileExists(file)) {
      recent.Remove(file);
      prompt_.Message(std::string(main_text::kRecentMissing) + "\n" + file);
      return;
    }
    OpenProject(file);
  });
}

bool TMainActions::OpenProjectFile(const std::string& file) {
  bool opened = false;
  Guard([&] {
    // Read into a project of its own first: a project file that cannot be read changes nothing.
    auto loaded = std::make_unique<TProject>();
    loaded->FileName = FullPath(file);
    std::string failure, failedFile;
    try {
      if (!LoadProject(*loaded, true)) {
        prompt_.ErrorMessage(std::string(main_text::kFileNotFound) + "\n" + loaded->FileName);
        return;
      }
    } catch (const TPersistError& e) {
      if (e.Path().empty() || e.Path() == loaded->FileName) {
        FileError(e, loaded->FileName);
        return;
      }
      failure = e.what();
      failedFile = e.Path();
    }
    if (!failedFile.empty()) {
      // Layers after the failed one never loaded: without its file name a save asks for names
      // instead of writing a project without them over the old one, or the empty layer over
      // the damaged file.
      loaded->FileName.clear();
      ForgetFailedLayerFile(*loaded, failedFile);
    }

    doc_.AdoptProject(*loaded);
    const TProject& p = doc_.Project();
    doc_.ShowProjectNameInCaption();
    opened = true;
    if (!failedFile.empty()) {
      doc_.MarkUnsaved();  // its files do not hold what was loaded
      FileError(std::runtime_error(failure), failedFile);
    } else if (projectFileHook_) {
      projectFileHook_(p.FileName);
    }
  });
  return opened;
}

void TMainActions::SaveAll(bool saveAs) {
  bool complete = true;
  for (int row = 0; row < doc_.RowCount(TViewId::GraphicLayers); ++row) {
    const TRowSave r = SaveLayerRow<TGraphicLayer>(row, saveAs, false);
    if (r == TRowSave::Failed) return;
    complete = complete && r == TRowSave::Saved;
  }
  for (int row = 0; row < doc_.RowCount(TViewId::SoundLayers); ++row) {
    const TRowSave r = SaveLayerRow<TSoundLayer>(row, saveAs, false);
    if (r == TRowSave::Failed) return;
    complete = complete && r == TRowSave::Saved;
  }
  TProject& p = doc_.Project();
  const std::string old = p.FileName;
  if (saveAs || old.empty()) {
    const std::string chosen = prompt_.ChooseSaveFile(
        {SaveTitle(p.ProjectName), std::string(main_text::kProjectFilter), saveAs ? old : p.ProjectName});
    if (chosen.empty()) return;
    p.FileName = WithExtension(chosen, main_text::kProjectExtension);
  }
  try {
    vexa::SaveProject(p, false);
  } catch (const std::exception& e) {
    const std::string file = p.FileName;
    p.FileName = old;
    FileError(e, file);
    return;
  }
  if (p.FileName != old) doc_.NotifySettings();
  // A layer left without a file keeps its changes only in the program.
  if (complete) doc_.MarkSaved();
  if (projectFileHook_) projectFileHook_(FullPath(p.FileName));
}

void TMainActions::SaveProject() {
  Guard([&] { SaveAll(false); });
}

void TMainActions::SaveProjectAs() {
  Guard([&] { SaveAll(true); });
}

}  // namespace vexa
