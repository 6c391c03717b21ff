#include "persist/layer_file.h"

#include <bzlib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <random>

#include "model/event_kinds.h"
#include "persist/bzip2_codec.h"
#include "persist/persist_error.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

// Decompressed with libbz2's own one-shot call, independent of our codec.
std::string Bunzip(const std::string& packed) {
  std::string out(1 << 20, '\0');
  unsigned len = static_cast<unsigned>(out.size());
  int rc = BZ2_bzBuffToBuffDecompress(out.data(), &len, const_cast<char*>(packed.data()),
                                      static_cast<unsigned>(packed.size()), 0, 0);
  EXPECT_EQ(rc, BZ_OK);
  out.resize(len);
  return out;
}

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string s;
  for (std::string_view l : lines) {
    s += l;
    s += "\r\n";
  }
  return s;
}

template <class T>
T& Add(TGraphicLayer& layer, uint32_t start, uint32_t end, uint32_t number) {
  auto e = std::make_unique<T>();
  e->StartTime = start;
  e->EndTime = end;
  e->EventNumber = number;
  T& ref = *e;
  layer.ListForKind(T::KindCode)->Add(std::move(e));
  return ref;
}

// One event of every graphic kind, added in reverse slot order; all values differ from the
// missing-key defaults. Paths point into folder t.
struct TEveryKind {
  std::string root;  // the temporary folder
  std::string layerFile, textureFile, imageFile, movieFile, maskFile, ruleFile;

  explicit TEveryKind(const TTempFolder& t)
      : root(t.Path()),
        layerFile(t / "proj/layer.vxgl"),
        textureFile(t / "proj/img/tex.png"),
        imageFile(t / "proj/img/a.png"),
        movieFile(t / "movies/m.avi"),
        maskFile(t / "proj/mask.png"),
        ruleFile(t / "rules/wipe.png") {
    for (const std::string* f : {&textureFile, &imageFile, &movieFile, &maskFile, &ruleFile})
      WriteFile(*f, "x");
  }

