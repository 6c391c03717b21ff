#include "audio_out/dx_audio_out.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_out/sample_ring.h"
#include "media/audio_input.h"

namespace vexa {
namespace {

// About a fortieth of a second per device callback: short enough that the played position
// moves in small steps, long enough for a busy machine.
constexpr int kChunkDivisor = 40;
// The ring holds about a fifth of a second: a stop or seek throws away at most that much.
constexpr int kRingDivisor = 5;
constexpr uint32_t kMaxRate = 1u << 22;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// SDL's audio subsystem is one per process; starting and ending it must not overlap.
std::mutex& SdlLock() {
  static std::mutex lock;
  return lock;
}

// How the input's PCM goes to the device.
struct TPlayFormat {
  bool Playable = false;
  SDL_AudioFormat Format = AUDIO_S16LSB;
  uint32_t Rate = 44100;
  uint32_t Channels = 2;
  uint32_t InFrameBytes = 0;   // as the input delivers it
  uint32_t OutFrameBytes = 4;  // as the device takes it
  bool Widen24 = false;        // 24-bit samples go out as 32-bit ones
  uint8_t Silence = 0;

  bool SameDevice(const TPlayFormat& o) const {
    return Format == o.Format && Rate == o.Rate && Channels == o.Channels;
  }
};

TPlayFormat FormatOf(const TAuInput& in) {
  TPlayFormat f;
  const uint32_t bits = in.BitsPerSample(), channels = in.Channels(), rate = in.SampleRate();
  f.Rate = rate >= 1 && rate <= kMaxRate ? rate : 44100;
  f.Channels = channels >= 1 && channels <= 8 ? channels : 2;
  f.InFrameBytes = bits / 8 * channels;
  switch (bits) {
    case 8:
      f.Format = AUDIO_U8;
      f.Silence = 0x80;
      break;
    case 16:
      f.Format = AUDIO_S16LSB;
      break;
    case 24:
      f.Format = AUDIO_S32LSB;
      f.Widen24 = true;
      break;
    case 32:
      f.Format = AUDIO_S32LSB;
      break;
    default:
      return f;
  }
  f.Playable = channels >= 1 && channels <= 8 && rate >= 1 && rate <= kMaxRate;
  if (f.Playable) f.OutFrameBytes = SDL_AUDIO_BITSIZE(f.Format) / 8 * f.Channels;
  return f;
}

void SDLCALL DropLog(void*, int, SDL_LogPriority, const char*) {}

uint32_t ChunkFramesFor(uint32_t rate) {
  uint32_t n = 256;
  while (n < 8192 && n * kChunkDivisor < rate)
    n *= 2;
  return n;
}

}  // namespace

struct TDXAudioOut::TImpl {
  // --- owned by the controlling thread (Run, Stop, the destructor) ---
  bool SdlStarted = false;
  bool NoDevice = false;  // tried once and failed: silent from then on
  bool NoticeGiven = false;
  SDL_AudioDeviceID Device = 0;
  TPlayFormat DeviceFormat;  // of the open device
  std::thread Feeder;
  std::atomic<std::thread::id> FeederId{};  // set by the feeder itself, so that it knows itself
  // The silent "device": started by the feeder, joined by Stop after the feeder.
  std::thread Pacer;
  std::vector<uint8_t> PacerBuffer;

  // --- fixed between Run and Stop ---
  TAuInput* Input = nullptr;
  TPlayFormat Play;
  uint32_t ChunkFrames = 1024;
  bool UseDevice = false;
  std::function<void()> OnEnd;
  TSampleRing Ring;

