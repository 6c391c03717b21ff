#include "ui/logic/file_media_access.h"

#include <filesystem>
#include <system_error>

#include "media/audio_open.h"
#include "media/avi_reader.h"
#include "ui/logic/range_selectors.h"

namespace vexa {
namespace {

// The decoder of a file and the format it reports; no decoder when none reads the file.
TSoundFileInfo OpenSound(const std::string& file, std::unique_ptr<TAuDecoder>& decoder) {
  TSoundFileInfo info;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::path(file), ec)) return info;  // missing
  try {
    decoder = OpenDecoder(file);
  } catch (const EAuException& e) {
    info.Error = e.what();  // the codec library of the format is missing
    return info;
  } catch (const std::exception&) {
    decoder.reset();
  }
  if (!decoder || !decoder->Error().empty()) {
    // No decoder for the extension, or one that cannot read the file.
    info.Error = file + std::string(kReadFailedSuffix);
    if (decoder && !decoder->Error().empty()) info.Error += "\n" + decoder->Error();
    decoder.reset();
    return info;
  }
  info.Opened = true;
  info.SampleRate = decoder->SampleRate();
  info.TotalSamples = decoder->TotalSamples();
  return info;
}

}  // namespace

TDecoderPlayback::TDecoderPlayback() = default;
TDecoderPlayback::~TDecoderPlayback() = default;

TSoundFileInfo TDecoderPlayback::Open(const std::string& file) {
  decoder_.reset();
  TSoundFileInfo info = OpenSound(file, decoder_);
  if (decoder_) decoder_->Loop = false;
  return info;
}

void TDecoderPlayback::Play(int64_t first, int64_t last) {
  if (!decoder_) return;
  decoder_->StartSample = first;
  decoder_->EndSample = last;
  StartOutput(*decoder_);
}

void TDecoderPlayback::Close() {
  decoder_.reset();
}

TReaderMovieFrames::TReaderMovieFrames() : reader_(std::make_unique<TAVIReader>(&picture_)) {}
TReaderMovieFrames::~TReaderMovieFrames() = default;

TMovieFileInfo TReaderMovieFrames::Open(const std::string& file) {
  TMovieFileInfo info;
  reader_->Close();
  if (reader_->Open(file) != 0) return info;
  info.Opened = true;
  info.FrameRate = reader_->FrameRate();
  info.FirstFrame = reader_->FirstFrame();
  info.LastFrame = reader_->LastFrame();
  info.Width = reader_->Width();
  info.Height = reader_->Height();
  return info;
}

bool TReaderMovieFrames::ShowFrame(uint32_t n) {
  return reader_->ReadFrame(n);
}

void TReaderMovieFrames::Close() {
  reader_->Close();
}

TFileMediaAccess::TFileMediaAccess(std::function<std::unique_ptr<TSoundPlayback>()> newPlayback)
    : newPlayback_(std::move(newPlayback)) {}

bool TFileMediaAccess::FileExists(const std::string& path) const {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

TSoundFileInfo TFileMediaAccess::ProbeSound(const std::string& path) {
  std::unique_ptr<TAuDecoder> decoder;
  return OpenSound(path, decoder);  // freed at once
}

std::unique_ptr<TMovieFrames> TFileMediaAccess::NewMovieFrames() {
  return std::make_unique<TReaderMovieFrames>();
}

}  // namespace vexa