  void Fill(TGraphicLayer& l) const {
    l.Name = "テキスト";
    l.FileName = layerFile;
    auto& swap = Add<TGraphicEffectSwapLayerEvent>(l, 26000, 26999, 26);
    swap.TargetMode = 1, swap.Index = 3, swap.LayerName = "背景", swap.ActionMode = 2;
    auto& tr = Add<TGraphicEffectTransitionEvent>(l, 25000, 25999, 25);
    tr.StartPower = 0, tr.EndPower = 200, tr.StartVag = 1, tr.EndVag = 8, tr.RuleFileName = ruleFile;
    auto& mo = Add<TGraphicEffectMosaicEvent>(l, 24000, 24999, 24);
    mo.PositionType = 0, mo.StartX = 10, mo.EndX = 11, mo.StartY = 12, mo.EndY = 13;
    mo.StartX2 = 50, mo.EndX2 = 51, mo.StartY2 = 52, mo.EndY2 = 53, mo.StartPower = 8, mo.EndPower = 16;
    auto& sb = Add<TGraphicEffectSplitBlurEvent>(l, 23000, 23999, 23);
    sb.StartPower = 2, sb.EndPower = 3, sb.StartLoop = 4, sb.EndLoop = 5;
    auto& dc = Add<TGraphicEffectDiscolorEvent>(l, 22000, 22999, 22);
    dc.StartPower = 50, dc.EndPower = 60;
    auto& cr = Add<TGraphicEffectColorRevisionEvent>(l, 21000, 21999, 21);
    cr.StartRed = -5, cr.EndRed = 5, cr.StartGreen = -255, cr.EndGreen = 255, cr.StartBlue = 0,
    cr.EndBlue = -1;
    auto& nc = Add<TGraphicEffectNoiseColorEvent>(l, 20000, 20999, 20);
    nc.StartPower = 30, nc.EndPower = 40;
    auto& nb = Add<TGraphicEffectNoiseBrightnessEvent>(l, 19000, 19999, 19);
    nb.StartPower = 10, nb.EndPower = 20;
    auto& br = Add<TGraphicEffectBrightnessEvent>(l, 18000, 18999, 18);
    br.StartPower = -255, br.EndPower = 255;
    Add<TGraphicEffectNegaEvent>(l, 17000, 17999, 17);
    auto& se = Add<TGraphicEffectSepiaEvent>(l, 16000, 16999, 16);
    se.StartRed = 240, se.EndRed = 241, se.StartGreen = 200, se.EndGreen = 201, se.StartBlue = 145,
    se.EndBlue = 146;
    Add<TGraphicEffectMonoYUVEvent>(l, 15000, 15999, 15);
    auto& vi = Add<TGraphicEffectVibrationEvent>(l, 14000, 14999, 14);
    vi.StartInterval = 30, vi.EndInterval = 40, vi.PositionType = 1;
    vi.StartMinX = 1, vi.EndMinX = 2, vi.StartMaxX = 3, vi.EndMaxX = 4;
    vi.StartMinY = 5, vi.EndMinY = 6, vi.StartMaxY = 7, vi.EndMaxY = 8;
    auto& bl = Add<TGraphicEffectBlinkEvent>(l, 13000, 13999, 13);
    bl.StartInterval = 250, bl.EndInterval = 2147483647;
    auto& ti = Add<TGraphicEffectTileEvent>(l, 12000, 12999, 12);
    ti.SizeType = 2, ti.StartWidth = 50, ti.EndWidth = 60, ti.StartHeight = 70, ti.EndHeight = 80;
    auto& fa = Add<TGraphicEffectFadeEvent>(l, 11000, 11999, 11);
    fa.StartAlpha = 0, fa.EndAlpha = 128;
    Add<TGraphicEffectMirrorVertEvent>(l, 10000, 10999, 10);
    Add<TGraphicEffectMirrorHorzEvent>(l, 9000, 9999, 9);
    auto& am = Add<TGraphicEffectAlphaMaskEvent>(l, 8000, 8999, 8);
    am.MaskType = 1, am.Color = 0x00FF8040, am.MaskFileName = maskFile;
    auto& tm = Add<TGraphicEffectTrimEvent>(l, 7000, 7999, 7);
    tm.TrimType = 0, tm.StartX = 1, tm.EndX = 2, tm.StartY = 3, tm.EndY = 4;
    tm.StartX2 = 91, tm.EndX2 = 92, tm.StartY2 = 93, tm.EndY2 = 94;
    auto& ro = Add<TGraphicEffectRotateEvent>(l, 6000, 6999, 6);
    ro.OriginDirection = 7, ro.StartAngle = -1000, ro.EndAngle = 2100000000;
    auto& sz = Add<TGraphicEffectSizeEvent>(l, 5000, 5999, 5);
    sz.SizeType = 0, sz.StartWidth = 320, sz.EndWidth = 640, sz.StartHeight = 240, sz.EndHeight = 480;
    auto& po = Add<TGraphicEffectPositionEvent>(l, 4000, 4999, 4);
    po.PositionType = 2, po.OriginDirection = 4, po.StartX = -100, po.EndX = 250, po.StartY = -4000,
    po.EndY = 4000;
    po.StartDirection = 0, po.EndDirection = 8;
    auto& ma = Add<TGraphicSourceMasterEvent>(l, 3000, 0xFFFFFFFF, 3);
    ma.BlendMode = 0;
    auto& mv = Add<TGraphicSourceMovieEvent>(l, 2000, 2999, 2);
    mv.BlendMode = 3, mv.FileName = movieFile, mv.FrameAppointMode = 1, mv.StartFrame = 10,
    mv.EndFrame = 2000;
    auto& im = Add<TGraphicSourceImageEvent>(l, 1000, 1999, 1);
    im.BlendMode = 0, im.FileName = imageFile;
    auto& tx = Add<TGraphicSourceTextEvent>(l, 100, 999, 0);
    tx.BlendMode = 2, tx.Text = "Line one\r\nLine two";
    tx.Font.Name = "Sans", tx.Font.Size = 24, tx.Font.Style = 5, tx.Font.ColorType = 1;
    tx.Font.Color = 0x0000FF, tx.Font.Align = 2, tx.Font.TextureFileName = textureFile;
  }

