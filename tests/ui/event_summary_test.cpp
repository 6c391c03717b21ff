// The row of every event kind: kind name and summary, for representative values, every unit
// type and one type outside the listed ones.
#include <gtest/gtest.h>

#include "ui/logic/event_rows.h"

namespace vexa {
namespace {

TEST(RowKindName, EveryGraphicKindAndTheRenamedColourRevision) {
  const std::pair<int32_t, const char*> expected[] = {
      {kind::Text, "テキスト"},
      {kind::Image, "静止画"},
      {kind::Movie, "動画"},
      {kind::Master, "マスター"},
      {kind::Position, "移動"},
      {kind::Size, "リサイズ"},
      {kind::Rotate, "回転"},
      {kind::Trim, "トリム"},
      {kind::AlphaMask, "アルファマスク"},
      {kind::MirrorHorz, "左右反転"},
      {kind::MirrorVert, "上下反転"},
      {kind::Fade, "フェード"},
      {kind::Tile, "タイル"},
      {kind::Blink, "点滅"},
      {kind::Vibration, "振動"},
      {kind::MonoYUV, "モノクロ"},
      {kind::Sepia, "色調変化"},
      {kind::Brightness, "輝度調整"},
      {kind::ColorRevision, "色補正"},
      {kind::Discolor, "退色"},
      {kind::NoiseColor, "色ノイズ"},
      {kind::NoiseBrightness, "輝度ノイズ"},
      {kind::Nega, "ネガ反転"},
      {kind::Mosaic, "モザイク"},
      {kind::SplitBlur, "スプリットブラー"},
      {kind::Transition, "トランジション"},
      {kind::SwapLayer, "レイヤーの順番変更"},
  };
  for (const auto& [code, name] : expected)
    EXPECT_EQ(RowKindName(code), name) << code;
  EXPECT_EQ(RowKindName(1008), "");
}

TEST(EventSummary, TextImageMaster) {
  TGraphicSourceTextEvent text;
  text.Text = "一行目\r\n二行目";
  EXPECT_EQ(EventSummary(text), "一行目\r\n二行目");

  TGraphicSourceImageEvent image;
  image.FileName = "C:\\pics\\cat.png";
  EXPECT_EQ(EventSummary(image), "cat.png");

  TGraphicSourceMasterEvent master;
  EXPECT_EQ(EventSummary(master), "マスターレイヤー");
}

TEST(EventSummary, MovieByAppointMode) {
  TGraphicSourceMovieEvent m;
  m.FileName = "/videos/clip.avi";
  m.StartFrame = 10;
  m.EndFrame = 2147483647;
  EXPECT_EQ(EventSummary(m), "clip.avi　開始フレーム：10→終了フレーム：2147483647");
  m.FrameAppointMode = 1;
  m.StartFrame = 1500;
  m.EndFrame = 61000;
  EXPECT_EQ(EventSummary(m), "clip.avi　開始時間：00:00:01.500→終了時間：00:01:01.000");
  m.FrameAppointMode = 2;
  EXPECT_EQ(EventSummary(m), "clip.avi");
  m.FrameAppointMode = 0;
  m.StartFrame = 4294967295u;  // an unsigned field
  EXPECT_EQ(EventSummary(m), "clip.avi　開始フレーム：4294967295→終了フレーム：61000");
}

TEST(EventSummary, PositionByType) {
  TGraphicEffectPositionEvent p;
  p.OriginDirection = 4;
  p.EndX = 100;
  p.EndY = 50;
  EXPECT_EQ(EventSummary(p), "原点：中央, X：0 → 100Y：0 → 50");
  p.PositionType = 1;
  p.OriginDirection = 0;
  p.StartX = 10;
  p.EndX = -20;
  p.StartY = -30;
  p.EndY = 40;
  EXPECT_EQ(EventSummary(p), "原点：左上, X：10% → -20%Y：-30% → 40%");
  p.PositionType = 2;
  p.OriginDirection = 8;
  p.StartDirection = 6;
  p.EndDirection = 2;
  EXPECT_EQ(EventSummary(p), "原点：右下, 左下 → 右上");
  p.PositionType = 3;
  p.OriginDirection = 9;
  EXPECT_EQ(EventSummary(p), "原点：, ");
}

TEST(EventSummary, SizeAndTileByType) {
  TGraphicEffectSizeEvent s;
  s.StartWidth = 100;
  s.EndWidth = 200;
  s.StartHeight = 50;
  s.EndHeight = 60;
  EXPECT_EQ(EventSummary(s), "単位：ピクセル幅：100 → 200高さ：50 → 60");
  s.SizeType = 1;
  EXPECT_EQ(EventSummary(s), "単位：%（レイヤー基準）幅：100% → 200%高さ：50% → 60%");
  s.SizeType = 2;
  EXPECT_EQ(EventSummary(s), "単位：%（フレーム基準）幅：100% → 200%高さ：50% → 60%");
  s.SizeType = 3;
  EXPECT_EQ(EventSummary(s), "");

  TGraphicEffectTileEvent t;
  t.SizeType = 2;
  t.StartWidth = 1;
  t.EndWidth = 4000;
  t.StartHeight = 2;
  t.EndHeight = 3;
  EXPECT_EQ(EventSummary(t), "単位：%（フレーム基準）幅：1% → 4000%高さ：2% → 3%");
  t.SizeType = 0;
  EXPECT_EQ(EventSummary(t), "単位：ピクセル幅：1 → 4000高さ：2 → 3");
}

TEST(EventSummary, RotateIsSigned) {
  TGraphicEffectRotateEvent r;
  r.StartAngle = -500;
  r.EndAngle = 1000;
  EXPECT_EQ(EventSummary(r), "-500度 → 1000度");
}

TEST(EventSummary, TrimByType) {
  TGraphicEffectTrimEvent t;
  t.StartX = 1, t.StartY = 2, t.StartX2 = 3, t.StartY2 = 4;
  t.EndX = 5, t.EndY = 6, t.EndX2 = 7, t.EndY2 = 8;
  EXPECT_EQ(EventSummary(t), "左：1 上：2 右：3 下：4　→　左：5 上：6 右：7 下：8");
  t.TrimType = 1;
  EXPECT_EQ(EventSummary(t), "左：1% 上：2% 右：3% 下：4%　→　左：5% 上：6% 右：7% 下：8%");
  t.TrimType = 2;
  EXPECT_EQ(EventSummary(t), "");
}

TEST(EventSummary, AlphaMaskColourOrImage) {
  TGraphicEffectAlphaMaskEvent m;
  m.Color = 0x0000FF;
  EXPECT_EQ(EventSummary(m), "透過色：0000FF");
  m.Color = 0xFF0000;
  EXPECT_EQ(EventSummary(m), "透過色：FF0000");
  m.MaskType = 1;
  m.MaskFileName = "D:\\masks\\round.bmp";
  EXPECT_EQ(EventSummary(m), "マスク画像：round.bmp");
  m.MaskType = 2;
  EXPECT_EQ(EventSummary(m), "");
}

TEST(EventSummary, KindsWithoutParametersAreEmpty) {
  EXPECT_EQ(EventSummary(TGraphicEffectMirrorHorzEvent()), "");
  EXPECT_EQ(EventSummary(TGraphicEffectMirrorVertEvent()), "");
  EXPECT_EQ(EventSummary(TGraphicEffectMonoYUVEvent()), "");
  EXPECT_EQ(EventSummary(TGraphicEffectNegaEvent()), "");
}

TEST(EventSummary, FadeAndBlink) {
  TGraphicEffectFadeEvent f;
  f.EndAlpha = 255;
  EXPECT_EQ(EventSummary(f), "0 → 255");
  TGraphicEffectBlinkEvent b;
  b.StartInterval = 100;
  b.EndInterval = 2000;
  EXPECT_EQ(EventSummary(b), "100ミリ秒 → 2000ミリ秒");
}

TEST(EventSummary, VibrationByType) {
  TGraphicEffectVibrationEvent v;
  v.StartInterval = 50, v.EndInterval = 60;
  v.StartMinX = 1, v.EndMinX = 2, v.StartMaxX = 3, v.EndMaxX = 4;
  v.StartMinY = 5, v.EndMinY = 6, v.StartMaxY = 7, v.EndMaxY = 8;
  EXPECT_EQ(EventSummary(v),
            "振動間隔（50ミリ秒 → 60ミリ秒）, 振動範囲（単位：ピクセル, 幅（最小値：1 → 2, 最大値：3 → 4）, "
            "高さ（最小値：5 → 6, 最大値：7 → 8））");
  v.PositionType = 1;
  EXPECT_EQ(EventSummary(v),
            "振動間隔（50ミリ秒 → 60ミリ秒）, 振動範囲（単位：%（レイヤー基準）, "
            "幅（最小値：1% → 2%, 最大値：3% → 4%）, 高さ（最小値：5% → 6%, 最大値：7% → 8%））");
  v.PositionType = 2;
  EXPECT_EQ(EventSummary(v),
            "振動間隔（50ミリ秒 → 60ミリ秒）, 振動範囲（単位：%（マスター基準）, "
            "幅（最小値：1% → 2%, 最大値：3% → 4%）, 高さ（最小値：5% → 6%, 最大値：7% → 8%））");
  v.PositionType = 3;
  EXPECT_EQ(EventSummary(v), "振動間隔（50ミリ秒 → 60ミリ秒）, ");
}

TEST(EventSummary, SepiaAndColourRevision) {
  TGraphicEffectSepiaEvent s;
  s.StartRed = 240, s.StartGreen = 200, s.StartBlue = 145;
  s.EndRed = 10, s.EndGreen = 20, s.EndBlue = 30;
  EXPECT_EQ(EventSummary(s), "R：240 G：200 B：145 → R：10 G：20 B：30");

  TGraphicEffectColorRevisionEvent c;
  c.StartRed = -5, c.StartGreen = 0, c.StartBlue = 255;
  c.EndRed = 1, c.EndGreen = -2, c.EndBlue = 3;
  EXPECT_EQ(EventSummary(c), "R：-5 G：0 B：255 → R：1 G：-2 B：3");
}

TEST(EventSummary, PowerPairsShowTheirSign) {
  TGraphicEffectBrightnessEvent b;
  b.StartPower = -255;
  b.EndPower = 255;
  EXPECT_EQ(EventSummary(b), "-255 → 255");

  TGraphicEffectDiscolorEvent d;
  d.StartPower = -1;  // outside the dialog's range, but a signed value all the same
  d.EndPower = 255;
  EXPECT_EQ(EventSummary(d), "-1 → 255");

  TGraphicEffectNoiseColorEvent nc;
  nc.StartPower = 3;
  nc.EndPower = 4;
  EXPECT_EQ(EventSummary(nc), "3 → 4");

  TGraphicEffectNoiseBrightnessEvent nb;
  nb.StartPower = 5;
  nb.EndPower = 6;
  EXPECT_EQ(EventSummary(nb), "5 → 6");
}

TEST(EventSummary, MosaicHasNoClosingBracket) {
  TGraphicEffectMosaicEvent m;
  m.StartPower = 5, m.EndPower = 10;
  m.StartX = 0, m.StartY = 0, m.StartX2 = 100, m.StartY2 = 100;
  m.EndX = 10, m.EndY = 20, m.EndX2 = 90, m.EndY2 = 80;
  m.PositionType = 1;
  EXPECT_EQ(
      EventSummary(m),
      "モザイクの強さ（5 → 10）, 位置（左：0% 上：0% 右：100% 下：100%　→　左：10% 上：20% 右：90% 下：80%");
  m.PositionType = 0;
  EXPECT_EQ(EventSummary(m),
            "モザイクの強さ（5 → 10）, 位置（左：0 上：0 右：100 下：100　→　左：10 上：20 右：90 下：80");
  m.PositionType = 2;
  EXPECT_EQ(EventSummary(m), "モザイクの強さ（5 → 10）, 位置（");
}

TEST(EventSummary, SplitBlurAndTransition) {
  TGraphicEffectSplitBlurEvent b;
  b.StartPower = 1, b.EndPower = 2, b.StartLoop = 3, b.EndLoop = 4;
  EXPECT_EQ(EventSummary(b), "ぶれの強さ（1 → 2）,繰り返し回数（3 → 4）");

  TGraphicEffectTransitionEvent t;
  t.StartPower = 0, t.EndPower = 255, t.StartVag = 4, t.EndVag = 8;
  t.RuleFileName = "C:\\rules\\wipe.png";
  EXPECT_EQ(EventSummary(t), "切り替え段階（0 → 255）, 切り替え幅（4 → 8）, ルール画像（wipe.png）");
}

TEST(EventSummary, SwapLayerByTargetAndAction) {
  TGraphicEffectSwapLayerEvent s;
  s.Index = 2;
  EXPECT_EQ(EventSummary(s), "ターゲット：2, 変更方法：入れ替え");
  s.TargetMode = 1;
  s.LayerName = "背景";
  s.ActionMode = 1;
  EXPECT_EQ(EventSummary(s), "ターゲット：\"背景\", 変更方法：上へ移動");
  s.ActionMode = 2;
  EXPECT_EQ(EventSummary(s), "ターゲット：\"背景\", 変更方法：下へ移動");
  s.TargetMode = 2;
  s.ActionMode = 3;
  EXPECT_EQ(EventSummary(s), "");
}

TEST(EventSummary, SoundVolumeAndSignedPan) {
  TSoundSourceEvent s;
  s.FileName = "/music/a.ogg";
  s.StartVolume = 256;
  s.EndVolume = 0;
  s.StartPan = -128;
  s.EndPan = 128;
  EXPECT_EQ(EventSummary(s), "音量（256 → 0）, ステレオバランス（-128 → 128）");
  const TEventRow row = DescribeRow(s);
  EXPECT_EQ(row.KindText, "a.ogg");
}

}  // namespace
}  // namespace vexa