  // --- shared ---
  std::atomic<bool> StopFlag{false};
  std::atomic<bool> BusyFlag{false};
  std::atomic<bool> FinishedFlag{false};
  std::atomic<bool> SilentFlag{false};
  std::atomic<uint32_t> Rate{44100};
  // Bumped by every device callback and by Stop; the feeder waits on it.
  std::atomic<uint32_t> Tick{0};
  std::atomic<int64_t> Fed{0};  // input frames put into the ring since Run
  // What the device took, published by its callback under a sequence count: frames taken
  // before the last callback, after it, and when it ran; also when the first one ran.
  std::atomic<uint32_t> Seq{0};
  std::atomic<int64_t> Before{0}, After{0}, AtNs{0}, FirstNs{0}, Callbacks{0};
  // The pacer's stop.
  std::mutex PacerLock;
  std::condition_variable PacerWake;
  bool PacerStop = false;

  static void SDLCALL Callback(void* self, Uint8* stream, int len) {
    static_cast<TImpl*>(self)->Consume(stream, static_cast<size_t>(len));
  }

  // The device's side: never waits, never touches the input.
  void Consume(uint8_t* out, size_t bytes) {
    const size_t got = Ring.Read(out, bytes);
    if (got < bytes) std::memset(out + got, Play.Silence, bytes - got);
    const int64_t frames = static_cast<int64_t>(got / Play.OutFrameBytes);
    const int64_t now = NowNs();
    Seq.fetch_add(1);
    const int64_t before = After.load();
    Before.store(before);
    After.store(before + frames);
    AtNs.store(now);
    if (FirstNs.load() == 0) FirstNs.store(now);
    Callbacks.store(Callbacks.load() + 1);
    Seq.fetch_add(1);
    Tick.fetch_add(1);
    Tick.notify_all();
  }

  struct TTaken {
    int64_t Before, After, AtNs, FirstNs, Callbacks;
  };
  TTaken Taken() const {
    for (;;) {
      const uint32_t s1 = Seq.load();
      TTaken t{Before.load(), After.load(), AtNs.load(), FirstNs.load(), Callbacks.load()};
      if ((s1 & 1) == 0 && Seq.load() == s1) return t;
      std::this_thread::yield();
    }
  }

  int64_t Heard() const {
    const TTaken t = Taken();
    const int64_t before = t.Before, after = t.After, at = t.AtNs, first = t.FirstNs;
    if (FinishedFlag.load()) return after;
    if (at == 0) return 0;
    const int64_t now = NowNs();
    const double rate = Rate.load();
    // The last chunk plays from its callback on; nothing is heard faster than real time.
    const auto sinceLast = static_cast<int64_t>(static_cast<double>(now - at) * rate / 1e9);
    const auto sinceFirst = static_cast<int64_t>(static_cast<double>(now - first) * rate / 1e9);
    return std::max<int64_t>(0, std::min({after, before + sinceLast, sinceFirst}));
  }

  void StartConsumer() {
    if (UseDevice) {
      SDL_PauseAudioDevice(Device, 0);
      return;
    }
    {
      std::lock_guard<std::mutex> hold(PacerLock);
      PacerStop = false;
    }
    PacerBuffer.assign(size_t{ChunkFrames} * Play.OutFrameBytes, 0);
    Pacer = std::thread([this] { Pace(); });
  }

  // Without a device: takes one chunk per chunk duration, as a device would.
  void Pace() {
    const auto period = std::chrono::nanoseconds(int64_t{ChunkFrames} * 1000000000 / Play.Rate);
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> hold(PacerLock);
    for (;;) {
      Consume(PacerBuffer.data(), PacerBuffer.size());
      next += period;
      if (PacerWake.wait_until(hold, next, [this] { return PacerStop; })) return;
    }
  }

  void StopConsumer() {
    if (Device != 0) SDL_PauseAudioDevice(Device, 1);  // returns once the callback is not running
    if (Pacer.joinable()) {
      {
        std::lock_guard<std::mutex> hold(PacerLock);
        PacerStop = true;
      }
      PacerWake.notify_all();
      Pacer.join();
    }
  }

  void WaitTick(uint32_t seen) {
    if (!StopFlag.load()) Tick.wait(seen);
  }