  // The file's text, key by key, as the format defines it (code page 932, CR LF).
  std::string ExpectedText() const {
    return Lines({"[General]", "LayerName=\x83\x65\x83\x4C\x83\x58\x83\x67", ""}) +
           Lines({"[0]", "EventType=0", "StartTime=100", "EndTime=999", "EventNumber=0", "BlendMode=2",
                  "Text=LIST", "Text.count=2", "Text.0=Line one", "Text.1=Line two", "Font.Name=Sans",
                  "Font.Size=24", "Font.Style=5", "Font.ColorType=1", "Font.Color=$000000FF",
                  "Font.Align=$00000002"}) +
           "Font.TextureFullFileName=" + root + "/proj/img/tex.png\r\n" +
           Lines({"Font.TextureFileName=img\\tex.png", ""}) +
           Lines({"[1]", "EventType=1", "StartTime=1000", "EndTime=1999", "EventNumber=1", "BlendMode=0"}) +
           "FullFileName=" + root + "/proj/img/a.png\r\n" + Lines({"FileName=img\\a.png", ""}) +
           Lines({"[2]", "EventType=2", "StartTime=2000", "EndTime=2999", "EventNumber=2", "BlendMode=3"}) +
           "FullFileName=" + root + "/movies/m.avi\r\n" +
           Lines({"FileName=..\\movies\\m.avi", "FrameAppointMode=1", "StartFrame=10", "EndFrame=2000", ""}) +
           Lines({"[3]", "EventType=3", "StartTime=3000", "EndTime=4294967295", "EventNumber=3",
                  "BlendMode=0", ""}) +
           Lines({"[4]", "EventType=1000", "StartTime=4000", "EndTime=4999", "EventNumber=4",
                  "PositionType=2", "OriginDirection=4", "StartX=-100", "EndX=250", "StartY=-4000",
                  "EndY=4000", "StartDirection=0", "EndDirection=8", ""}) +
           Lines({"[5]", "EventType=1001", "StartTime=5000", "EndTime=5999", "EventNumber=5", "SizeType=0",
                  "StartWidth=320", "EndWidth=640", "StartHeight=240", "EndHeight=480", ""}) +
           Lines({"[6]", "EventType=1002", "StartTime=6000", "EndTime=6999", "EventNumber=6",
                  "OriginDirection=7", "StartAngle=-1000", "EndAngle=2100000000", ""}) +
           Lines({"[7]", "EventType=1003", "StartTime=7000", "EndTime=7999", "EventNumber=7", "TrimType=0",
                  "StartX=1", "EndX=2", "StartY=3", "EndY=4", "StartX2=91", "EndX2=92", "StartY2=93",
                  "EndY2=94", ""}) +
           Lines({"[8]", "EventType=1004", "StartTime=8000", "EndTime=8999", "EventNumber=8", "MaskType=1",
                  "Color=$00FF8040"}) +
           "MaskFullFileName=" + root + "/proj/mask.png\r\n" + Lines({"MaskFileName=mask.png", ""}) +
           Lines({"[9]", "EventType=1005", "StartTime=9000", "EndTime=9999", "EventNumber=9", ""}) +
           Lines({"[10]", "EventType=1006", "StartTime=10000", "EndTime=10999", "EventNumber=10", ""}) +
           Lines({"[11]", "EventType=1007", "StartTime=11000", "EndTime=11999", "EventNumber=11",
                  "StartAlpha=0", "EndAlpha=128", ""}) +
           Lines({"[12]", "EventType=1009", "StartTime=12000", "EndTime=12999", "EventNumber=12",
                  "SizeType=2", "StartWidth=50", "EndWidth=60", "StartHeight=70", "EndHeight=80", ""}) +
           Lines({"[13]", "EventType=1010", "StartTime=13000", "EndTime=13999", "EventNumber=13",
                  "StartInterval=250", "EndInterval=2147483647", ""}) +
           Lines({"[14]", "EventType=1011", "StartTime=14000", "EndTime=14999", "EventNumber=14",
                  "StartInterval=30", "EndInterval=40", "PositionType=1", "StartMinX=1", "EndMinX=2",
                  "StartMaxX=3", "EndMaxX=4", "StartMinY=5", "EndMinY=6", "StartMaxY=7", "EndMaxY=8", ""}) +
           Lines({"[15]", "EventType=2000", "StartTime=15000", "EndTime=15999", "EventNumber=15", ""}) +
           Lines({"[16]", "EventType=2001", "StartTime=16000", "EndTime=16999", "EventNumber=16",
                  "StartRed=240", "EndRed=241", "StartGreen=200", "EndGreen=201", "StartBlue=145",
                  "EndBlue=146", ""}) +
           Lines({"[17]", "EventType=2008", "StartTime=17000", "EndTime=17999", "EventNumber=17", ""}) +
           Lines({"[18]", "EventType=2002", "StartTime=18000", "EndTime=18999", "EventNumber=18",
                  "StartPower=-255", "EndPower=255", ""}) +
           Lines({"[19]", "EventType=2007", "StartTime=19000", "EndTime=19999", "EventNumber=19",
                  "StartPower=10", "EndPower=20", ""}) +
           Lines({"[20]", "EventType=2006", "StartTime=20000", "EndTime=20999", "EventNumber=20",
                  "StartPower=30", "EndPower=40", ""}) +
           Lines({"[21]", "EventType=2003", "StartTime=21000", "EndTime=21999", "EventNumber=21",
                  "StartRed=-5", "EndRed=5", "StartGreen=-255", "EndGreen=255", "StartBlue=0", "EndBlue=-1",
                  ""}) +
           Lines({"[22]", "EventType=2004", "StartTime=22000", "EndTime=22999", "EventNumber=22",
                  "StartPower=50", "EndPower=60", ""}) +
           Lines({"[23]", "EventType=2010", "StartTime=23000", "EndTime=23999", "EventNumber=23",
                  "StartPower=2", "EndPower=3", "StartLoop=4", "EndLoop=5", ""}) +
           Lines({"[24]", "EventType=2009", "StartTime=24000", "EndTime=24999", "EventNumber=24",
                  "PositionType=0", "StartX=10", "EndX=11", "StartY=12", "EndY=13", "StartX2=50", "EndX2=51",
                  "StartY2=52", "EndY2=53", "StartPower=8", "EndPower=16", ""}) +
           Lines({"[25]", "EventType=3000", "StartTime=25000", "EndTime=25999", "EventNumber=25",
                  "StartPower=0", "EndPower=200", "StartVag=1", "EndVag=8"}) +
           "RuleFullFileName=" + root + "/rules/wipe.png\r\n" +
           Lines({"RuleFileName=..\\rules\\wipe.png", ""}) +
           Lines({"[26]", "EventType=3001", "StartTime=26000", "EndTime=26999", "EventNumber=26",
                  "TargetMode=1", "Index=3", "LayerName=\x94\x77\x8C\x69", "ActionMode=2", ""});
  }
};

