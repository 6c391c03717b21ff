// The main window's commands on its event views.
#include "editor_fixture.h"
#include "ui/logic/drag_order.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

using test::AddEvent;

constexpr TViewId kSources = TViewId::GraphicSources;
constexpr TViewId kEffects = TViewId::GraphicEffects;
constexpr TViewId kSounds = TViewId::SoundEvents;

class EventCommands : public test::TEditorFixture {
 protected:
  void SetUp() override {
    TGraphicLayer& a = Graphic("A");
    text = AddEvent<TGraphicSourceTextEvent>(a, 0, 1000);
    image = AddEvent<TGraphicSourceImageEvent>(a, 500, 900);
    movie = AddEvent<TGraphicSourceMovieEvent>(a, 200, 300);
    for (uint32_t i = 0; i < 5; ++i)
      fades.push_back(AddEvent<TGraphicEffectFadeEvent>(a, 100 * (i + 1), 100 * (i + 1) + 50));
    Graphic("B");
    TSoundLayer& s = Sound("S");
    for (uint32_t i = 0; i < 3; ++i)
      sounds.push_back(AddEvent<TSoundSourceEvent>(s, 1000 * i, 1000 * i + 500));
    Rebuild();
    Select(TViewId::GraphicLayers, {0});
    Select(TViewId::SoundLayers, {0});
  }
  TEvent *text, *image, *movie;
  std::vector<TEvent*> fades, sounds;
};

TEST_F(EventCommands, SelectingOneLayerFillsItsViewsOtherwiseEmptiesAndDisablesThem) {
  EXPECT_TRUE(doc.Selection(kSources).Enabled());
  EXPECT_EQ(doc.RowCount(kSources), 3);
  EXPECT_EQ(doc.RowCount(kEffects), 5);
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  Select(TViewId::GraphicLayers, {0, 1});
  EXPECT_FALSE(doc.Selection(kSources).Enabled());
  EXPECT_EQ(doc.RowCount(kEffects), 0);
  EXPECT_EQ(doc.ShownGraphicLayer(), nullptr);
  EXPECT_TRUE(doc.Selection(kSounds).Enabled());  // the other tab keeps its layer
}

TEST_F(EventCommands, CopyAndPasteAtTheSelectedRow) {
  Select(kEffects, {3, 4});
  act.CopyEvents(kEffects);
  Select(kEffects, {1});
  act.PasteEvents(kEffects);
  ASSERT_EQ(doc.RowCount(kEffects), 7);
  // The copies come in at the selected row, in clipboard order, and are the new selection.
  EXPECT_EQ(Row(kEffects, 0), fades[0]);
  EXPECT_EQ(Row(kEffects, 1)->StartTime, fades[3]->StartTime);
  EXPECT_EQ(Row(kEffects, 2)->StartTime, fades[4]->StartTime);
  EXPECT_EQ(Row(kEffects, 3), fades[1]);
  EXPECT_EQ(doc.Selection(kEffects).SelectedRows(), (std::vector<int>{1, 2}));
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
  // In the layer they are appended to their kind's list.
  const TEventList& list = *project.GraphicLayers[0]->ListForKind(kind::Fade);
  EXPECT_EQ(list[5], Row(kEffects, 1));
  EXPECT_EQ(list[6], Row(kEffects, 2));
  // Copying effects also copied their times.
  ASSERT_EQ(doc.Clipboards().Times.Count(), 2);
  EXPECT_EQ(doc.Clipboards().Times[1]->EndTime, fades[4]->EndTime);

  // Without a selection the paste goes to the top; a source copy leaves the times alone.
  Select(kSources, {2});
  act.CopyEvents(kSources);
  Select(kSources, {});
  act.PasteEvents(kSources);
  EXPECT_EQ(Row(kSources, 0)->EventType, movie->EventType);
  EXPECT_NE(Row(kSources, 0), movie);
  EXPECT_EQ(doc.Clipboards().Times.Count(), 2);

  // Another layer's view takes the same clipboard.
  Select(TViewId::GraphicLayers, {1});
  act.PasteEvents(kEffects);
  EXPECT_EQ(project.GraphicLayers[1]->EventCount(), 2);
}

