// The sound range selector's playback: the selector's decoder played through the sound output.
// The output's end notice comes on its feeder thread; it is posted to the user interface thread
// and arrives there as Ended, unless a Play or Stop came in between.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>

#include "audio_out/dx_audio_out.h"
#include "ui/logic/file_media_access.h"

namespace vexa::ui {

class TSelectorPlayback final : public QObject, public TDecoderPlayback {
  Q_OBJECT

 public:
  TSelectorPlayback();
  ~TSelectorPlayback() override;

  void Stop() override;
  // The output plays (between a Play and its end or Stop).
  bool Playing() const { return out_.Busy(); }

 signals:
  // The range was played to its end (user interface thread).
  void Ended();
  // What the output has to say (no sound device: it plays silently).
  void Notice(const QString& text);

 protected:
  void StartOutput(TAuDecoder& decoder) override;

 private:
  TDXAudioOut out_;
  std::atomic<uint64_t> play_{0};  // counts Play and Stop, so that a stale end is dropped
};

}  // namespace vexa::ui