TEST(LayerFile, GraphicLayerFileMatchesTheFormatByteForByte) {
  TTempFolder t;
  TEveryKind every(t);
  TGraphicLayer layer;
  every.Fill(layer);
  SaveGraphicLayer(layer);
  std::string packed = ReadFile(every.layerFile);
  ASSERT_EQ(packed.substr(0, 4), "BZh9");
  EXPECT_EQ(Bunzip(packed), every.ExpectedText());
}

TEST(LayerFile, SoundLayerFileMatchesTheFormatByteForByte) {
  TTempFolder t;
  std::string song = t / "music/song.wav";
  TSoundLayer layer;
  layer.Name = "BGM";
  layer.FileName = t / "proj/bgm.vxsl";
  auto e = std::make_unique<TSoundSourceEvent>();
  e->StartTime = 500, e->EndTime = 90500, e->EventNumber = 0;
  e->FileName = song, e->SampleAppointMode = 1;
  e->StartSample = 0x100000005LL;  // only the low 32 bits are stored
  e->EndSample = 0xFFFFFFFFLL;
  e->StartVolume = 0, e->EndVolume = 200, e->StartPan = -128, e->EndPan = 64;
  layer.Events.Add(std::move(e));
  SaveSoundLayer(layer);
  std::string expected =
      Lines({"[General]", "LayerName=BGM", ""}) +
      Lines({"[0]", "EventType=10000", "StartTime=500", "EndTime=90500", "EventNumber=0"}) +
      "FullFileName=" + t.Path() + "/music/song.wav\r\n" +
      Lines({"FileName=..\\music\\song.wav", "SampleAppointMode=1", "StartSample=5", "EndSample=4294967295",
             "StartVolume=0", "EndVolume=200", "StartPan=4294967168", "EndPan=64", ""});
  EXPECT_EQ(Bunzip(ReadFile(layer.FileName)), expected);

  TSoundLayer back;
  back.FileName = layer.FileName;
  ASSERT_TRUE(LoadSoundLayer(back));
  ASSERT_EQ(back.Events.Count(), 1);
  auto* s = EventAs<TSoundSourceEvent>(back.Events[0]);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->StartSample, 5);
  EXPECT_EQ(s->EndSample, 4294967295LL);  // read back unsigned, upper half 0
  EXPECT_EQ(s->StartPan, -128);
  EXPECT_EQ(s->EndPan, 64);
  EXPECT_EQ(s->FileName, "..\\music\\song.wav");  // no such file: the relative text as read
}

