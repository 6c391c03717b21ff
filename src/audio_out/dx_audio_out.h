// The sound output: plays a PCM input on the machine's sound device (whatever the system offers:
// PipeWire, PulseAudio or ALSA) between Run and Stop.
//
// Three threads meet here. The caller's thread runs Run and Stop. A feeder thread of the output
// pulls blocks from the input (the only thread that touches the input, its file and its lock
// between Run and the end) and puts them into a ring of about a fifth of a second. The device
// takes its samples from that ring in a callback that never waits: no lock, no file.
//
// Without any sound device the output still "plays": a pacer thread takes the samples at the
// device's rate, so the frames played, the end notice and every clock built on them go on as
// with a device, only silent. OnNotice says so, once per output.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace vexa {

class TAuInput;

// Misuse of the output: Run without an input, Run while it still plays, Run from OnInputEnd.
class EAudioOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TDXAudioOut {
 public:
  TDXAudioOut();
  ~TDXAudioOut();  // stops, closes the device
  TDXAudioOut(const TDXAudioOut&) = delete;
  TDXAudioOut& operator=(const TDXAudioOut&) = delete;

  // Borrowed. Read from its StartSample to its EndSample (Loop as it is set) once per Run; it
  // must not be changed or freed between Run and Stop (or the end notice).
  TAuInput* Input = nullptr;

  // Called when the device has played the last frame of the input (not after Stop), on the
  // feeder thread: a user interface must post it to its own thread and return at once. It may
  // not call Run or Stop itself.
  std::function<void()> OnInputEnd;
  // A message for the user, on the thread that called Run: no sound device could be opened,
  // or the input's format cannot be played, and the output goes on silently.
  std::function<void(const std::string&)> OnNotice;

  // Starts playing the input from its StartSample; returns at once. EAudioOutError when there is
  // no input or the output is still busy with an earlier Run.
  void Run();
  // Stops playing and returns once the device takes nothing more from this output and the feeder
  // has let go of the input (flushed). Harmless when idle.
  void Stop();

  // Between Run and Stop, until the whole input was played.
  bool Busy() const;
  // The whole input was played since the last Run.
  bool Finished() const;
  // Frames of the input that the listener has heard since the last Run: the frames the device
  // took, less what it still holds, advanced smoothly between its callbacks. Never decreases
  // within one Run.
  int64_t FramesPlayed() const;
  // Sample rate of the current (or last) Run's input.
  uint32_t SampleRate() const;
  // Playing without a sound device (or without a playable format).
  bool Silent() const;

  struct TImpl;

 private:
  std::unique_ptr<TImpl> impl_;
};

}  // namespace vexa
