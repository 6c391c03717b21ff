// The small projects that the dialogs' Preview buttons play.
#include "ui/logic/preview_project.h"

#include <gtest/gtest.h>

#include "model/event_kinds.h"
#include "render/studio.h"

namespace vexa {
namespace {

const std::vector<std::string> kSamples = {"/s/0.png", "/s/1.png", "/s/2.png"};
const TPreviewFormat kFormat{320, 240, 30, 0x102030};

std::unique_ptr<TProject> Preview(TEventForm& form, std::span<const std::string> samples = kSamples) {
  return BuildPreviewProject(form, kFormat, samples);
}

const TGraphicSourceImageEvent* Image(const TGraphicLayer& l, int i = 0) {
  const TEventList& list = *l.ListForKind(kind::Image);
  return i < list.Count() ? static_cast<const TGraphicSourceImageEvent*>(list[i]) : nullptr;
}

// An effect from 2 s to 5 s under edit.
void Span(TEventForm& form, int startSeconds, int endSeconds) {
  form.SetSpin("JvSpinEdit_StartTime_Second", startSeconds);
  form.SetSpin("JvSpinEdit_EndTime_Second", endSeconds);
}

TEST(PreviewProject, EffectOverSamplePictureZero) {
  TEventForm form(*DialogOf(kind::Brightness));
  Span(form, 2, 5);
  form.SetSpin("JvSpinEdit_EndPower", -90);
  auto p = Preview(form);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Width, 320u);
  EXPECT_EQ(p->FPS, 30u);
  EXPECT_EQ(p->BackColor, 0x102030);
  ASSERT_EQ(p->GraphicLayers.Count(), 1);
  const TGraphicLayer& l = *p->GraphicLayers[0];
  const auto* effect =
      static_cast<const TGraphicEffectBrightnessEvent*>(l.ListForKind(kind::Brightness)->Last());
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->StartTime, 0u);
  EXPECT_EQ(effect->EndTime, 3000u);
  EXPECT_EQ(effect->EndPower, -90);
  ASSERT_NE(Image(l), nullptr);
  EXPECT_EQ(Image(l)->FileName, kSamples[0]);
  EXPECT_EQ(Image(l)->BlendMode, 1);
  EXPECT_EQ(Image(l)->EndTime, 3000u);
  EXPECT_EQ(l.EventCount(), 2);

  TEventForm rotate(*DialogOf(kind::Rotate));
  EXPECT_EQ(Image(*Preview(rotate)->GraphicLayers[0])->BlendMode, 0);
}

TEST(PreviewProject, FadeUsesTwoLayersAndTransitionTwoPictures) {
  TEventForm fade(*DialogOf(kind::Fade));
  Span(fade, 0, 2);
  auto p = Preview(fade);
  ASSERT_EQ(p->GraphicLayers.Count(), 2);
  EXPECT_EQ(Image(*p->GraphicLayers[0])->FileName, kSamples[1]);
  EXPECT_EQ(Image(*p->GraphicLayers[0])->BlendMode, 0);
  EXPECT_EQ(Image(*p->GraphicLayers[1])->FileName, kSamples[2]);
  EXPECT_EQ(Image(*p->GraphicLayers[1])->BlendMode, 1);
  EXPECT_EQ(p->GraphicLayers[1]->ListForKind(kind::Fade)->Count(), 1);

  // At 30 frames per second F = 33: one frame of A, then the transition to B.
  TEventForm trans(*DialogOf(kind::Transition));
  Span(trans, 1, 3);
  auto t = Preview(trans);
  const TGraphicLayer& l = *t->GraphicLayers[0];
  const TEvent* effect = l.ListForKind(kind::Transition)->Last();
  EXPECT_EQ(effect->StartTime, 34u);
  EXPECT_EQ(effect->EndTime, 2000u);
  ASSERT_NE(Image(l, 1), nullptr);
  EXPECT_EQ(Image(l, 0)->FileName, kSamples[1]);
  EXPECT_EQ(Image(l, 0)->EndTime, 34u);
  EXPECT_EQ(Image(l, 1)->FileName, kSamples[2]);
  EXPECT_EQ(Image(l, 1)->StartTime, 35u);
  EXPECT_EQ(Image(l, 1)->EventNumber, 1u);
}