TEST(LayerFile, AnEmptyLayerHoldsOnlyItsName) {
  TTempFolder t;
  TGraphicLayer layer;
  layer.FileName = t / "empty.vxgl";
  SaveGraphicLayer(layer);
  EXPECT_EQ(Bunzip(ReadFile(layer.FileName)), Lines({"[General]", "LayerName=", ""}));
  TGraphicLayer back;
  back.Name = "before";
  back.FileName = layer.FileName;
  ASSERT_TRUE(LoadGraphicLayer(back));
  EXPECT_EQ(back.Name, "");
  EXPECT_EQ(back.EventCount(), 0);
}

void ExpectSameEvents(const TEventList& a, const TEventList& b) {
  ASSERT_EQ(a.Count(), b.Count());
  for (int i = 0; i < a.Count(); ++i) {
    const TEvent& x = *a[i];
    const TEvent& y = *b[i];
    ASSERT_EQ(x.EventType, y.EventType);
    EXPECT_EQ(x.StartTime, y.StartTime);
    EXPECT_EQ(x.EndTime, y.EndTime);
    EXPECT_EQ(x.EventNumber, y.EventNumber);
    for (const TParamDesc& p : KindInfo(x.EventType)->Params) {
      if (p.IsString())
        EXPECT_EQ(GetParamString(p, x), GetParamString(p, y)) << x.EventType << ' ' << p.Field;
      else
        EXPECT_EQ(GetParamInt(p, x), GetParamInt(p, y)) << x.EventType << ' ' << p.Field;
    }
  }
}

TEST(LayerFile, EveryKindSurvivesSavingAndLoading) {
  TTempFolder t;
  TEveryKind every(t);
  TGraphicLayer layer;
  every.Fill(layer);
  SaveGraphicLayer(layer);
  TGraphicLayer back;
  back.FileName = layer.FileName;
  ASSERT_TRUE(LoadGraphicLayer(back));
  EXPECT_EQ(back.Name, "テキスト");
  for (int s = 0; s < GraphicSlotCount; ++s)
    ExpectSameEvents(layer.Slots[static_cast<size_t>(s)], back.Slots[static_cast<size_t>(s)]);
  auto* vib = EventAs<TGraphicEffectVibrationEvent>(back.ListForKind(kind::Vibration)->Last());
  ASSERT_NE(vib, nullptr);
  EXPECT_EQ(vib->EndMaxY, 8);
}

TEST(LayerFile, LoadingAppendsToTheEventsTheLayerHas) {
  TTempFolder t;
  TEveryKind every(t);
  TGraphicLayer layer;
  every.Fill(layer);
  SaveGraphicLayer(layer);
  ASSERT_TRUE(LoadGraphicLayer(layer));
  EXPECT_EQ(layer.EventCount(), 2 * GraphicSlotCount);
  for (const TEventList& list : layer.Slots)
    EXPECT_EQ(list.Count(), 2);
}

TEST(LayerFile, MovedFoldersStillFindFilesThroughTheRelativeKeys) {
  TTempFolder t;
  TEveryKind every(t);
  TGraphicLayer layer;
  every.Fill(layer);
  SaveGraphicLayer(layer);
  // Move everything; the full paths now point nowhere.
  std::filesystem::rename(t.Path() + "/proj", t.Path() + "/moved-proj");
  std::filesystem::rename(t.Path() + "/movies", t.Path() + "/moved-movies");
  TGraphicLayer back;
  back.FileName = t.Path() + "/moved-proj/layer.vxgl";
  ASSERT_TRUE(LoadGraphicLayer(back));
  auto fileOf = [&](int32_t code) -> std::string {
    const TEvent* e = back.ListForKind(code)->Last();
    const TKindInfo& k = *KindInfo(code);
    for (const TParamDesc& p : k.Params)
      if (p.File.Writer == TValueWriter::Path) return GetParamString(p, *e);
    return {};
  };
  EXPECT_EQ(fileOf(kind::Image), t.Path() + "/moved-proj/img/a.png");
  EXPECT_EQ(fileOf(kind::Text), t.Path() + "/moved-proj/img/tex.png");
  EXPECT_EQ(fileOf(kind::AlphaMask), t.Path() + "/moved-proj/mask.png");
  EXPECT_EQ(fileOf(kind::Movie), "..\\movies\\m.avi");  // moved apart from the layer: lost
  EXPECT_EQ(fileOf(kind::Transition), every.ruleFile);  // never moved: the full path holds
}

