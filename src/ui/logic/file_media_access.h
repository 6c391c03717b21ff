// The range selectors' access to real files: sound files through the decoders of the media
// layer, movies through TAVIReader. The sound output that plays the selector's range belongs
// to the preview; it derives from TDecoderPlayback and is made by the factory given here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bitmap/bitmap.h"
#include "ui/logic/dialog_prompt.h"

namespace vexa {

class TAuDecoder;
class TAVIReader;

// The decoder half of a sound selector's playback: Open makes the decoder (no looping),
// Play sets its range and hands it to StartOutput, Close frees it.
class TDecoderPlayback : public TSoundPlayback {
 public:
  TDecoderPlayback();
  ~TDecoderPlayback() override;
  TSoundFileInfo Open(const std::string& file) override;
  void Play(int64_t first, int64_t last) override;
  void Close() override;

 protected:
  // Starts the output on the decoder, whose range is set.
  virtual void StartOutput(TAuDecoder& decoder) = 0;

 private:
  std::unique_ptr<TAuDecoder> decoder_;
};

// The movie selector's reader and the 24-bit picture it reads frames into.
class TReaderMovieFrames : public TMovieFrames {
 public:
  TReaderMovieFrames();
  ~TReaderMovieFrames() override;
  TMovieFileInfo Open(const std::string& file) override;
  bool ShowFrame(uint32_t n) override;
  void Close() override;
  const TABitmap& Picture() const { return picture_; }

 private:
  TABitmap picture_;
  std::unique_ptr<TAVIReader> reader_;
};

class TFileMediaAccess : public TMediaAccess {
 public:
  explicit TFileMediaAccess(std::function<std::unique_ptr<TSoundPlayback>()> newPlayback);
  bool FileExists(const std::string& path) const override;
  TSoundFileInfo ProbeSound(const std::string& path) override;
  std::unique_ptr<TSoundPlayback> NewSoundPlayback() override { return newPlayback_(); }
  std::unique_ptr<TMovieFrames> NewMovieFrames() override;

 private:
  std::function<std::unique_ptr<TSoundPlayback>()> newPlayback_;
};

}  // namespace vexa