  void Feed() {
    FeederId.store(std::this_thread::get_id());
    try {
      FeedAndDrain();
    } catch (...) {
      // Starting the pacer or the end notice failed: the run is over all the same.
      BusyFlag.store(false);
    }
    FeederId.store(std::thread::id());  // ids of ended threads are given out again
  }

  bool OnFeeder() const { return FeederId.load() == std::this_thread::get_id(); }

  void FeedAndDrain() {
    TAuInput& in = *Input;
    const size_t chunkBytes = size_t{ChunkFrames} * Play.OutFrameBytes;
    std::vector<uint8_t> wide;
    bool started = false;
    bool ended = false;
    try {
      in.Init();
      while (!StopFlag.load() && Play.InFrameBytes != 0) {
        const size_t room = Ring.Free();
        if (room >= chunkBytes) {
          size_t bytes = room / Play.OutFrameBytes * Play.InFrameBytes;
          const uint8_t* data = nullptr;
          in.GetData(data, bytes);
          bytes -= bytes % Play.InFrameBytes;
          if (bytes == 0 || data == nullptr) break;
          const size_t frames = bytes / Play.InFrameBytes;
          if (Play.Widen24) {
            wide.resize(bytes / 3 * 4);
            for (size_t i = 0, n = bytes / 3; i < n; ++i) {
              wide[4 * i] = 0;
              std::memcpy(&wide[4 * i + 1], data + 3 * i, 3);
            }
            data = wide.data();
            bytes = wide.size();
          }
          Ring.Write(data, bytes);
          Fed.fetch_add(static_cast<int64_t>(frames));
          continue;
        }
        if (!started) {
          StartConsumer();
          started = true;
        }
        const uint32_t seen = Tick.load();
        if (Ring.Free() < chunkBytes) WaitTick(seen);
      }
      ended = !StopFlag.load();
    } catch (...) {
      ended = !StopFlag.load();  // a failing input ends where it failed
    }
    in.Flush();
    if (!ended) return;
    if (!started) StartConsumer();
    // Everything fed must have been taken, and the chunk holding the last frames played: the
    // callback after the one that took them says so.
    const int64_t fed = Fed.load();
    int64_t target = -1;
    while (!StopFlag.load()) {
      const uint32_t seen = Tick.load();
      const TTaken t = Taken();
      if (target < 0 && t.After >= fed) target = t.Callbacks + 1;
      if (target >= 0 && t.Callbacks >= target) break;
      WaitTick(seen);
    }
    if (StopFlag.load()) return;
    FinishedFlag.store(true);
    BusyFlag.store(false);
    if (UseDevice) SDL_PauseAudioDevice(Device, 1);
    if (OnEnd) OnEnd();
  }

  void JoinFeeder() {
    if (Feeder.joinable()) Feeder.join();
  }

  void Notice(TDXAudioOut& out, const std::string& text) {
    if (NoticeGiven) return;
    NoticeGiven = true;
    if (out.OnNotice) out.OnNotice(text);
  }

