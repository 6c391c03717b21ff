// What the editing dialogs ask of the windows and files around them: message boxes (through
// TUserPrompt), the two range selector windows, and the sound and movie files the selectors
// read. The widgets and the media layer implement these; tests script them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/logic/user_prompt.h"

namespace vexa {

class TSoundRangeSelector;
class TMovieRangeSelector;

// The format of a sound file as a decoder for it reports it.
struct TSoundFileInfo {
  bool Opened = false;  // a decoder exists for the file and knows its format
  uint32_t SampleRate = 0;
  int64_t TotalSamples = 0;
  std::string Error;  // why it did not open (the decoder's own message), when it says
};

// What a movie reader reports after opening a file.
struct TMovieFileInfo {
  bool Opened = false;
  double FrameRate = 0;
  int64_t FirstFrame = 0;
  int64_t LastFrame = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// The sound selector's decoder and audio output.
class TSoundPlayback {
 public:
  virtual ~TSoundPlayback() = default;
  // Makes the decoder of the file (no looping) and gives it to the output as its input.
  virtual TSoundFileInfo Open(const std::string& file) = 0;
  // The decoder's range (both ends included), then the output starts.
  virtual void Play(int64_t first, int64_t last) = 0;
  // Stops the output and waits until it has stopped.
  virtual void Stop() = 0;
  // Frees the decoder.
  virtual void Close() = 0;
};

// The movie selector's reader and the picture it reads frames into.
class TMovieFrames {
 public:
  virtual ~TMovieFrames() = default;
  virtual TMovieFileInfo Open(const std::string& file) = 0;
  // Reads frame n into the picture the window shows; false when it cannot.
  virtual bool ShowFrame(uint32_t n) = 0;
  virtual void Close() = 0;
};

class TMediaAccess {
 public:
  virtual ~TMediaAccess() = default;
  virtual bool FileExists(const std::string& path) const = 0;
  // The format a decoder made for the file reports; the decoder is freed at once.
  virtual TSoundFileInfo ProbeSound(const std::string& path) = 0;
  virtual std::unique_ptr<TSoundPlayback> NewSoundPlayback() = 0;
  virtual std::unique_ptr<TMovieFrames> NewMovieFrames() = 0;
};

class TDialogUi : public TUserPrompt {
 public:
  // Shows the selector's window modally, already shown (its FormShow done), and forwards the
  // user's actions to it until the user closes it; the window's close calls CloseQuery.
  virtual void RunSoundSelector(TSoundRangeSelector& selector) = 0;
  virtual void RunMovieSelector(TMovieRangeSelector& selector) = 0;
};

}  // namespace vexa