TEST_F(EventCommands, CutAndDeleteRenumberTheRest) {
  Select(kEffects, {1, 3});
  act.CutEvents(kEffects);
  EXPECT_TRUE(prompt.Confirmations.empty());  // the events are in the clipboard
  EXPECT_EQ(doc.Clipboards().Effects.Count(), 2);
  ASSERT_EQ(doc.RowCount(kEffects), 3);
  EXPECT_EQ(Row(kEffects, 1), fades[2]);
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(project.GraphicLayers[0]->ListForKind(kind::Fade)->Count(), 3);

  // Delete asks even with nothing selected; No keeps everything.
  Select(kEffects, {});
  act.DeleteEvents(kEffects);
  EXPECT_EQ(prompt.Confirmations, std::vector<std::string>{"選択したイベントを削除してもよろしいですか？"});
  Select(kEffects, {0});
  prompt.ConfirmAnswer = false;
  act.DeleteEvents(kEffects);
  EXPECT_EQ(doc.RowCount(kEffects), 3);
  prompt.ConfirmAnswer = true;
  act.DeleteEvents(kEffects);
  EXPECT_EQ(doc.RowCount(kEffects), 2);
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1}));
}

TEST_F(EventCommands, PasteTimesWrapsAroundTheCopiedTimes) {
  Select(kEffects, {0, 1, 2});
  act.CopyEvents(kEffects);
  for (TEvent* s : sounds)
    s->StartTime = 99, s->EndTime = 99;
  AddEvent<TSoundSourceEvent>(*project.SoundLayers[0], 7, 7);
  AddEvent<TSoundSourceEvent>(*project.SoundLayers[0], 7, 7);
  doc.RefillEventViews(TTabId::Sound);
  act.SelectAll(kSounds);
  act.PasteTimes(kSounds);
  EXPECT_EQ(prompt.Confirmations.back(), "選択されたイベントの修正を開始します。よろしいですか？");
  const uint32_t expected[] = {100, 200, 300, 100, 200};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(Row(kSounds, r)->StartTime, expected[r]) << r;
    EXPECT_EQ(Row(kSounds, r)->EndTime, expected[r] + 50) << r;
    EXPECT_EQ(doc.EventRows(kSounds)[r].Caption, TimeText(expected[r])) << r;
  }
}

TEST_F(EventCommands, SelectAllTogglesOnlyInTheSoundView) {
  act.SelectAll(kSounds);
  EXPECT_EQ(doc.Selection(kSounds).SelectedCount(), 3);
  act.SelectAll(kSounds);
  EXPECT_EQ(doc.Selection(kSounds).SelectedCount(), 0);
  act.SelectAll(kEffects);
  act.SelectAll(kEffects);
  EXPECT_EQ(doc.Selection(kEffects).SelectedCount(), 5);
}

TEST_F(EventCommands, SortByStartTimeKeepsEqualTimesInRowOrder) {
  fades[0]->StartTime = 300;  // equal to fades[2]
  fades[4]->StartTime = 0;
  act.SortByStartTime(kEffects);
  const std::vector<TEvent*> expected = {fades[4], fades[1], fades[0], fades[2], fades[3]};
  for (int r = 0; r < 5; ++r)
    EXPECT_EQ(Row(kEffects, r), expected[static_cast<size_t>(r)]) << r;
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
}

TEST_F(EventCommands, DraggingRowsFollowsTheVisitingRule) {
  for (int i = 0; i < 2; ++i)
    fades.push_back(AddEvent<TGraphicEffectFadeEvent>(*project.GraphicLayers[0], 900, 950));
  doc.RefillEventViews(TTabId::Graphic);
  Select(kEffects, {2, 3}, 2);
  act.DropRows(kEffects, 5);
  const size_t down[] = {0, 1, 4, 5, 2, 3, 6};
  for (int r = 0; r < 7; ++r)
    EXPECT_EQ(Row(kEffects, r), fades[down[r]]) << r;
  EXPECT_EQ(doc.Selection(kEffects).SelectedRows(), (std::vector<int>{4, 5}));
  EXPECT_EQ(Numbers(kEffects), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));

  // Upwards the rows land just above the drop row.
  act.DropRows(kEffects, 1);
  const size_t up[] = {0, 2, 3, 1, 4, 5, 6};
  for (int r = 0; r < 7; ++r)
    EXPECT_EQ(Row(kEffects, r), fades[up[r]]) << r;

  // Non-contiguous downwards: each selected row is visited from the bottom.
  TRowModel<int> rows;
  rows.Reset(std::vector<int>(6), std::vector<int>{0, 2}, 0);
  EXPECT_EQ(DragOrder(rows, 6, 4), (std::vector<int>{1, 3, 0, 4, 2, 5}));
  // Nothing moves onto the starting row, past the rows, or without a selection.
  EXPECT_TRUE(DragOrder(rows, 6, 0).empty());
  EXPECT_TRUE(DragOrder(rows, 6, 6).empty());
  rows.Reset(std::vector<int>(6), {}, 0);
  EXPECT_TRUE(DragOrder(rows, 6, 3).empty());
}

