// vexa-studio's main window on Qt's offscreen platform, painted as on a desktop:
//
// BM_StartUp                      the engine, the sample scan and the main window, shown and
//                                 painted: what stands between starting the program and a
//                                 window that takes input.
// BM_Baseline_EmptyWindow         a bare main window with one list view, shown and painted:
//                                 what Qt costs at the least.
// BM_OpenProjectWithViewsFilled   the 10 000-event project opened (as the command line opens
//                                 it), its graphic and sound layer selected so that all event
//                                 views are filled, and the window painted.
// BM_Baseline_LoadProjectFiles    loading the project's files alone, what any opening costs.
// BM_RefreshAfterEdit             one effect event of the 6 000 in view changed (the path of
//                                 the edit dialog's OK) and the window painted again.
// BM_RefreshAfterPasteAtTop       one event pasted above the 6 000 (every event renumbered,
//                                 every row after it moves) and painted, then undone.
// BM_Baseline_RefillViews         both graphic event views filled again from the layer and
//                                 painted: what a refresh of everything would cost.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <QMainWindow>
#include <QStandardItemModel>

#include "bench_project_10k.h"
#include "render/random32.h"
#include "render/studio.h"
#include "ui/app_look.h"
#include "ui/form_main.h"
#include "ui/list_view.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"
#include "ui/logic/sample_images.h"
#include "ui/row_table_model.h"

namespace {

using namespace vexa;
using namespace vexa::ui;

// Lets the window lay itself out and paint (the offscreen platform paints into memory).
void Settle() {
  QApplication::processEvents();
  QApplication::processEvents();
}

void SelectFirstLayers(TForm_Main& window) {
  for (TViewId v : {TViewId::GraphicLayers, TViewId::SoundLayers}) {
    TListView* view = window.View(v);
    view->setCurrentIndex(view->model()->index(0, 0));
    view->SelectRows({0});
  }
}

void BM_StartUp(benchmark::State& state) {
  const std::string samples[] = {VEXA_SAMPLE_DIR};
  size_t pictures = 0;
  for (auto _ : state) {
    TVexaStudio studio;
    std::vector<std::string> images = ScanSampleImages(samples, &Random32);
    pictures = images.size();
    TForm_Main window(studio, std::move(images));
    window.show();
    Settle();
    benchmark::DoNotOptimize(window.isVisible());
    state.PauseTiming();
    window.hide();
    state.ResumeTiming();
  }
  state.counters["sample_pictures"] = static_cast<double>(pictures);
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_Baseline_EmptyWindow(benchmark::State& state) {
  for (auto _ : state) {
    QMainWindow window;
    QStandardItemModel model(0, 4);
    auto* view = new QTreeView(&window);
    view->setModel(&model);
    window.setCentralWidget(view);
    window.resize(834, 506);
    window.show();
    Settle();
    benchmark::DoNotOptimize(window.isVisible());
    state.PauseTiming();
    window.hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Baseline_EmptyWindow)->Unit(benchmark::kMillisecond);

void BM_OpenProjectWithViewsFilled(benchmark::State& state) {
  const std::string file = bench::ProjectFile();
  for (auto _ : state) {
    state.PauseTiming();
    auto studio = std::make_unique<TVexaStudio>();
    auto window = std::make_unique<TForm_Main>(*studio);
    window->show();
    Settle();
    state.ResumeTiming();

    window->OpenProjectFile(file);
    SelectFirstLayers(*window);
    Settle();
    benchmark::DoNotOptimize(window->Model(TViewId::GraphicEffects)->rowCount());

    state.PauseTiming();
    window.reset();
    studio.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenProjectWithViewsFilled)->Unit(benchmark::kMillisecond);

void BM_Baseline_LoadProjectFiles(benchmark::State& state) {
  const std::string file = bench::ProjectFile();
  for (auto _ : state) {
    TProject p;
    p.FileName = file;
    LoadProject(p, true);
    benchmark::DoNotOptimize(p.GraphicLayers[0]->EventCount());
  }
}
BENCHMARK(BM_Baseline_LoadProjectFiles)->Unit(benchmark::kMillisecond);

// The window with the project open, its first graphic layer shown.
struct TOpenWindow {
  TVexaStudio studio;
  std::unique_ptr<TForm_Main> window;
  TOpenWindow() {
    bench::Fill(studio.Project);
    window = std::make_unique<TForm_Main>(studio);
    window->Document().ProjectReplaced();
    window->show();
    SelectFirstLayers(*window);
    Settle();
  }
};

void BM_RefreshAfterEdit(benchmark::State& state) {
  TOpenWindow o;
  TProjectDocument& doc = o.window->Document();
  const int row[] = {3000};
  doc.SetSelection(TViewId::GraphicEffects, row, row[0]);
  o.window->View(TViewId::GraphicEffects)->scrollTo(o.window->Model(TViewId::GraphicEffects)->index(row[0], 0));
  Settle();
  std::unique_ptr<TEvent> edited = CopyEvent(*doc.EventRows(TViewId::GraphicEffects)[row[0]].Event);
  for (auto _ : state) {
    edited->StartTime ^= 1;
    o.window->Actions().EditEvent(TViewId::GraphicEffects, *edited);
    Settle();
  }
  state.counters["rows"] = o.window->Model(TViewId::GraphicEffects)->rowCount();
}
BENCHMARK(BM_RefreshAfterEdit)->Unit(benchmark::kMillisecond);

void BM_RefreshAfterPasteAtTop(benchmark::State& state) {
  TOpenWindow o;
  TProjectDocument& doc = o.window->Document();
  const int row[] = {0};
  doc.SetSelection(TViewId::GraphicEffects, row, row[0]);
  o.window->Actions().CopyEvents(TViewId::GraphicEffects);
  for (auto _ : state) {
    o.window->Actions().PasteEvents(TViewId::GraphicEffects);
    Settle();
    doc.History().Undo();
    Settle();
  }
}
BENCHMARK(BM_RefreshAfterPasteAtTop)->Unit(benchmark::kMillisecond);

void BM_Baseline_RefillViews(benchmark::State& state) {
  TOpenWindow o;
  for (auto _ : state) {
    o.window->Document().RefillEventViews(TTabId::Graphic);
    Settle();
  }
}
BENCHMARK(BM_Baseline_RefillViews)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpApplication(app);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