// Compresses an INI text (ASCII) into a layer file.
void WriteLayerText(const std::string& path, const std::string& text) {
  WriteFile(path, TBzip2Codec().Compress(text));
}

const TParamDesc& Param(int32_t code, std::string_view field) {
  const TParamDesc* p = FindParam(*KindInfo(code), field);
  EXPECT_NE(p, nullptr) << code << ' ' << field;
  return *p;
}

TEST(LayerFile, MissingKeysTakeTheDefaultsOfTheFormat) {
  // The defaults other than 0 and empty, per kind.
  const std::vector<std::pair<int32_t, std::vector<std::pair<std::string_view, int64_t>>>> defaults = {
      {kind::Text, {{"BlendMode", 1}, {"Font.Size", 12}}},
      {kind::Image, {{"BlendMode", 1}}},
      {kind::Movie, {{"BlendMode", 1}, {"EndFrame", 2147483647}}},
      {kind::Master, {{"BlendMode", 1}}},
      {kind::Position, {}},
      {kind::Size,
       {{"SizeType", 1}, {"StartWidth", 100}, {"EndWidth", 100}, {"StartHeight", 100}, {"EndHeight", 100}}},
      {kind::Rotate, {{"OriginDirection", 4}}},
      {kind::Trim, {{"TrimType", 1}, {"StartX2", 100}, {"EndX2", 100}, {"StartY2", 100}, {"EndY2", 100}}},
      {kind::AlphaMask, {}},
      {kind::MirrorHorz, {}},
      {kind::MirrorVert, {}},
      {kind::Fade, {{"StartAlpha", 255}, {"EndAlpha", 255}}},
      {kind::Tile,
       {{"SizeType", 1}, {"StartWidth", 100}, {"EndWidth", 100}, {"StartHeight", 100}, {"EndHeight", 100}}},
      {kind::Blink, {{"StartInterval", 100}, {"EndInterval", 100}}},
      {kind::Vibration, {{"StartInterval", 100}, {"EndInterval", 100}}},
      {kind::MonoYUV, {}},
      {kind::Sepia,
       {{"StartRed", 235},
        {"EndRed", 235},
        {"StartGreen", 200},
        {"EndGreen", 200},
        {"StartBlue", 135},
        {"EndBlue", 135}}},
      {kind::Nega, {}},
      {kind::Brightness, {}},
      {kind::NoiseBrightness, {{"StartPower", 1}, {"EndPower", 1}}},
      {kind::NoiseColor, {{"StartPower", 1}, {"EndPower", 1}}},
      {kind::ColorRevision, {}},
      {kind::Discolor, {{"StartPower", 1}, {"EndPower", 1}}},
      {kind::SplitBlur, {{"StartPower", 1}, {"EndPower", 1}, {"StartLoop", 1}, {"EndLoop", 1}}},
      {kind::Mosaic,
       {{"PositionType", 1},
        {"StartX2", 100},
        {"EndX2", 100},
        {"StartY2", 100},
        {"EndY2", 100},
        {"StartPower", 5},
        {"EndPower", 5}}},
      {kind::Transition, {{"EndPower", 255}, {"StartVag", 4}, {"EndVag", 4}}},
      {kind::SwapLayer, {}},
  };
  ASSERT_EQ(defaults.size(), static_cast<size_t>(GraphicSlotCount));
  std::string text = Lines({"[General]"});
  for (size_t i = 0; i < defaults.size(); ++i)
    text += Lines({"[" + std::to_string(i) + "]", "EventType=" + std::to_string(defaults[i].first)});
  TTempFolder t;
  TGraphicLayer layer;
  layer.FileName = t / "defaults.vxgl";
  WriteLayerText(layer.FileName, text);
  ASSERT_TRUE(LoadGraphicLayer(layer));
  EXPECT_EQ(layer.Name, "エラー");
  for (const auto& [code, nonZero] : defaults) {
    const TEventList* list = layer.ListForKind(code);
    ASSERT_EQ(list->Count(), 1) << code;
    const TEvent& e = *(*list)[0];
    EXPECT_EQ(e.StartTime, 0u);
    EXPECT_EQ(e.EndTime, 0u);
    for (const TParamDesc& p : KindInfo(code)->Params) {
      if (p.IsString()) {
        EXPECT_EQ(GetParamString(p, e), "") << code << ' ' << p.Field;
        continue;
      }
      int64_t want = 0;
      for (const auto& [field, value] : nonZero)
        if (field == p.Field) want = value;
      EXPECT_EQ(GetParamInt(p, e), want) << code << ' ' << p.Field;
    }
  }

  TSoundLayer sound;
  sound.FileName = t / "defaults.vxsl";
  WriteLayerText(sound.FileName, Lines({"[General]", "LayerName=S", "[0]", "EventType=10000"}));
  ASSERT_TRUE(LoadSoundLayer(sound));
  ASSERT_EQ(sound.Events.Count(), 1);
  const TEvent& s = *sound.Events[0];
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "SampleAppointMode"), s), 0);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "StartSample"), s), 0);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "EndSample"), s), 2147483647);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "StartVolume"), s), 256);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "EndVolume"), s), 256);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "StartPan"), s), 128);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "EndPan"), s), 128);
}