TEST_F(EventCommands, AddAndEditThroughTheDialogsResults) {
  // Added at the selected row, or at the end without one; the new row is the selection.
  act.AddEvent(kSources, NewEventWithInitialValues(kind::Text));
  EXPECT_EQ(doc.RowCount(kSources), 4);
  EXPECT_TRUE(doc.Selection(kSources).IsSelected(3));
  Select(kSources, {1});
  act.AddEvent(kSources, NewEventWithInitialValues(kind::Master));
  EXPECT_EQ(Row(kSources, 1)->EventType, kind::Master);
  EXPECT_EQ(doc.Selection(kSources).SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(Numbers(kSources), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  // An effect is no source.
  act.AddEvent(kSources, NewEventWithInitialValues(kind::Fade));
  EXPECT_EQ(doc.RowCount(kSources), 5);

  // Editing changes the event in place (rows and selections keep referring to it).
  Select(kEffects, {2});
  auto edited = CopyEvent(*fades[2]);
  EventAs<TGraphicEffectFadeEvent>(edited.get())->StartAlpha = 7;
  edited->StartTime = 12345;
  act.EditEvent(kEffects, *edited);
  EXPECT_EQ(Row(kEffects, 2), fades[2]);
  EXPECT_EQ(EventAs<TGraphicEffectFadeEvent>(fades[2])->StartAlpha, 7);
  EXPECT_EQ(doc.EventRows(kEffects)[2].Caption, "00:00:12.345");
  EXPECT_EQ(fades[2]->EventNumber, 2u);
}

TEST_F(EventCommands, AdjustingEffectTimesPutsTheirListsBackInTimeOrder) {
  Select(kEffects, {0});
  prompt.OnDialog = [](TEventAdjustForm& f) {
    f.StartChoice = TStartChoice::Add;
    f.EndChoice = TEndChoice::Add;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 1);
    f.SetTimeField(TEventAdjustForm::End, TTimeFields::Second, 1);
  };
  act.AdjustTimes(kEffects);
  EXPECT_EQ(prompt.Confirmations.back(), "選択したイベントの修正を開始します。よろしいですか？");
  EXPECT_EQ(fades[0]->StartTime, 100u + 1100u);  // the dialog showed its 100 ms and one second more
  const TEventList& list = *project.GraphicLayers[0]->ListForKind(kind::Fade);
  EXPECT_EQ(list[4], fades[0]);
  EXPECT_EQ(Row(kEffects, 4), fades[0]);
  EXPECT_TRUE(doc.Selection(kEffects).IsSelected(4));  // the moved event stays selected
}

TEST_F(EventCommands, AdjustingTimesStartsFromTheFirstSelectedEventAndChangesAllOfThem) {
  Select(kSounds, {0, 2});
  uint32_t shownStart = 0, shownEnd = 0;
  prompt.OnDialog = [&](TEventAdjustForm& f) {
    shownStart = f.TimeValue(TEventAdjustForm::Start);
    shownEnd = f.TimeValue(TEventAdjustForm::End);
    f.StartChoice = TStartChoice::Add;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 1);
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Millisecond, 0);
    f.EndChoice = TEndChoice::FitInterval;
    f.SetTimeField(TEventAdjustForm::Interval, TTimeFields::Second, 2);
    f.SetTimeField(TEventAdjustForm::Interval, TTimeFields::Millisecond, 0);
  };
  // Cancel and No change nothing.
  prompt.DialogAnswer = false;
  act.AdjustTimes(kSounds);
  EXPECT_TRUE(prompt.Confirmations.empty());
  prompt.DialogAnswer = true;
  prompt.ConfirmAnswer = false;
  act.AdjustTimes(kSounds);
  EXPECT_EQ(sounds[0]->StartTime, 0u);
  EXPECT_EQ(doc.History().Count(), 0u);

  prompt.ConfirmAnswer = true;
  act.AdjustTimes(kSounds);
  EXPECT_EQ(shownStart, 0u);
  EXPECT_EQ(shownEnd, 500u);
  EXPECT_EQ(sounds[0]->StartTime, 1000u);
  EXPECT_EQ(sounds[0]->EndTime, 3000u);
  EXPECT_EQ(sounds[2]->StartTime, 3000u);
  EXPECT_EQ(sounds[2]->EndTime, 5000u);
  EXPECT_EQ(sounds[1]->StartTime, 1000u);  // not selected
  EXPECT_EQ(doc.EventRows(kSounds)[2].Caption, "00:00:03.000");

  // Nothing selected: no dialog.
  Select(kSounds, {});
  prompt.OnDialog = [](TEventAdjustForm&) { ADD_FAILURE() << "no dialog without a selection"; };
  act.AdjustTimes(kSounds);
}

