// Negative parameter values, table-wide: every numeric field of every kind, written to a layer
// file as a negative number in its file spelling, reaches the record with the value its type
// gives it, is shown with its sign in the list row, is spelled back exactly as it was read,
// and a render of events whose every number is negative runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/event_kinds.h"
#include "persist/bzip2_codec.h"
#include "persist/ext_ini_file.h"
#include "persist/layer_file.h"
#include "render/studio.h"
#include "render_test_util.h"
#include "ui/logic/event_rows.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

// The text a layer file holds for v under the field's writer.
std::string Spelled(const TParamDesc& p, int32_t v) {
  switch (p.File.Writer) {
    case TValueWriter::Unsigned:
      return std::to_string(static_cast<uint32_t>(v));
    case TValueWriter::Signed:
      return std::to_string(v);
    case TValueWriter::Color: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(v));
      return buf;
    }
    default:
      return {};
  }
}

// What a field of the type holds after reading the 32 bits of v.
int64_t Held(const TParamDesc& p, int32_t v) {
  // 64-bit sample numbers come back as unsigned 32-bit values (upper half 0), as do unsigned fields.
  return p.Type == TFieldType::Int32 ? int64_t{v} : int64_t{static_cast<uint32_t>(v)};
}

// A layer's INI text with one event of the kind from 0 to 1000 ms and the given keys.
std::string LayerText(int32_t code, const std::vector<std::pair<std::string, std::string>>& keys) {
  std::string t = "[General]\r\nLayerName=L\r\n\r\n[0]\r\nEventType=" + std::to_string(code) +
                  "\r\nStartTime=0\r\nEndTime=1000\r\nEventNumber=0\r\n";
  for (const auto& [k, v] : keys)
    t += k + "=" + v + "\r\n";
  return t + "\r\n";
}

// The one event of a layer read from INI text, and the store our writer makes of that layer.
struct TReadBack {
  TGraphicLayer Graphic;
  TSoundLayer Sound;
  const TEvent* Event = nullptr;
  TExtIniFile Written{std::string()};

  TReadBack(int32_t code, const std::string& text) {
    TExtIniFile ini{std::string()};
    ini.LoadFromBytes(text);
    if (code == kind::Sound) {
      ReadSoundLayerIni(ini, "/", Sound);
      if (Sound.Events.Count() == 1) Event = Sound.Events[0];
      WriteSoundLayerIni(Sound, "/", Written);
    } else {
      ReadGraphicLayerIni(ini, "/", Graphic);
      if (Graphic.ListForKind(code)->Count() == 1) Event = (*Graphic.ListForKind(code))[0];
      WriteGraphicLayerIni(Graphic, "/", Written);
    }
  }
};

// Enumerations (units, modes, directions, blend modes): an unknown value leaves its part of
// the row out instead of showing a number.
bool IsEnumeration(const TParamDesc& p) {
  return p.Dialog.Min == 0 && p.Dialog.Max <= 8;
}

TEST(NegativeParameters, EveryFieldFromTheFileToTheRecordTheRowAndBack) {
  int shown = 0;
  for (const TKindInfo& k : AllKinds()) {
    const std::string baseline = EventSummary(*TReadBack(k.Code, LayerText(k.Code, {})).Event);
    int32_t v = -30;
    for (const TParamDesc& p : k.Params) {
      if (p.IsString()) continue;
      --v;  // a value of its own per field, so that a field shown in another's place shows
      const std::string spelled = Spelled(p, v);
      TReadBack back(k.Code, LayerText(k.Code, {{std::string(p.File.Key), spelled}}));
      ASSERT_NE(back.Event, nullptr) << k.RecordName;
      const std::string where = std::string(k.RecordName) + "." + std::string(p.Field);

      // The record holds the value as the field's type has it.
      EXPECT_EQ(GetParamInt(p, *back.Event), Held(p, v)) << where;

      // The row: a signed field shows its minus sign, never the unsigned 32-bit number.
      const std::string summary = EventSummary(*back.Event);
      const std::string asUnsigned = UnsignedText(static_cast<uint32_t>(v));
      if (p.Type == TFieldType::Int32) {
        EXPECT_EQ(summary.find(asUnsigned), std::string::npos) << where << ": " << summary;
        if (summary != baseline && p.File.Writer != TValueWriter::Color && !IsEnumeration(p)) {
          EXPECT_NE(summary.find(SignedText(v)), std::string::npos) << where << ": " << summary;
          ++shown;
        }
      } else if (p.Type == TFieldType::UInt32 && summary != baseline) {
        EXPECT_NE(summary.find(asUnsigned), std::string::npos) << where << ": " << summary;
        ++shown;
      }

      // Our writer spells it as the file did.
      std::string again;
      EXPECT_GE(back.Written.FindKey("0", p.File.Key, &again), 0) << where;
      EXPECT_EQ(again, spelled) << where;
    }
  }
  // Every Start/End value of every kind with values, the swap target index, the movie range.
  EXPECT_EQ(shown, 81);
}

// Every graphic kind with every number negative, in one layer file over a picture: loaded
// through the file container and rendered, with seeks, without fault.
TEST(NegativeParameters, EventsWithEveryNumberNegativeRender) {
  test::ScratchDir dir;
  const std::string picture = test::WritePicture(dir, "p.bmp", 24, 16, 0x00336699);
  std::string text = "[General]\r\nLayerName=L\r\n\r\n";
  int section = 0;
  for (const TKindInfo& k : AllKinds()) {
    if (k.Code == kind::Sound) continue;
    text += "[" + std::to_string(section++) + "]\r\nEventType=" + std::to_string(k.Code) +
            "\r\nStartTime=0\r\nEndTime=1000\r\n";
    int32_t v = -2;
    for (const TParamDesc& p : k.Params)
      if (!p.IsString()) text += std::string(p.File.Key) + "=" + Spelled(p, v--) + "\r\n";
    text += "\r\n";
  }
  TProject project;
  project.Width = 32;
  project.Height = 24;
  project.FPS = 30;
  TGraphicLayer& layer = test::AddLayer(project);
  LoadGraphicLayerFromBytes(TBzip2Codec().Compress(text), dir.File(""), layer);
  test::AddImage(layer, 0, 1000, picture);
  ASSERT_EQ(layer.EventCount(), GraphicSlotCount + 1);
  const auto* trans = EventAs<TGraphicEffectTransitionEvent>(layer.ListForKind(kind::Transition)->Last());
  ASSERT_NE(trans, nullptr);
  EXPECT_EQ(trans->StartPower, -2);
  EXPECT_EQ(trans->EndPower, -3);

  TVexaStudio s;
  s.Project.Width = project.Width;
  s.Project.Height = project.Height;
  s.Project.FPS = project.FPS;
  CopyGraphicLayers(project.GraphicLayers, s.Project.GraphicLayers);
  ASSERT_TRUE(s.PrepareSession());
  EXPECT_EQ(s.FrameCount, 30u);
  for (uint32_t f = 0; f < s.FrameCount; ++f)
    s.ComposeFrame();
  for (uint32_t f : {20u, 3u, 29u}) {
    s.SeekFrame(f);
    s.ComposeFrame();
  }
  EXPECT_EQ(s.FrameBitmap.Width(), 32);
}

}  // namespace
}  // namespace vexa
