// The main window's commands on its layer views.
#include <algorithm>

#include "model/event_kinds.h"
#include "ui/logic/layer_commands.h"
#include "ui/logic/main_actions.h"

namespace vexa {
namespace {

template <class L>
void CopyLayerInto(const L& from, L& to) {
  if constexpr (std::is_same_v<L, TGraphicLayer>)
    CopyGraphicLayer(from, to);
  else
    CopySoundLayer(from, to);
}

template <class L>
TLayerList<L>& LayerClipboard(TEditorClipboards& c) {
  if constexpr (std::is_same_v<L, TGraphicLayer>)
    return c.GraphicLayers;
  else
    return c.SoundLayers;
}

}  // namespace

template <class L>
void TMainActions::AddLayerOf() {
  const TRowSelection& s = doc_.Selection(LayerViewOf(kTabOf<L>));
  const int index = s.HasSelection() ? s.FirstSelected() : doc_.RowCount(LayerViewOf(kTabOf<L>));
  auto layer = std::make_unique<L>();
  layer->Name = kNewLayerName + std::to_string(doc_.NewLayerCounter++);
  std::vector<TLayerRowTexts> rows{{layer->Name, kUnsavedFileText}};
  std::vector<std::unique_ptr<L>> layers;
  layers.push_back(std::move(layer));
  doc_.Execute(std::make_unique<TInsertLayersCommand<L>>(doc_, "レイヤーの追加", std::move(layers), std::move(rows), index));
}

void TMainActions::AddLayer(TViewId view) {
  Guard([&] { ForLayerView(view, [&]<class L>(L*) { AddLayerOf<L>(); }); });
}

void TMainActions::CopyLayers(TViewId view) {
  Guard([&] {
    ForLayerView(view, [&]<class L>(L*) {
      const TLayerRowModel& rows = doc_.LayerRows(kTabOf<L>);
      if (!rows.HasSelection()) return;
      TLayerList<L>& clip = LayerClipboard<L>(doc_.Clipboards());
      clip.Clear();
      for (int r : rows.SelectedRows()) {
        CopyLayerInto(*LayerOfRow<L>(rows[r]), *clip.Insert(-1, std::make_unique<L>()));
      }
      doc_.NotifyClipboard();
    });
  });
}

template <class L>
void TMainActions::PasteLayersOf() {
  const TLayerList<L>& clip = LayerClipboard<L>(doc_.Clipboards());
  if (clip.Empty()) return;
  const int p = std::max(doc_.Selection(LayerViewOf(kTabOf<L>)).FirstSelected(), 0);
  std::vector<std::unique_ptr<L>> layers;
  std::vector<TLayerRowTexts> rows;
  for (int i = 0; i < clip.Count(); ++i) {
    auto layer = std::make_unique<L>();
    CopyLayerInto(*clip[i], *layer);  // name and events; the file name stays empty
    rows.push_back({layer->Name + kPastedLayerCaption + std::to_string(i), std::string()});
    layers.push_back(std::move(layer));
  }
  doc_.Execute(std::make_unique<TInsertLayersCommand<L>>(doc_, "レイヤーの貼り付け", std::move(layers), std::move(rows), p));
}

void TMainActions::PasteLayers(TViewId view) {
  Guard([&] { ForLayerView(view, [&]<class L>(L*) { PasteLayersOf<L>(); }); });
}

void TMainActions::DeleteLayers(TViewId view) {
  Guard([&] {
    if (!prompt_.Confirm(main_text::kConfirmDeleteLayers)) return;
    if (!IsLayerView(view) || !doc_.Selection(view).HasSelection()) return;
    ForLayerView(view, [&]<class L>(L*) {
      doc_.Execute(std::make_unique<TDeleteLayersCommand<L>>(doc_, "レイヤーの削除"));
    });
  });
}

void TMainActions::RenameLayer(TViewId view, int row, const std::string& name) {
  Guard([&] {
    if (!IsLayerView(view) || row < 0 || row >= doc_.RowCount(view)) return;
    ForLayerView(view, [&]<class L>(L*) {
      const TLayerRow& r = doc_.LayerRows(kTabOf<L>)[row];
      if (LayerOfRow<L>(r)->Name == name && r.Caption == name) return;
      doc_.Execute(std::make_unique<TRenameLayerCommand<L>>(doc_, "レイヤー名の変更", row, name));
    });
  });
}

}  // namespace vexa