TEST_F(EventCommands, SynchronisingGoesThroughTheExistingRules) {
  EventAs<TSoundSourceEvent>(sounds[1])->SampleAppointMode = 1;
  EventAs<TSoundSourceEvent>(sounds[1])->EndSample = 777;
  Select(kSources, {2});  // the movie
  Select(kSounds, {1});
  act.SyncSound();
  EXPECT_EQ(movie->StartTime, 1000u);
  EXPECT_EQ(EventAs<TGraphicSourceMovieEvent>(movie)->EndFrame, 777);
  EXPECT_EQ(doc.EventRows(kSources)[2].Caption, "00:00:01.000");
  Select(kSources, {0});  // a text has no play range
  act.SyncMovie();
  EXPECT_EQ(prompt.Messages, std::vector<std::string>{"再生範囲が時間指定のイベントのみ同期ができます。"});
}

TEST_F(EventCommands, MenusEnableAsTheSelectionAndClipboardsAllow) {
  TMenuState m = MenuState(doc, kEffects);
  EXPECT_TRUE(m.Add);
  EXPECT_FALSE(m.Copy || m.Paste || m.Delete || m.Edit || m.CopyTimes || m.PasteTimes);
  Select(kEffects, {0});
  act.CopyTimes(kEffects);
  m = MenuState(doc, kEffects);
  EXPECT_TRUE(m.Copy && m.Delete && m.Edit && m.AdjustTimes && m.PasteTimes);
  EXPECT_FALSE(m.Paste || m.Sync);
  EXPECT_TRUE(MenuState(doc, kSounds).PasteTimes == false);  // no selection there
  act.CopyEvents(kEffects);
  EXPECT_TRUE(MenuState(doc, kEffects).Paste);
  EXPECT_FALSE(MenuState(doc, kSources).Paste);
  Select(TViewId::GraphicLayers, {});
  EXPECT_FALSE(MenuState(doc, kEffects).Add);
  m = MenuState(doc, TViewId::GraphicLayers);
  EXPECT_TRUE(m.Add && m.Open && !m.Copy && !m.Save && !m.Paste);
}

// The notices name what changed, so that a view refreshes only that.
class Recorder : public TDocumentObserver {
 public:
  void Notice(const TDocumentNotice& n) override {
    if (n.Kind != TNoticeKind::BatchBegin && n.Kind != TNoticeKind::BatchEnd && n.Kind != TNoticeKind::ModifiedChanged)
      notices.push_back(n);
  }
  bool Has(TNoticeKind kind, TViewId view) const {
    for (const auto& n : notices)
      if (n.Kind == kind && n.View == view) return true;
    return false;
  }
  std::vector<TDocumentNotice> notices;
};

TEST_F(EventCommands, NoticesNameTheRowsThatChanged) {
  Recorder rec;
  doc.AddObserver(rec);
  Select(kEffects, {3});
  auto edited = CopyEvent(*fades[3]);
  edited->EndTime = 4242;
  rec.notices.clear();
  act.EditEvent(kEffects, *edited);
  ASSERT_EQ(rec.notices.size(), 1u);
  EXPECT_EQ(rec.notices[0].Kind, TNoticeKind::EventChanged);
  EXPECT_EQ(rec.notices[0].Row, 3);
  EXPECT_EQ(rec.notices[0].GraphicLayer, project.GraphicLayers[0]);
  EXPECT_EQ(rec.notices[0].Events[0], fades[3]);

  act.CopyEvents(kEffects);
  rec.notices.clear();
  act.PasteEvents(kEffects);
  EXPECT_FALSE(rec.Has(TNoticeKind::EventsReordered, kEffects));
  EXPECT_FALSE(rec.Has(TNoticeKind::EventsReordered, kSources));
  EXPECT_TRUE(rec.Has(TNoticeKind::EventsAdded, kEffects));

  Select(kEffects, {0, 1, 4});
  rec.notices.clear();
  act.DeleteEvents(kEffects);
  std::vector<std::pair<int, int>> removed;
  for (const auto& n : rec.notices)
    if (n.Kind == TNoticeKind::EventsRemoved) removed.emplace_back(n.Row, n.Count);
  EXPECT_EQ(removed, (std::vector<std::pair<int, int>>{{4, 1}, {0, 2}}));  // bottom up, by runs
  doc.RemoveObserver(rec);
}

}  // namespace
}  // namespace vexa
