// The commands that change the project's layer lists, for graphic (L = TGraphicLayer) and
// sound layers (L = TSoundLayer) alike. Rows and layers stay in the same order throughout.
#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "model/project.h"
#include "ui/logic/editor_command.h"
#include "ui/logic/event_commands.h"
#include "ui/logic/project_setting_form.h"

namespace vexa {

template <class L>
TLayerList<L>& LayersOf(TProject& project);
template <class L>
inline constexpr TTabId kTabOf = std::is_same_v<L, TGraphicLayer> ? TTabId::Graphic : TTabId::Sound;

template <class L>
L* LayerOfRow(const TLayerRow& row) {
  if constexpr (std::is_same_v<L, TGraphicLayer>)
    return row.Graphic;
  else
    return row.Sound;
}

// Runs f(L* nullptr) with the layer type of a layer view.
template <class F>
void ForLayerView(TViewId view, F&& f) {
  if (view == TViewId::GraphicLayers)
    f(static_cast<TGraphicLayer*>(nullptr));
  else if (view == TViewId::SoundLayers)
    f(static_cast<TSoundLayer*>(nullptr));
}

// The texts of a new layer row.
struct TLayerRowTexts {
  std::string Caption;
  std::string FileText;
};

// New layers at index (at the end when beyond), rows with the given texts at the same place;
// the view's selection becomes the new rows (add, paste, open files with no layer selected).
template <class L>
class TInsertLayersCommand : public TSnapshotCommand {
 public:
  TInsertLayersCommand(TProjectDocument& doc, std::string text, std::vector<std::unique_ptr<L>> layers,
                       std::vector<TLayerRowTexts> rows, int index);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  std::vector<std::unique_ptr<L>> held_;
  std::vector<L*> layers_;
  std::vector<TLayerRowTexts> rows_;
  int index_;
};

// The selected layers leave the project with their events.
template <class L>
class TDeleteLayersCommand : public TSnapshotCommand {
 public:
  TDeleteLayersCommand(TProjectDocument& doc, std::string text);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  std::vector<int> indices_;  // ascending
  std::vector<L*> layers_;
  std::vector<std::unique_ptr<L>> held_;
};

// Renaming a layer in place: its Name and its row's caption become the text.
template <class L>
class TRenameLayerCommand : public TSnapshotCommand {
 public:
  TRenameLayerCommand(TProjectDocument& doc, std::string text, int row, std::string name);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  int row_;
  L* layer_ = nullptr;
  std::string before_, after_;
};

// Rows in another order (new row i = old row order[i]); the project's layer list is rebuilt
// in the new row order.
template <class L>
class TReorderLayersCommand : public TSnapshotCommand {
 public:
  TReorderLayersCommand(TProjectDocument& doc, std::string text, std::vector<int> order);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  std::vector<int> order_;
  std::vector<L*> before_, after_;
};

// Layer files opened with layers selected: for each selected layer and each loaded file in
// order, the file's events are added to the layer and its name becomes the file's layer name
// (the row caption follows); the layer keeps its own file. The event views are filled again.
template <class L>
class TMergeLayersCommand : public TSnapshotCommand {
 public:
  TMergeLayersCommand(TProjectDocument& doc, std::string text, std::vector<std::unique_ptr<L>> loaded);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  std::vector<std::unique_ptr<L>> loaded_;  // only until the first Do
  std::vector<THeldEvent> events_;
  std::vector<L*> layers_;
  std::vector<std::string> namesBefore_, namesAfter_;
};

// The project settings dialog's OK: name and picture format.
class TProjectSettingsCommand : public TSnapshotCommand {
 public:
  TProjectSettingsCommand(TProjectDocument& doc, std::string text, TProjectSettings settings)
      : TSnapshotCommand(doc, std::move(text)), other_(std::move(settings)) {}

 private:
  void First() override { Swap(); }
  void Forward() override { Swap(); }
  void Backward() override { Swap(); }
  void Swap();
  TProjectSettings other_;
};

}  // namespace vexa
