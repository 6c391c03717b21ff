// The editor's views on a project of 10 000 events in one graphic layer (4 000 sources, 6 000
// effects) plus a sound layer of 1 000: opening it with the views filled, filling the views,
// and refreshing them after one edit through a command and its notices.
// Baselines: loading the project files alone (what any opening costs), and filling the views
// again from scratch (what a refresh of everything would cost, the ratio the notices save).
#include <benchmark/benchmark.h>

#include <string>

#include "bench_project_10k.h"
#include "model/event_kinds.h"
#include "persist/project_file.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"

namespace {

using namespace vexa;
using vexa::bench::Fill;
using vexa::bench::ProjectFile;

class TQuietPrompt : public TEditorPrompt {
 public:
  std::string File;
  void Message(std::string_view) override {}
  void ErrorMessage(std::string_view) override {}
  bool Confirm(std::string_view) override { return true; }
  std::string ChooseOpenFile(const TFileChooser&) override { return File; }
  std::vector<std::string> ChooseOpenFiles(const TFileChooser&) override { return {}; }
  std::string ChooseSaveFile(const TFileChooser&) override { return {}; }
  bool ShowAdjustDialog(TEventAdjustForm&) override { return false; }
};

// What a list view adapter does with the notices: reads the texts of every row it is told of,
// and all rows when a view is reordered or refilled.
class TReadingView : public TDocumentObserver {
 public:
  explicit TReadingView(const TProjectDocument& doc) : doc_(doc) {}
  void Notice(const TDocumentNotice& n) override {
    if (IsLayerView(n.View) || n.Kind == TNoticeKind::BatchBegin || n.Kind == TNoticeKind::BatchEnd) return;
    const TEventRowModel& rows = doc_.EventRows(n.View);
    switch (n.Kind) {
      case TNoticeKind::EventsAdded:
      case TNoticeKind::EventChanged:
        for (int r = n.Row; r < n.Row + n.Count; ++r)
          bytes += rows[r].Caption.size() + rows[r].Summary.size();
        break;
      case TNoticeKind::EventsReordered:
        for (const TEventRow& r : rows.Rows())
          bytes += r.Caption.size() + r.Summary.size();
        break;
      default:
        break;
    }
  }
  size_t bytes = 0;

 private:
  const TProjectDocument& doc_;
};

void BM_Baseline_LoadProjectFiles(benchmark::State& state) {
  const std::string file = ProjectFile();
  for (auto _ : state) {
    TProject p;
    p.FileName = file;
    LoadProject(p, true);
    benchmark::DoNotOptimize(p.GraphicLayers[0]->EventCount());
  }
}
BENCHMARK(BM_Baseline_LoadProjectFiles)->Unit(benchmark::kMillisecond);

void BM_OpenProjectWithViewsFilled(benchmark::State& state) {
  const std::string file = ProjectFile();
  for (auto _ : state) {
    TProject p;
    TProjectDocument doc(p);
    TQuietPrompt prompt;
    prompt.File = file;
    TMainActions(doc, prompt).OpenProject();
    const int layer[] = {0};
    doc.SetSelection(TViewId::GraphicLayers, layer, 0);
    doc.SetSelection(TViewId::SoundLayers, layer, 0);
    benchmark::DoNotOptimize(doc.RowCount(TViewId::GraphicEffects));
  }
}
BENCHMARK(BM_OpenProjectWithViewsFilled)->Unit(benchmark::kMillisecond);

// The views of one project, filled once.
struct TOpenProject {
  TProject project;
  TProjectDocument doc{project};
  TQuietPrompt prompt;
  TMainActions act{doc, prompt};
  TOpenProject() {
    Fill(project);
    doc.ProjectReplaced();
    const int layer[] = {0};
    doc.SetSelection(TViewId::GraphicLayers, layer, 0);
  }
};

// Baseline of the refresh: both graphic views filled again, every row described.
void BM_Baseline_FillViews(benchmark::State& state) {
  TOpenProject o;
  for (auto _ : state) {
    o.doc.RefillEventViews(TTabId::Graphic);
    benchmark::DoNotOptimize(o.doc.RowCount(TViewId::GraphicEffects));
  }
}
BENCHMARK(BM_Baseline_FillViews)->Unit(benchmark::kMillisecond);

// One event edited (as the edit dialog's OK does), the view reading what it is told of.
void BM_EditOneEvent(benchmark::State& state) {
  TOpenProject o;
  TReadingView view(o.doc);
  o.doc.AddObserver(view);
  const int row[] = {3000};
  o.doc.SetSelection(TViewId::GraphicEffects, row, row[0]);
  std::unique_ptr<TEvent> edited = CopyEvent(*o.doc.EventRows(TViewId::GraphicEffects)[row[0]].Event);
  for (auto _ : state) {
    edited->StartTime ^= 1;
    o.act.EditEvent(TViewId::GraphicEffects, *edited);
  }
  o.doc.RemoveObserver(view);
  benchmark::DoNotOptimize(view.bytes);
}
BENCHMARK(BM_EditOneEvent)->Unit(benchmark::kMicrosecond);

// One event pasted at the top (every event renumbered), then the paste undone.
void BM_PasteOneEventAndUndo(benchmark::State& state) {
  TOpenProject o;
  TReadingView view(o.doc);
  o.doc.AddObserver(view);
  const int row[] = {0};
  o.doc.SetSelection(TViewId::GraphicEffects, row, row[0]);
  o.act.CopyEvents(TViewId::GraphicEffects);
  for (auto _ : state) {
    o.act.PasteEvents(TViewId::GraphicEffects);
    o.doc.History().Undo();
  }
  o.doc.RemoveObserver(view);
  benchmark::DoNotOptimize(view.bytes);
}
BENCHMARK(BM_PasteOneEventAndUndo)->Unit(benchmark::kMillisecond);

}  // namespace