TEST(LayerFile, ValuesThatDoNotParseTakeTheDefaultAndRevisionReadsSignedText) {
  TTempFolder t;
  TGraphicLayer layer;
  layer.FileName = t / "odd.vxgl";
  WriteLayerText(layer.FileName,
                 Lines({"[General]", "LayerName=L", "[0]", "EventType=1007", "StartAlpha=abc", "EndAlpha= 12",
                        "[1]", "EventType=2003", "StartRed=-5", "EndRed=4294967291", "StartGreen=0x10"}));
  ASSERT_TRUE(LoadGraphicLayer(layer));
  const TEvent& fade = *layer.ListForKind(kind::Fade)->Last();
  EXPECT_EQ(GetParamInt(Param(kind::Fade, "StartAlpha"), fade), 255);
  EXPECT_EQ(GetParamInt(Param(kind::Fade, "EndAlpha"), fade), 12);  // leading spaces are skipped
  const TEvent& rev = *layer.ListForKind(kind::ColorRevision)->Last();
  EXPECT_EQ(GetParamInt(Param(kind::ColorRevision, "StartRed"), rev), -5);
  EXPECT_EQ(GetParamInt(Param(kind::ColorRevision, "EndRed"), rev), -5);
  EXPECT_EQ(GetParamInt(Param(kind::ColorRevision, "StartGreen"), rev), 16);
}

TEST(LayerFile, SectionZeroAndUnknownKindsAreSkipped) {
  TTempFolder t;
  TGraphicLayer layer;
  layer.FileName = t / "skip.vxgl";
  WriteLayerText(layer.FileName,
                 Lines({"[First]", "EventType=1007", "[a]", "EventType=1008", "[b]", "EventType=2005", "[c]",
                        "EventType=10000", "[d]", "NoType=1", "[e]", "EventType=1011", "StartMaxY=9",
                        "[General]", "LayerName=Named later"}));
  ASSERT_TRUE(LoadGraphicLayer(layer));
  EXPECT_EQ(layer.Name, "Named later");
  EXPECT_EQ(layer.EventCount(), 1);
  ASSERT_EQ(layer.ListForKind(kind::Vibration)->Count(), 1);
  EXPECT_EQ(GetParamInt(Param(kind::Vibration, "StartMaxY"), *layer.ListForKind(kind::Vibration)->Last()), 9);

  TSoundLayer sound;
  sound.FileName = t / "skip.vxsl";
  WriteLayerText(sound.FileName, Lines({"[General]", "[0]", "EventType=0", "[1]", "EventType=10000",
                                        "StartVolume=7", "[2]", "EventType=1007"}));
  ASSERT_TRUE(LoadSoundLayer(sound));
  ASSERT_EQ(sound.Events.Count(), 1);
  EXPECT_EQ(GetParamInt(Param(kind::Sound, "StartVolume"), *sound.Events[0]), 7);
}

