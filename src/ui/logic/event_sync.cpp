#include "ui/logic/event_sync.h"

namespace vexa {
namespace {

constexpr std::string_view kSelectSources = "対象のソースイベントを選択してください。";
constexpr std::string_view kTimeRangeOnly = "再生範囲が時間指定のイベントのみ同期ができます。";
constexpr std::string_view kConfirmSync = "選択されたイベントの同期を実行します。よろしいですか？";

// Both play ranges count milliseconds in this mode.
constexpr int32_t kAppointByTime = 1;

}  // namespace

bool SyncSound(std::span<TEvent* const> selectedSources, std::span<TEvent* const> selectedSounds,
               TEventCommandUi& ui) {
  if (selectedSources.empty() || selectedSounds.empty()) {
    ui.Message(kSelectSources);
    return false;
  }
  // Only a movie has a play range to receive; any other source is refused like a movie
  // whose range cannot be synchronised.
  auto* movie = EventAs<TGraphicSourceMovieEvent>(selectedSources.front());
  auto* sound = EventAs<TSoundSourceEvent>(selectedSounds.front());
  if (!sound) {
    ui.Message(kSelectSources);
    return false;
  }
  if (!movie || sound->SampleAppointMode != kAppointByTime) {
    ui.Message(kTimeRangeOnly);
    return false;
  }
  if (!ui.Confirm(kConfirmSync)) return false;
  movie->StartTime = sound->StartTime;
  movie->EndTime = sound->EndTime;
  movie->StartFrame = static_cast<uint32_t>(sound->StartSample);  // the low 32 bits
  movie->EndFrame = static_cast<uint32_t>(sound->EndSample);
  movie->FrameAppointMode = kAppointByTime;
  ui.RefreshRow(*movie);
  return true;
}

bool SyncMovie(std::span<TEvent* const> selectedSounds, std::span<TEvent* const> selectedSources,
               TEventCommandUi& ui) {
  if (selectedSounds.empty() || selectedSources.empty()) {
    ui.Message(kSelectSources);
    return false;
  }
  auto* sound = EventAs<TSoundSourceEvent>(selectedSounds.front());
  auto* movie = EventAs<TGraphicSourceMovieEvent>(selectedSources.front());
  if (!sound) {
    ui.Message(kSelectSources);
    return false;
  }
  if (!movie || movie->FrameAppointMode != kAppointByTime) {
    ui.Message(kTimeRangeOnly);
    return false;
  }
  if (!ui.Confirm(kConfirmSync)) return false;
  sound->StartTime = movie->StartTime;
  sound->EndTime = movie->EndTime;
  sound->StartSample = movie->StartFrame;  // widened with a zero high half
  sound->EndSample = movie->EndFrame;
  sound->SampleAppointMode = kAppointByTime;
  ui.RefreshRow(*sound);
  return true;
}

}  // namespace vexa