  // Opens (or reopens, for another format) the device; false when the output must stay silent.
  bool EnsureDevice(TDXAudioOut& out) {
    if (!Play.Playable) {
      Notice(out, "This sound cannot be played (" + std::to_string(Input->BitsPerSample()) + " bits, " +
                      std::to_string(Input->Channels()) + " channels, " + std::to_string(Input->SampleRate()) +
                      " Hz); it plays silently.");
      return false;
    }
    if (NoDevice) return false;
    if (Device != 0 && DeviceFormat.SameDevice(Play)) return true;
    // SDL keeps its error text per thread; the caller's thread may be one that SDL never
    // sees end (the preview's), so its text is freed here.
    struct TReleaseErrorText {
      ~TReleaseErrorText() { SDL_TLSCleanup(); }
    } releaseErrorText;
    CloseDevice();
    std::string why;
    {
      std::lock_guard<std::mutex> hold(SdlLock());
      if (!SdlStarted) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Vexa Studio");
        // The library prints nothing: what matters reaches the user through OnNotice.
        SDL_LogSetOutputFunction(&DropLog, nullptr);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
          SdlStarted = true;
        else
          why = SDL_GetError();
      }
    }
    if (SdlStarted) {
      SDL_AudioSpec want{}, have{};
      want.freq = static_cast<int>(Play.Rate);
      want.format = Play.Format;
      want.channels = static_cast<Uint8>(Play.Channels);
      want.samples = static_cast<Uint16>(ChunkFramesFor(Play.Rate));
      want.callback = &TImpl::Callback;
      want.userdata = this;
      // No format change allowed: SDL converts to whatever the device wants.
      Device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
      if (Device != 0) {
        DeviceFormat = Play;
        ChunkFrames = have.samples != 0 ? have.samples : want.samples;
        return true;
      }
      why = SDL_GetError();
    }
    NoDevice = true;
    Notice(out, "No sound device could be opened (" + (why.empty() ? std::string("unknown reason") : why) +
                    "); the preview plays without sound.");
    return false;
  }

  void CloseDevice() {
    if (Device != 0) SDL_CloseAudioDevice(Device);
    Device = 0;
  }

  ~TImpl() {
    CloseDevice();
    if (SdlStarted) {
      std::lock_guard<std::mutex> hold(SdlLock());
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      SDL_TLSCleanup();
    }
  }
};

TDXAudioOut::TDXAudioOut() : impl_(std::make_unique<TImpl>()) {}

TDXAudioOut::~TDXAudioOut() {
  Stop();
}

void TDXAudioOut::Run() {
  TImpl& d = *impl_;
  if (Input == nullptr) throw EAudioOutError("The sound output has no input to play.");
  if (d.OnFeeder()) throw EAudioOutError("The sound output cannot be started from its own end notice.");
  if (d.BusyFlag.load()) throw EAudioOutError("The sound output is still playing.");
  d.JoinFeeder();
  d.StopConsumer();

  d.Input = Input;
  d.OnEnd = OnInputEnd;
  d.Play = FormatOf(*Input);
  d.UseDevice = d.EnsureDevice(*this);
  if (!d.UseDevice) d.ChunkFrames = ChunkFramesFor(d.Play.Rate);
  d.SilentFlag.store(!d.UseDevice);
  d.Rate.store(d.Play.Rate);
  const size_t ringFrames = std::max<size_t>(size_t{d.ChunkFrames} * 4, d.Play.Rate / kRingDivisor);
  d.Ring.Reset(ringFrames * d.Play.OutFrameBytes);
  d.Seq.store(0);
  d.Before.store(0);
  d.After.store(0);
  d.AtNs.store(0);
  d.FirstNs.store(0);
  d.Callbacks.store(0);
  d.Fed.store(0);
  d.FinishedFlag.store(false);
  d.StopFlag.store(false);
  d.BusyFlag.store(true);
  try {
    d.Feeder = std::thread([&d] { d.Feed(); });
  } catch (...) {
    d.BusyFlag.store(false);
    throw;
  }
}

void TDXAudioOut::Stop() {
  TImpl& d = *impl_;
  if (d.OnFeeder()) throw EAudioOutError("The sound output cannot be stopped from its own end notice.");
  d.StopFlag.store(true);
  d.Tick.fetch_add(1);
  d.Tick.notify_all();
  d.JoinFeeder();
  d.StopConsumer();
  d.BusyFlag.store(false);
}

bool TDXAudioOut::Busy() const {
  return impl_->BusyFlag.load();
}

bool TDXAudioOut::Finished() const {
  return impl_->FinishedFlag.load();
}

int64_t TDXAudioOut::FramesPlayed() const {
  return impl_->Heard();
}

uint32_t TDXAudioOut::SampleRate() const {
  return impl_->Rate.load();
}

bool TDXAudioOut::Silent() const {
  return impl_->SilentFlag.load();
}

}  // namespace vexa
