// TAVIReader: random access to the frames of the first video stream of a movie file.
//
// Files are recognised by their content: AVI first, but every container and codec that the
// FFmpeg libraries read works (MP4, MOV, MKV, ...). Frame N is exactly the N-th picture in
// display order, for intra and inter-coded streams alike; reading frame N + 1 after frame N
// decodes on without seeking. Frames are delivered as bottom-up BGR pictures into Target: at
// 24 bits into a 24-bit target, with alpha 0 into a 32-bit one. Each reader owns its own
// demuxer and decoder state, so two readers of one file are independent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bitmap/bitmap.h"

namespace vexa {

class TAVIReader {
 public:
  explicit TAVIReader(TABitmap* target = nullptr);
  ~TAVIReader();
  TAVIReader(const TAVIReader&) = delete;
  TAVIReader& operator=(const TAVIReader&) = delete;

  // 0 on success; otherwise a negative FFmpeg error code, or 1 (no target, no video stream,
  // no decoder, no decodable frame, absurd frame size). On success Target is made 24-bit at
  // the movie's frame size.
  int32_t Open(const std::string& fileName);
  // True when frame N was decoded into Target. False before Open, after a failed Open, past
  // LastFrame, into an empty target, or when the file's data for the frame is unreadable.
  bool ReadFrame(uint32_t n);
  // Releases the decoder and the file; 0. A second call does nothing.
  int32_t Close();

  bool Opened() const { return opened_; }
  const std::string& FileName() const { return fileName_; }
  double FrameRate() const { return frameRate_; }
  int32_t FirstFrame() const { return firstFrame_; }
  uint32_t LastFrame() const { return lastFrame_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  TABitmap* Target() const { return target_; }
  void SetTarget(TABitmap* target) { target_ = target; }

  // Counters for tests and benchmarks: seeks done and frames decoded since Open.
  uint64_t SeekCount() const { return seeks_; }
  uint64_t DecodedCount() const { return decoded_; }

 private:
  struct TState;
  int DecodeStep(int64_t n);
  bool Seek(int64_t ts, bool toStart);
  bool Deliver(bool prev);

  std::unique_ptr<TState> state_;
  TABitmap* target_ = nullptr;
  bool opened_ = false;
  std::string fileName_;
  double frameRate_ = 0;
  int32_t firstFrame_ = 0;
  uint32_t lastFrame_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint64_t seeks_ = 0;
  uint64_t decoded_ = 0;
};

}  // namespace vexa
