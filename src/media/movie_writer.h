// TMovieWriter: one finished movie file, MP4, Matroska or QuickTime, with the pictures through a
// codec of the codec table and, when asked, the sound as AAC.
//
// Like the AVI writer it writes under a temporary name next to the target and moves the file
// over the target only once it is complete: a failed or abandoned render never touches an
// existing file. MP4 and QuickTime files get their index at the front, so that they start
// playing while they load; every YUV stream carries its matrix and range.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "bitmap/bitmap.h"
#include "media/temp_file_watch.h"
#include "media/video_codecs.h"

namespace vexa {

enum class TMovieContainer { Mp4, Matroska, QuickTime };

// The container an output name asks for by its extension (".mp4", ".mkv", ".mov" in any letter
// case); none for any other name.
std::optional<TMovieContainer> MovieContainerOf(const std::string& fileName);
std::string_view MovieContainerName(TMovieContainer container);
// Whether the container can hold the codec's stream.
bool MovieContainerTakes(TMovieContainer container, const TVideoCodec& codec);

// Sound streams: 44.1 kHz 16-bit stereo in, AAC out at this rate.
inline constexpr int32_t kMovieSoundRate = 44100;
inline constexpr int32_t kMovieSoundBitRate = 192000;

struct TMovieWriteSettings {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Rate = 30;          // frames per second
  std::string Codec;          // a name of the codec table; empty: DefaultCompressedCodec
  int32_t Quality = kDefaultQuality;  // 0 ... 10000, see MovieQualityMapping
  int32_t KeyFrameEvery = 0;  // 0: the encoder's own choice
  std::string Title;          // UTF-8
  bool Sound = false;         // an AAC stream fed by WriteSound
};

// How Quality steers each codec in these containers (constant quality, no data rate cap), for
// --help and --list-codecs.
std::string_view MovieQualityMapping(const TVideoCodec& codec);

// Besides 0 and the codes of avi_writer.h: the container cannot hold the codec.
inline constexpr int32_t kMovieCodecNotInContainer = 5;
inline constexpr int32_t kMovieUnknownContainer = 6;

class TMovieWriter {
 public:
  TMovieWriter();
  ~TMovieWriter();  // Abandon
  TMovieWriter(const TMovieWriter&) = delete;
  TMovieWriter& operator=(const TMovieWriter&) = delete;

  // Told about the temporary file (borrowed; may be nullptr). Set before Open.
  TTempFileWatch* TempFiles = nullptr;

  // 0, or an error code; after a failure nothing is left on disk.
  int32_t Open(const std::string& fileName, const TMovieWriteSettings& settings);
  // Appends one frame: a 24-bit bitmap of the stream's size. 0 or an error code.
  int32_t WriteFrame(const TABitmap& bitmap);
  // Appends sound: frames of interleaved 16-bit stereo at 44.1 kHz. 0 or an error code.
  int32_t WriteSound(const int16_t* samples, size_t frames);
  // Finishes the file and moves it over the target. 0, or the first error (the target is then
  // untouched and the temporary file gone). A second call does nothing and returns 0.
  int32_t Close();
  // Drops the file being written without touching the target.
  void Abandon();

  bool Opened() const { return state_ != nullptr; }
  const TVideoCodec* Codec() const { return codec_; }
  uint32_t FramesWritten() const { return frames_; }
  uint64_t SoundFramesWritten() const { return soundFrames_; }

 private:
  struct TState;
  std::unique_ptr<TState> state_;
  const TVideoCodec* codec_ = nullptr;
  uint32_t frames_ = 0;
  uint64_t soundFrames_ = 0;
};

// A readable text for an error code of TMovieWriter.
std::string MovieErrorText(int32_t code);

}  // namespace vexa
