// The two range selector windows without their widgets: TForm_SoundSource_Select plays a sound
// and picks its first and last sample with two sliders; TForm_GraphicSource_Movie_Select shows
// the frame under the slider being moved and picks the first and last frame. The widgets show
// the sliders, spin fields, labels and caption of these models and forward every change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/logic/dialog_prompt.h"
#include "ui/logic/spin_field.h"

namespace vexa {

// Positions <-> milliseconds at a rate (samples or frames per second), rounded to the nearest
// integer with halves to even. The rate must be above 0.
int64_t PositionTime(int64_t position, double rate);
int64_t TimePosition(int64_t ms, double rate);
// The length of a range from start to end (either way round), both ends included.
int64_t RangeLength(int64_t start, int64_t end, double rate);

// A slider: its limits and position.
struct TTrack {
  int64_t Min = 0, Max = 0, Position = 0;
};

// What the two selectors share: two sliders with a spin field and a time label each, and the
// caption showing the length between them.
class TRangeSelector {
 public:
  virtual ~TRangeSelector() = default;
  enum TEnd { Start, End };

  std::string FileName;  // set by the opener

  // The opener's preset: the slider's upper limit and its position both become value.
  void Preset(TEnd end, int64_t value);

  const TTrack& Track(TEnd end) const { return tracks_[end]; }
  const TSpinField& Spin(TEnd end) const { return spins_[end]; }
  const std::string& TimeLabel(TEnd end) const { return labels_[end]; }
  const std::string& Caption() const { return caption_; }
  bool Visible() const { return visible_; }
  // Samples or frames per second of the open file; 0 until it is open.
  double Rate() const { return rate_; }

  // TrackBar_StartChange / TrackBar_EndChange: the user moved a slider.
  void MoveTrack(TEnd end, int64_t position);
  // JvSpinEdit_StartChange / JvSpinEdit_EndChange.
  void SetSpin(TEnd end, int64_t value);
  // JvSpinEdit_StartEnter / JvSpinEdit_EndEnter.
  void EnterSpin(TEnd end) { TrackChanged(end); }

 protected:
  // Gives both sliders and spin fields the limits and refreshes the end slider, then the start.
  void Open(int64_t min, int64_t max, double rate);
  int64_t Time(int64_t position) const { return PositionTime(position, rate_); }
  void SetVisible(bool on) { visible_ = on; }
  virtual void TrackChanged(TEnd end) = 0;
  void ShowLength();
  void ShowTime(TEnd end);
  void SpinFollows(TEnd end);

 private:
  void SetTrack(TEnd end, int64_t position);

  TTrack tracks_[2];
  TSpinField spins_[2] = {TSpinField(0, 2147483647, 0), TSpinField(0, 2147483647, 0)};
  std::string labels_[2];
  std::string caption_ = "範囲選択";
  bool visible_ = false;
  double rate_ = 0;
};

class TSoundRangeSelector : public TRangeSelector {
 public:
  TSoundRangeSelector(std::unique_ptr<TSoundPlayback> playback, TUserPrompt& ui);
  ~TSoundRangeSelector() override;

  // FormShow: opens the decoder and sets the limits. False, after its message, when the file
  // is missing or no decoder reads it: the window closes again.
  bool Show();

  // The decoder and output the selector plays through (the window hears its end notice).
  TSoundPlayback& Playback() { return *playback_; }
  const std::string& PositionLabel() const { return positionLabel_; }
  uint32_t PlayPosition() const { return playPosition_; }
  bool TimerOn() const { return timerOn_; }
  static constexpr uint32_t kTimerInterval = 250;

  void Play();           // Button_PlayClick
  void StopPlaying();    // Button_StopClick
  void TimerTick();      // Timer_SoundTimer
  void PlaybackEnded();  // the output played to the end of the range
  void CloseQuery();     // FormCloseQuery: stops the sound and frees the decoder

 private:
  void TrackChanged(TEnd end) override;
  void ShowPlayPosition();

  std::unique_ptr<TSoundPlayback> playback_;
  TUserPrompt& ui_;
  std::string positionLabel_ = "00000";
  uint32_t playPosition_ = 0;
  bool timerOn_ = false;
  bool open_ = false;
};

class TMovieRangeSelector : public TRangeSelector {
 public:
  TMovieRangeSelector(std::unique_ptr<TMovieFrames> frames, TUserPrompt& ui);
  ~TMovieRangeSelector() override;

  // Opens the movie for the opener's presets in time mode; false, after its message, when it
  // cannot be read (Info then tells its frame rate). The opener closes it again before showing
  // the window.
  bool OpenForPreset();
  void CloseReader();
  const TMovieFileInfo& Info() const { return info_; }
  // The reader and the picture it reads frames into (the window shows that picture).
  TMovieFrames& Frames() { return *frames_; }

  // FormShow: opens the movie and sets the limits; false, after its message, when it cannot
  // be read: the window closes again.
  bool Show();
  bool ShowedMovie() const { return showed_; }
  // The movie's frame size: the window's client area is this wide and this plus the sliders
  // and panels high.
  int32_t MovieWidth() const { return info_.Width; }
  int32_t MovieHeight() const { return info_.Height; }
  // The frame last read for the window, or -1.
  int64_t ShownFrame() const { return shownFrame_; }
  void Close();  // closing: the reader is closed

 private:
  void TrackChanged(TEnd end) override;
  bool OpenMovie();

  std::unique_ptr<TMovieFrames> frames_;
  TUserPrompt& ui_;
  TMovieFileInfo info_;
  bool showed_ = false;
  int64_t shownFrame_ = -1;
};

// Messages of the selectors and the range buttons.
inline constexpr std::string_view kFileMissingSuffix = " は存在しません。";
inline constexpr std::string_view kSoundNotFoundSuffix = " が見つかりませんでした";
inline constexpr std::string_view kReadFailedSuffix = " の読み込みに失敗しました。";

}  // namespace vexa
