#include "model/event_kinds.h"

#include <gtest/gtest.h>

#include <set>

namespace vexa {
namespace {

const std::set<int32_t> kAllCodes = {0,    1,    2,    3,    1000, 1001, 1002, 1003, 1004, 1005,
                                     1006, 1007, 1009, 1010, 1011, 2000, 2001, 2002, 2003, 2004,
                                     2006, 2007, 2008, 2009, 2010, 3000, 3001, 10000};

TEST(EventKinds, TableHasTheTwentyEightKindsInSlotOrder) {
  std::set<int32_t> seen;
  int slot = 0;
  for (const TKindInfo& k : AllKinds()) {
    seen.insert(k.Code);
    if (k.Class != TKindClass::Sound) {
      EXPECT_EQ(k.Slot, slot++) << k.RecordName;
    }
    EXPECT_EQ(KindInfo(k.Code), &k);
  }
  EXPECT_EQ(seen, kAllCodes);
  EXPECT_EQ(slot, GraphicSlotCount);
  // The effect codes do not run in slot order: nega before brightness, split blur before mosaic.
  EXPECT_LT(SlotOfKind(kind::Nega), SlotOfKind(kind::Brightness));
  EXPECT_LT(SlotOfKind(kind::SplitBlur), SlotOfKind(kind::Mosaic));
  EXPECT_EQ(SlotOfKind(kind::Transition), 25);
  EXPECT_EQ(SlotOfKind(kind::Sound), -1);
}

TEST(EventKinds, CodesOutsideTheTableYieldNothing) {
  for (int32_t code : {-1, 4, 999, 1008, 2005, 3002, 9999, 10001}) {
    EXPECT_EQ(KindInfo(code), nullptr) << code;
    EXPECT_EQ(NewEvent(code), nullptr) << code;
    EXPECT_EQ(SlotOfKind(code), -1) << code;
  }
}

TEST(EventKinds, NewRecordIsZeroedApartFromItsType) {
  for (const TKindInfo& k : AllKinds()) {
    std::unique_ptr<TEvent> e = NewEvent(k.Code);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->EventType, k.Code);
    EXPECT_EQ(e->StartTime, 0u);
    EXPECT_EQ(e->EndTime, 0u);
    EXPECT_EQ(e->EventNumber, 0u);
    for (const TParamDesc& p : k.Params) {
      if (p.IsString()) {
        EXPECT_EQ(GetParamString(p, *e), "") << k.RecordName << "." << p.Field;
      } else {
        EXPECT_EQ(GetParamInt(p, *e), 0) << k.RecordName << "." << p.Field;
      }
    }
  }
}

// Every descriptor must reach a field of its own kind, and no two descriptors may share one:
// a wrong member pointer would silently save one parameter under another's key.
TEST(EventKinds, EveryParameterReachesItsOwnField) {
  for (const TKindInfo& k : AllKinds()) {
    std::unique_ptr<TEvent> e = NewEvent(k.Code);
    int64_t v = 1;
    for (const TParamDesc& p : k.Params) {
      if (p.IsString())
        SetParamString(p, *e, std::string(p.Field));
      else
        SetParamInt(p, *e, v++);
    }
    v = 1;
    for (const TParamDesc& p : k.Params) {
      if (p.IsString()) {
        EXPECT_EQ(GetParamString(p, *e), p.Field) << k.RecordName;
      } else {
        EXPECT_EQ(GetParamInt(p, *e), v++) << k.RecordName << "." << p.Field;
      }
    }
    std::set<std::string_view> keys;
    for (const TParamDesc& p : k.Params) {
      EXPECT_TRUE(keys.insert(p.File.Key).second) << k.RecordName << " repeats key " << p.File.Key;
      if (p.File.Writer == TValueWriter::Path) {
        EXPECT_TRUE(keys.insert(p.File.RelKey).second);
      }
      // Strings are spelled as strings, numbers as numbers.
      const bool textual = p.File.Writer == TValueWriter::String || p.File.Writer == TValueWriter::Lines ||
                           p.File.Writer == TValueWriter::Path;
      EXPECT_EQ(textual, p.IsString()) << k.RecordName << "." << p.Field;
      if (!p.IsString()) {
        EXPECT_LE(p.Dialog.Min, p.Dialog.Max) << p.Field;
        EXPECT_GE(p.Dialog.Initial, p.Dialog.Min) << k.RecordName << "." << p.Field;
        EXPECT_LE(p.Dialog.Initial, p.Dialog.Max) << k.RecordName << "." << p.Field;
      }
    }
  }
}

TEST(EventKinds, StartEndPairsShareTheirDescription) {
  // A Start field and its End partner must be written, defaulted and limited alike; only the
  // end of a range (transition power, movie frame, sound sample) defaults to its far end.
  for (const TKindInfo& k : AllKinds()) {
    for (const TParamDesc& p : k.Params) {
      if (!p.Field.starts_with("Start")) continue;
      std::string end = "End" + std::string(p.Field.substr(5));
      const TParamDesc* q = FindParam(k, end);
      ASSERT_NE(q, nullptr) << k.RecordName << " lacks " << end;
      EXPECT_EQ(p.Type, q->Type) << end;
      EXPECT_EQ(p.File.Writer, q->File.Writer) << end;
      EXPECT_EQ(p.Dialog.Min, q->Dialog.Min) << end;
      EXPECT_EQ(p.Dialog.Max, q->Dialog.Max) << end;
      bool farEnd = (k.Code == kind::Transition && end == "EndPower") ||
                    (k.Code == kind::Movie && end == "EndFrame") ||
                    (k.Code == kind::Sound && end == "EndSample");
      if (farEnd) {
        EXPECT_GT(q->File.Default, p.File.Default) << end;
      } else {
        EXPECT_EQ(p.File.Default, q->File.Default) << k.RecordName << "." << end;
      }
    }
  }
}

TEST(EventKinds, InitialValuesOfTheDialogs) {
  auto sepia = NewEventWithInitialValues(kind::Sepia);
  auto* s = EventAs<TGraphicEffectSepiaEvent>(sepia.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->StartRed, 240);
  EXPECT_EQ(s->EndGreen, 200);
  EXPECT_EQ(s->EndBlue, 145);

  auto trans = NewEventWithInitialValues(kind::Transition);
  auto* t = EventAs<TGraphicEffectTransitionEvent>(trans.get());
  EXPECT_EQ(t->StartPower, 0);
  EXPECT_EQ(t->EndPower, 255);
  EXPECT_EQ(t->StartVag, 4);
  EXPECT_EQ(t->EndVag, 4);

  auto size = NewEventWithInitialValues(kind::Size);
  auto* z = EventAs<TGraphicEffectSizeEvent>(size.get());
  EXPECT_EQ(z->SizeType, 1);
  EXPECT_EQ(z->StartWidth, 100);
  EXPECT_EQ(z->EndHeight, 100);

  auto text = NewEventWithInitialValues(kind::Text);
  auto* x = EventAs<TGraphicSourceTextEvent>(text.get());
  EXPECT_EQ(x->BlendMode, 1);
  EXPECT_EQ(x->Font.Name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(x->Font.Size, 10);
  EXPECT_EQ(x->Text, "");

  auto movie = NewEventWithInitialValues(kind::Movie);
  EXPECT_EQ(EventAs<TGraphicSourceMovieEvent>(movie.get())->EndFrame, 2147483647);
  auto sound = NewEventWithInitialValues(kind::Sound);
  auto* snd = EventAs<TSoundSourceEvent>(sound.get());
  EXPECT_EQ(snd->EndSample, 2147483647);
  EXPECT_EQ(snd->StartVolume, 256);
  EXPECT_EQ(snd->StartPan, 0);
}

TEST(EventKinds, FileDefaultsThatDifferFromTheDialogs) {
  auto def = [](int32_t code, std::string_view field) {
    const TParamDesc* p = FindParam(*KindInfo(code), field);
    EXPECT_NE(p, nullptr) << field;
    return p ? p->File.Default : -999;
  };
  EXPECT_EQ(def(kind::Text, "Font.Size"), 12);
  EXPECT_EQ(def(kind::Rotate, "OriginDirection"), 4);
  EXPECT_EQ(def(kind::Trim, "StartX2"), 100);
  EXPECT_EQ(def(kind::Fade, "EndAlpha"), 255);
  EXPECT_EQ(def(kind::Sepia, "StartBlue"), 135);
  EXPECT_EQ(def(kind::Mosaic, "StartPower"), 5);
  EXPECT_EQ(def(kind::Sound, "StartPan"), 128);
  EXPECT_EQ(def(kind::Sound, "EndSample"), 2147483647);
  // Colour revision is written signed and read with the unsigned reader.
  const TParamDesc* rev = FindParam(*KindInfo(kind::ColorRevision), "StartRed");
  EXPECT_EQ(rev->File.Writer, TValueWriter::Signed);
  EXPECT_EQ(rev->File.Reader, TValueWriter::Unsigned);
  EXPECT_EQ(FindParam(*KindInfo(kind::Text), "Font.Align")->File.Writer, TValueWriter::Color);
}

// The value type is the record member's, whatever the file spelling: fields written with
// the unsigned writer are still signed numbers.
TEST(EventKinds, ValueTypesComeFromTheFields) {
  auto type = [](int32_t code, std::string_view field) { return FindParam(*KindInfo(code), field)->Type; };
  EXPECT_EQ(type(kind::Transition, "EndPower"), TFieldType::Int32);
  EXPECT_EQ(type(kind::Trim, "StartX"), TFieldType::Int32);
  EXPECT_EQ(type(kind::Movie, "StartFrame"), TFieldType::UInt32);
  EXPECT_EQ(type(kind::Sound, "EndSample"), TFieldType::Int64);
  EXPECT_EQ(type(kind::Text, "Text"), TFieldType::String);
  TGraphicEffectTransitionEvent t;
  SetParamInt(*FindParam(*KindInfo(kind::Transition), "EndPower"), t, 4294967276);  // the low 32 bits
  EXPECT_EQ(t.EndPower, -20);
  EXPECT_EQ(GetParamInt(*FindParam(*KindInfo(kind::Transition), "EndPower"), t), -20);
  TGraphicSourceMovieEvent m;
  SetParamInt(*FindParam(*KindInfo(kind::Movie), "StartFrame"), m, -1);
  EXPECT_EQ(GetParamInt(*FindParam(*KindInfo(kind::Movie), "StartFrame"), m), 4294967295);
}

TEST(EventKinds, CopyIsDeepAndKeepsEveryField) {
  TGraphicSourceTextEvent src;
  src.StartTime = 10;
  src.EndTime = 20;
  src.EventNumber = 3;
  src.Text = "一行目\r\n二行目";
  src.Font.Name = "Sans";
  src.Font.TextureFileName = "/tmp/tex.png";
  src.Font.Size = 24;
  std::unique_ptr<TEvent> copy = CopyEvent(src);
  auto* c = EventAs<TGraphicSourceTextEvent>(copy.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->StartTime, 10u);
  EXPECT_EQ(c->EventNumber, 3u);
  EXPECT_EQ(c->Font.Size, 24);
  c->Text[0] = 'X';
  c->Font.Name += "!";
  c->Font.TextureFileName.clear();
  EXPECT_EQ(src.Text, "一行目\r\n二行目");
  EXPECT_EQ(src.Font.Name, "Sans");
  EXPECT_EQ(src.Font.TextureFileName, "/tmp/tex.png");
  EXPECT_NE(c->Text.data(), src.Text.data());

  TSoundSourceEvent snd;
  snd.StartSample = -5;
  snd.EndSample = int64_t{1} << 40;
  snd.FileName = "a.wav";
  auto sc = CopyEvent(snd);
  EXPECT_EQ(EventAs<TSoundSourceEvent>(sc.get())->EndSample, int64_t{1} << 40);
  EXPECT_EQ(EventAs<TSoundSourceEvent>(sc.get())->StartSample, -5);
  EXPECT_EQ(EventAs<TGraphicSourceImageEvent>(sc.get()), nullptr);

  // Assigning keeps the target's identity and kind; another kind is refused untouched.
  TSoundSourceEvent target;
  ASSERT_TRUE(AssignEvent(target, snd));
  EXPECT_EQ(target.EndSample, int64_t{1} << 40);
  EXPECT_EQ(target.FileName, "a.wav");
  TGraphicSourceImageEvent image;
  image.StartTime = 7;
  EXPECT_FALSE(AssignEvent(image, snd));
  EXPECT_EQ(image.StartTime, 7u);
}

}  // namespace
}  // namespace vexa