TEST(PreviewProject, MissingSamplePicturesAreLeftOut) {
  TEventForm fade(*DialogOf(kind::Fade));
  Span(fade, 0, 1);
  const std::vector<std::string> one = {"/s/0.png"};
  auto p = Preview(fade, one);
  ASSERT_EQ(p->GraphicLayers.Count(), 2);
  EXPECT_EQ(p->GraphicLayers[0]->EventCount(), 0);
  EXPECT_EQ(p->GraphicLayers[1]->EventCount(), 1);  // the fade alone
  TEventForm mono(*DialogOf(kind::MonoYUV));
  EXPECT_EQ(Preview(mono, {})->GraphicLayers[0]->EventCount(), 1);
}

TEST(PreviewProject, SourcesAreCentredAndSoundPlaysUnderText) {
  TEventForm image(*DialogOf(kind::Image));
  Span(image, 1, 2);
  image.SetText("JvFilenameEdit", "/pic.png");
  auto p = Preview(image);
  const TGraphicLayer& l = *p->GraphicLayers[0];
  EXPECT_EQ(Image(l)->FileName, "/pic.png");
  const auto* centre = static_cast<const TGraphicEffectPositionEvent*>(l.ListForKind(kind::Position)->Last());
  ASSERT_NE(centre, nullptr);
  EXPECT_EQ(centre->PositionType, 2);
  EXPECT_EQ(centre->OriginDirection, 4);
  EXPECT_EQ(centre->StartDirection, 4);
  EXPECT_EQ(centre->EndDirection, 4);
  EXPECT_EQ(centre->EndTime, 1000u);

  TEventForm sound(*DialogOf(kind::Sound));
  Span(sound, 0, 4);
  auto s = Preview(sound);
  ASSERT_EQ(s->SoundLayers.Count(), 1);
  EXPECT_EQ(s->SoundLayers[0]->Events.Count(), 1);
  const auto* text =
      static_cast<const TGraphicSourceTextEvent*>(s->GraphicLayers[0]->ListForKind(kind::Text)->Last());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, "Sound Only");
  EXPECT_EQ(text->Font.Size, 30);
  EXPECT_EQ(text->Font.Align, 1);
  EXPECT_EQ(text->EndTime, 4000u);
  EXPECT_EQ(s->GraphicLayers[0]->ListForKind(kind::Position)->Count(), 1);
}

TEST(PreviewProject, DialogsWithoutPreviewAndEventsEndingBeforeTheyStart) {
  TEventForm master(*DialogOf(kind::Master));
  EXPECT_EQ(Preview(master), nullptr);
  TEventForm swap(*DialogOf(kind::SwapLayer));
  EXPECT_EQ(Preview(swap), nullptr);

  // Ending before it starts: length 0 rather than 49 days, so there is nothing to render.
  TEventForm image(*DialogOf(kind::Image));
  Span(image, 5, 3);
  auto p = Preview(image);
  EXPECT_EQ(p->GraphicLayers[0]->ListForKind(kind::Image)->Last()->EndTime, 0u);
  TVexaStudio studio;
  studio.Project.Width = p->Width;
  studio.Project.Height = p->Height;
  studio.Project.FPS = p->FPS;
  CopyGraphicLayers(p->GraphicLayers, studio.Project.GraphicLayers);
  EXPECT_FALSE(studio.PrepareSession());
}

TEST(PreviewProject, PreviewLeavesTheEditedEventAlone) {
  TGraphicEffectFadeEvent fade;
  fade.StartTime = 1000;
  fade.EndTime = 2000;
  fade.StartAlpha = 10;
  TEventForm form(*DialogOf(kind::Fade));
  form.LoadEvent(fade);
  form.SetSpin("JvSpinEdit_StartPower", 200);
  auto p = Preview(form);
  EXPECT_EQ(static_cast<const TGraphicEffectFadeEvent*>(p->GraphicLayers[1]->ListForKind(kind::Fade)->Last())
                ->StartAlpha,
            200);
  EXPECT_EQ(fade.StartAlpha, 10);
  EXPECT_EQ(fade.StartTime, 1000u);
}

}  // namespace
}  // namespace vexa
