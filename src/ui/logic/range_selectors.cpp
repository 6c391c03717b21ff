#include "ui/logic/range_selectors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "ui/logic/text_format.h"

namespace vexa {
namespace {

// Round to the nearest integer, halves to even, kept within 64 bits.
int64_t RoundToInt64(double x) {
  constexpr double kLimit = 9.2e18;
  if (!(x == x)) return 0;
  return static_cast<int64_t>(std::nearbyint(std::clamp(x, -kLimit, kLimit)));
}

// Milliseconds as a time text; beyond 32 bits the text saturates like every editor time.
std::string TimeTextOf(int64_t ms) {
  return TimeText(static_cast<uint32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<uint32_t>::max())));
}

}  // namespace

int64_t PositionTime(int64_t position, double rate) {
  return RoundToInt64(static_cast<double>(position) * (1000.0 / rate));
}

int64_t TimePosition(int64_t ms, double rate) {
  return RoundToInt64(static_cast<double>(ms) / (1000.0 / rate));
}

int64_t RangeLength(int64_t start, int64_t end, double rate) {
  const int64_t span = start > end ? start - end : end - start;
  return PositionTime(span + 1, rate);
}

// ---- both selectors ----

void TRangeSelector::Preset(TEnd end, int64_t value) {
  tracks_[end].Max = value;
  SetTrack(end, value);
}

void TRangeSelector::SetTrack(TEnd end, int64_t position) {
  TTrack& t = tracks_[end];
  const int64_t p = std::clamp(position, t.Min, std::max(t.Min, t.Max));
  if (p == t.Position) return;
  t.Position = p;
  TrackChanged(end);
}

void TRangeSelector::MoveTrack(TEnd end, int64_t position) {
  SetTrack(end, position);
}

void TRangeSelector::SetSpin(TEnd end, int64_t value) {
  spins_[end].Set(value);
  if (visible_ && spins_[end].Value() != tracks_[end].Position) SetTrack(end, spins_[end].Value());
}

void TRangeSelector::Open(int64_t min, int64_t max, double rate) {
  rate_ = rate;
  for (TEnd end : {Start, End}) {
    tracks_[end].Min = min;
    tracks_[end].Max = max;
    tracks_[end].Position = std::clamp(tracks_[end].Position, min, std::max(min, max));
    spins_[end] = TSpinField(min, max, spins_[end].Value());
  }
}

void TRangeSelector::ShowLength() {
  if (rate_ <= 0) return;
  caption_ =
      "範囲選択 - " + TimeTextOf(std::llabs(Time(tracks_[Start].Position) - Time(tracks_[End].Position)));
}

void TRangeSelector::ShowTime(TEnd end) {
  if (rate_ > 0) labels_[end] = TimeTextOf(Time(tracks_[end].Position));
}

void TRangeSelector::SpinFollows(TEnd end) {
  spins_[end].Set(tracks_[end].Position);
}

// ---- sound ----

TSoundRangeSelector::TSoundRangeSelector(std::unique_ptr<TSoundPlayback> playback, TUserPrompt& ui)
    : playback_(std::move(playback)), ui_(ui) {}

TSoundRangeSelector::~TSoundRangeSelector() {
  CloseQuery();
}

bool TSoundRangeSelector::Show() {
  const TSoundFileInfo info = playback_->Open(FileName);
  open_ = true;
  if (!info.Opened || info.SampleRate == 0) {
    // A file with no decoder, or a rate of 0, has no positions to show.
    if (!info.Opened && !info.Error.empty())
      ui_.Message(info.Error);
    else
      ui_.Message(FileName + std::string(info.Opened ? kReadFailedSuffix : kSoundNotFoundSuffix));
    CloseQuery();
    return false;
  }
  const int64_t last = std::clamp<int64_t>(info.TotalSamples - 1, 0, 2147483647);
  SetVisible(true);
  Open(0, last, info.SampleRate);
  playPosition_ = static_cast<uint32_t>(
      std::clamp<int64_t>(Time(std::min(Track(Start).Position, Track(End).Position)), 0, UINT32_MAX));
  ShowPlayPosition();
  TrackChanged(End);
  TrackChanged(Start);
  return true;
}

void TSoundRangeSelector::TrackChanged(TEnd end) {
  SpinFollows(end);
  if (!Visible()) return;
  ShowLength();
  ShowTime(end);
}

void TSoundRangeSelector::ShowPlayPosition() {
  positionLabel_ = TimeText(playPosition_);
}

void TSoundRangeSelector::Play() {
  if (!Visible()) return;
  playback_->Stop();
  timerOn_ = false;
  playPosition_ = static_cast<uint32_t>(
      std::clamp<int64_t>(Time(std::min(Track(Start).Position, Track(End).Position)), 0, UINT32_MAX));
  ShowPlayPosition();
  // A range given backwards plays forwards.
  const int64_t a = Spin(Start).Value(), b = Spin(End).Value();
  playback_->Play(std::min(a, b), std::max(a, b));
  timerOn_ = true;
}

void TSoundRangeSelector::StopPlaying() {
  if (open_) playback_->Stop();
  timerOn_ = false;
}

void TSoundRangeSelector::TimerTick() {
  if (!timerOn_) return;
  playPosition_ += kTimerInterval;
  ShowPlayPosition();
}

void TSoundRangeSelector::PlaybackEnded() {
  timerOn_ = false;
  playPosition_ = 0;  // the label keeps its last text
}

void TSoundRangeSelector::CloseQuery() {
  if (!open_) return;
  playback_->Stop();
  timerOn_ = false;
  playback_->Close();
  open_ = false;
  SetVisible(false);
}

// ---- movie ----

TMovieRangeSelector::TMovieRangeSelector(std::unique_ptr<TMovieFrames> frames, TUserPrompt& ui)
    : frames_(std::move(frames)), ui_(ui) {}

TMovieRangeSelector::~TMovieRangeSelector() {
  Close();
}

bool TMovieRangeSelector::OpenMovie() {
  info_ = frames_->Open(FileName);
  // A frame rate of 0 (or none) gives no times: treated as a movie that cannot be read.
  if (!info_.Opened || !(info_.FrameRate > 0) || info_.LastFrame < info_.FirstFrame) {
    frames_->Close();
    info_ = {};
    ui_.Message(FileName + std::string(kReadFailedSuffix));
    return false;
  }
  return true;
}

bool TMovieRangeSelector::OpenForPreset() {
  return OpenMovie();
}

void TMovieRangeSelector::CloseReader() {
  frames_->Close();
}

bool TMovieRangeSelector::Show() {
  if (!OpenMovie()) return false;
  showed_ = true;
  Open(info_.FirstFrame, info_.LastFrame, info_.FrameRate);
  SetVisible(true);
  TrackChanged(End);
  TrackChanged(Start);
  return true;
}

void TMovieRangeSelector::TrackChanged(TEnd end) {
  ShowLength();
  ShowTime(end);
  if (!Visible()) return;
  SpinFollows(end);
  const int64_t n = Track(end).Position;
  if (n >= 0 && n <= UINT32_MAX && frames_->ShowFrame(static_cast<uint32_t>(n))) shownFrame_ = n;
}

void TMovieRangeSelector::Close() {
  frames_->Close();
  SetVisible(false);
}

}  // namespace vexa
