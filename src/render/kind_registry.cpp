// The tables that plug each source and effect kind into RenderLayer. A kind joins by one line
// here and one file of its own; a code without an entry does nothing.
#include <array>

#include "model/events.h"
#include "render/effects/colour_effects.h"
#include "render/effects/mask_wipe_order_effects.h"
#include "render/effects/transform_effects.h"
#include "render/render_pass.h"
#include "render/source_image.h"
#include "render/source_movie.h"
#include "render/source_text.h"
#include "render/studio.h"

namespace vexa {
namespace {

struct TSourceEntry {
  int32_t Code;
  TSourceFn Run;
};
struct TEffectEntry {
  int32_t Code;
  TEffectFn Run;
};

// The master source (3) draws nothing by design.
constexpr std::array<TSourceEntry, 3> kSources = {{
    {kind::Text, &RunTextSource},
    {kind::Image, &RunImageSource},
    {kind::Movie, &RunMovieSource},
}};

// Effects join here, one entry per kind.
constexpr TEffectEntry kEffects[] = {
    {kind::Position, &RunPositionEffect},
    {kind::Size, &RunSizeEffect},
    {kind::Rotate, &RunRotateEffect},
    {kind::Trim, &RunTrimEffect},
    {kind::MirrorHorz, &RunMirrorHorizontalEffect},
    {kind::MirrorVert, &RunMirrorVerticalEffect},
    {kind::Fade, &RunFadeEffect},
    {kind::Tile, &RunTileEffect},
    {kind::Blink, &RunBlinkEffect},
    {kind::Vibration, &RunVibrationEffect},
    {kind::AlphaMask, &RunAlphaMaskEffect},
    {kind::MonoYUV, &RunMonochromeEffect},
    {kind::Sepia, &RunToneChangeEffect},
    {kind::Brightness, &RunBrightnessEffect},
    {kind::ColorRevision, &RunColourRevisionEffect},
    {kind::Discolor, &RunDiscolourEffect},
    {kind::NoiseColor, &RunColourNoiseEffect},
    {kind::NoiseBrightness, &RunBrightnessNoiseEffect},
    {kind::Nega, &RunNegativeEffect},
    {kind::Mosaic, &RunMosaicEffect},
    {kind::SplitBlur, &RunSplitBlurEffect},
    {kind::Transition, &RunTransitionEffect},
    {kind::SwapLayer, &RunLayerOrderEffect},
};

}  // namespace

TSourceFn FindSourceHandler(int32_t code) {
  for (const TSourceEntry& e : kSources)
    if (e.Code == code) return e.Run;
  return nullptr;
}

TEffectFn FindEffectHandler(int32_t code) {
  for (const TEffectEntry& e : kEffects)
    if (e.Code == code) return e.Run;
  return nullptr;
}

bool TEffectPass::NeedsInit() const {
  return !List.CursorLoaded || Studio.SeekFlag != 0;
}

}  // namespace vexa
