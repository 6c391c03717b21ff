// Reads a movie file back for the tests: its streams as libavformat sees them, every stream
// decoded (frames, sound samples, colour tags), the video frames of lossless codecs as
// bottom-up 24-bit rows, and where the index lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

struct TMovieStream {
  std::string Codec;  // decoder name
  bool Video = false;
  int Width = 0, Height = 0;
  int64_t Frames = 0;   // video frames decoded
  int64_t Samples = 0;  // sound frames decoded (AAC: priming removed only where the file says so)
  int SampleRate = 0, Channels = 0;
  double Seconds = 0;   // from the decoded frames: video frames / rate, samples / sample rate
  double End = 0;       // the latest packet end (time stamp + duration) in seconds, as the file says
  int ColorSpace = 0, ColorRange = 0, ColorPrimaries = 0, ColorTransfer = 0;  // AVCOL_* values
  std::vector<bool> KeyFrames;  // one per video packet, in decode order
};

struct TMovieProbe {
  bool Opened = false;
  std::string Format;  // short names of the demuxer, "mov,mp4,..." or "matroska,webm"
  std::vector<TMovieStream> Streams;
  bool IndexBeforeData = false;  // MP4 / QuickTime: the moov box before the mdat box
  std::vector<std::vector<uint8_t>> Pictures;  // video frames, bottom-up BGR rows padded to 4 bytes
};

TMovieProbe ProbeMovie(const std::string& path, bool keepPictures = false);

// Every frame of a PNG file as bottom-up BGR rows padded to 4 bytes (empty on error).
std::vector<uint8_t> DecodePng(const std::string& path, int& width, int& height);

}  // namespace vexa::test