TEST(LayerFile, MissingFilesChangeNothing) {
  TTempFolder t;
  TGraphicLayer layer;
  layer.Name = "kept";
  layer.FileName = t.Path() + "/absent.vxgl";
  EXPECT_FALSE(LoadGraphicLayer(layer));
  EXPECT_EQ(layer.Name, "kept");
  TSoundLayer sound;
  EXPECT_FALSE(LoadSoundLayer(sound));  // no file name at all
}

std::string LoadError(const std::string& path, const std::string& bytes) {
  WriteFile(path, bytes);
  TGraphicLayer layer;
  layer.Name = "kept";
  layer.FileName = path;
  try {
    LoadGraphicLayer(layer);
  } catch (const TBzip2Error& e) {
    EXPECT_EQ(e.Path(), path);
    EXPECT_EQ(layer.Name, "kept");
    EXPECT_EQ(layer.EventCount(), 0);
    return e.what();
  }
  return "no error";
}

TEST(LayerFile, CorruptFilesRaiseTheCodecStatus) {
  TTempFolder t;
  std::string path = t / "bad.vxgl";
  std::string good = TBzip2Codec().Compress(Lines({"[General]", "LayerName=x", "[0]", "EventType=0"}));
  EXPECT_EQ(LoadError(path, "[General]\r\nLayerName=plain text\r\n"), "BZ_DATA_ERROR_MAGIC");
  EXPECT_EQ(LoadError(path, good.substr(0, good.size() - 5)), "BZ_UNEXPECTED_EOF");
  std::string flipped = good;
  flipped[20] = static_cast<char>(flipped[20] ^ 0xFF);
  EXPECT_EQ(LoadError(path, flipped), "BZ_DATA_ERROR");

  // An empty file holds nothing: the layer gets the fallback name and no events.
  WriteFile(path, "");
  TGraphicLayer layer;
  layer.FileName = path;
  ASSERT_TRUE(LoadGraphicLayer(layer));
  EXPECT_EQ(layer.Name, "エラー");
  EXPECT_EQ(layer.EventCount(), 0);
}

TEST(LayerFile, TextsTooLargeForTheStoreAreRefused) {
  // Nine million empty lines pack into a few hundred bytes.
  std::string packed = TBzip2Codec().Compress(Lines({"[General]", "LayerName=x", "[0]", "EventType=1005"}) +
                                              std::string(9u << 20, '\n'));
  ASSERT_LT(packed.size(), 4096u);
  TGraphicLayer layer;
  try {
    LoadGraphicLayerFromBytes(packed, "/", layer);
    ADD_FAILURE() << "accepted";
  } catch (const TPersistError& e) {
    EXPECT_NE(std::string(e.what()).find("lines"), std::string::npos) << e.what();
  }
  EXPECT_EQ(layer.EventCount(), 0);
}

// Limits the size of files this process may write, as a full disk would.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  sighandler_t old_handler_;
};

TEST(LayerFile, AFailedSaveLeavesTheOldFileIntact) {
  TTempFolder t;
  TGraphicLayer layer;
  layer.Name = "old";
  layer.FileName = t / "layer.vxgl";
  SaveGraphicLayer(layer);
  const std::string old = ReadFile(layer.FileName);

  // Many events with random names: the new file cannot shrink below the limit.
  std::mt19937 rng(3);
  for (int i = 0; i < 400; ++i) {
    auto& image = Add<TGraphicSourceImageEvent>(layer, rng(), rng(), i);
    image.FileName = "/pictures/" + std::to_string(rng()) + std::to_string(rng()) + ".png";
  }
  layer.Name = "new";
  try {
    TFileSizeLimit limit(4096);
    SaveGraphicLayer(layer);
    ADD_FAILURE() << "the save reported success";
  } catch (const TPersistError& e) {
    EXPECT_EQ(e.Path(), layer.FileName);
    EXPECT_NE(std::string(e.what()).find("File too large"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFile(layer.FileName), old);
  EXPECT_EQ(EntriesIn(t.Path()), 1u);

  // A folder that is a regular file.
  TSoundLayer sound;
  sound.FileName = layer.FileName + "/sound.vxsl";
  EXPECT_THROW(SaveSoundLayer(sound), TPersistError);
  sound.FileName.clear();
  EXPECT_THROW(SaveSoundLayer(sound), TPersistError);
}

}  // namespace
}  // namespace vexa
