#include "model/layers.h"

#include <gtest/gtest.h>

#include "model/project.h"

namespace vexa {
namespace {

TEvent* AddEvent(TGraphicLayer& layer, int32_t code, uint32_t start) {
  auto e = NewEvent(code);
  e->StartTime = start;
  return layer.ListForKind(code)->Add(std::move(e));
}

TEST(Project, StartsAsTheNewProject) {
  TProject p;
  EXPECT_EQ(p.ProjectName, "新規プロジェクト");
  EXPECT_EQ(p.Width, 640u);
  EXPECT_EQ(p.Height, 480u);
  EXPECT_EQ(p.FPS, 30u);
  EXPECT_EQ(p.BackColor, 0);
  EXPECT_TRUE(p.FileName.empty());
  EXPECT_EQ(p.GraphicLayers.Count(), 0);
  EXPECT_EQ(p.SoundLayers.Count(), 0);

  p.ProjectName = "x";
  p.Width = 1;
  AddEvent(*NewGraphicLayer(p.GraphicLayers, -1), kind::Text, 0);
  NewSoundLayer(p.SoundLayers, -1);
  p.Reset();
  EXPECT_EQ(p.ProjectName, "新規プロジェクト");
  EXPECT_EQ(p.Width, 640u);
  EXPECT_TRUE(p.GraphicLayers.Empty());
  EXPECT_TRUE(p.SoundLayers.Empty());
}

TEST(Layers, NewLayerIsInsertedOrAppended) {
  TLayerList<TGraphicLayer> layers;
  TGraphicLayer* a = NewGraphicLayer(layers, -1);
  TGraphicLayer* b = NewGraphicLayer(layers, layers.Count());
  TGraphicLayer* c = NewGraphicLayer(layers, 0);
  TGraphicLayer* d = NewGraphicLayer(layers, 1);
  ASSERT_EQ(layers.Count(), 4);
  EXPECT_EQ(layers[0], c);
  EXPECT_EQ(layers[1], d);
  EXPECT_EQ(layers[2], a);
  EXPECT_EQ(layers[3], b);
  EXPECT_TRUE(a->Name.empty());
  EXPECT_TRUE(a->FileName.empty());
  EXPECT_EQ(a->EventCount(), 0);
  DeleteGraphicLayer(layers, 1);
  EXPECT_EQ(layers.IndexOf(d), -1);
  EXPECT_EQ(layers[1], a);
  DeleteAllGraphicLayers(layers);
  EXPECT_TRUE(layers.Empty());
}

TEST(Layers, EffectListsBorrowTheEffectSlotsInOrder) {
  TGraphicLayer layer;
  ASSERT_EQ(layer.EffectLists.size(), 23u);
  EXPECT_EQ(layer.EffectLists[0], layer.ListForKind(kind::Position));
  EXPECT_EQ(layer.EffectLists[13], layer.ListForKind(kind::Nega));
  EXPECT_EQ(layer.EffectLists[14], layer.ListForKind(kind::Brightness));
  EXPECT_EQ(layer.EffectLists[22], layer.ListForKind(kind::SwapLayer));
  EXPECT_EQ(layer.ListForKind(kind::Sound), nullptr);
  EXPECT_EQ(layer.ListForKind(1008), nullptr);
  TSoundLayer sound;
  EXPECT_EQ(ListForKind(sound, kind::Sound), &sound.Events);
  EXPECT_EQ(ListForKind(sound, kind::Text), nullptr);
}

TEST(Layers, CollectSourcesTakesTheSourceListsInSlotOrder) {
  TGraphicLayer layer;
  TEvent* master = AddEvent(layer, kind::Master, 0);
  TEvent* movie = AddEvent(layer, kind::Movie, 10);
  TEvent* image = AddEvent(layer, kind::Image, 20);
  TEvent* text = AddEvent(layer, kind::Text, 30);
  AddEvent(layer, kind::Fade, 0);
  TEventRefList sources;
  sources.Add(text);  // emptied first
  CollectSources(layer, sources);
  ASSERT_EQ(sources.Count(), 4);
  EXPECT_EQ(sources[0], text);
  EXPECT_EQ(sources[1], image);
  EXPECT_EQ(sources[2], movie);
  EXPECT_EQ(sources[3], master);
}

TEST(Layers, DeepCopySurvivesTheSourceLayer) {
  TLayerList<TGraphicLayer> from, to;
  TGraphicLayer* a = NewGraphicLayer(from, -1);
  a->Name = "背景";
  a->FileName = "/x/a.vxgl";
  auto* t = static_cast<TGraphicSourceTextEvent*>(AddEvent(*a, kind::Text, 5));
  t->Text = "hello";
  AddEvent(*a, kind::Vibration, 7);
  CopyGraphicLayers(from, to);
  DeleteAllGraphicLayers(from);  // frees a's events
  ASSERT_EQ(to.Count(), 1);
  TGraphicLayer* b = to[0];
  EXPECT_EQ(b->Name, "背景");
  EXPECT_TRUE(b->FileName.empty());
  ASSERT_EQ(b->ListForKind(kind::Text)->Count(), 1);
  EXPECT_EQ(EventAs<TGraphicSourceTextEvent>((*b->ListForKind(kind::Text))[0])->Text, "hello");
  EXPECT_EQ((*b->ListForKind(kind::Vibration))[0]->StartTime, 7u);
}

TEST(Layers, ShallowCopySharesEventsAndFreesNone) {
  TLayerList<TGraphicLayer> project;
  TGraphicLayer* a = NewGraphicLayer(project, -1);
  a->Name = "Master";
  TEvent* img = AddEvent(*a, kind::Image, 1);
  TEvent* fade = AddEvent(*a, kind::Fade, 2);
  {
    TLayerList<TGraphicLayerView> views;
    CopyGraphicLayers(project, views);
    ASSERT_EQ(views.Count(), 1);
    EXPECT_EQ(views[0]->Name, "Master");
    EXPECT_EQ((*views[0]->ListForKind(kind::Image))[0], img);
    EXPECT_EQ((*views[0]->EffectLists[7])[0], fade);
    // Its own lists: cursors move independently of the project's.
    views[0]->ListForKind(kind::Image)->Cursor = 1;
    EXPECT_EQ(a->ListForKind(kind::Image)->Cursor, 0);
    DeleteAllGraphicLayers(views);
  }
  // The events are still alive (ASan would report a use after free).
  EXPECT_EQ(img->StartTime, 1u);
  EXPECT_EQ(fade->StartTime, 2u);
}

TEST(Layers, SoundLayersCopyDeepAndShallow) {
  TLayerList<TSoundLayer> project, clip;
  TSoundLayer* s = NewSoundLayer(project, -1);
  s->Name = "BGM";
  auto e = NewEvent(kind::Sound);
  EventAs<TSoundSourceEvent>(e.get())->FileName = "a.wav";
  TEvent* ev = s->Events.Add(std::move(e));
  TLayerList<TSoundLayerView> work;
  CopySoundLayers(project, work);
  CopySoundLayers(project, clip);
  EXPECT_EQ(work[0]->Events[0], ev);
  EXPECT_NE(clip[0]->Events[0], ev);
  EXPECT_EQ(clip[0]->Name, "BGM");
  DeleteAllSoundLayers(work);
  DeleteAllSoundLayers(project);
  EXPECT_EQ(EventAs<TSoundSourceEvent>(clip[0]->Events[0])->FileName, "a.wav");
}

TEST(Layers, CopyEventAndDisposeEventUseTheKindsList) {
  TGraphicLayer layer;
  TGraphicEffectMosaicEvent m;
  m.StartPower = 9;
  TEvent* copy = CopyEvent(m, layer);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(layer.ListForKind(kind::Mosaic)->Count(), 1);
  EXPECT_EQ(EventAs<TGraphicEffectMosaicEvent>(copy)->StartPower, 9);
  // A sound event has no list in a graphic layer.
  TSoundSourceEvent snd;
  EXPECT_EQ(CopyEvent(snd, layer), nullptr);
  TSoundLayer sl;
  EXPECT_NE(CopyEvent(snd, sl), nullptr);
  EXPECT_EQ(sl.Events.Count(), 1);

  EXPECT_FALSE(DisposeEvent(&m, layer));  // not in the layer: left alone
  EXPECT_TRUE(DisposeEvent(copy, layer));
  EXPECT_EQ(layer.ListForKind(kind::Mosaic)->Count(), 0);
  EXPECT_FALSE(DisposeEvent(nullptr, layer));
  EXPECT_TRUE(DisposeEvent(sl.Events[0], sl));
  EXPECT_EQ(sl.Events.Count(), 0);
}

TEST(Layers, MoveAndExchangeReorderLayers) {
  TLayerList<TGraphicLayer> layers;
  TGraphicLayer* l[3];
  for (auto& x : l)
    x = NewGraphicLayer(layers, -1);
  layers.Exchange(0, 2);
  EXPECT_EQ(layers[0], l[2]);
  layers.Move(0, 2);
  EXPECT_EQ(layers[0], l[1]);
  EXPECT_EQ(layers[2], l[2]);
}

}  // namespace
}  // namespace vexa
