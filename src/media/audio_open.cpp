#include "media/audio_open.h"

#include <algorithm>

#include "media/audio_backends.h"
#include "media/wave_in.h"
#if VEXA_HAVE_FFMPEG
#include "media/audio_ffmpeg_in.h"
#endif
#if VEXA_HAVE_VORBIS
#include "media/audio_vorbis_in.h"
#endif
#if VEXA_HAVE_FLAC
#include "media/audio_flac_in.h"
#endif

namespace vexa {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerExtension(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), Lower);
  return ext;
}

#if !VEXA_HAVE_FFMPEG
// A build without FFmpeg still offers the classes the platform would have provided; they
// report that they cannot decode.
class TUnavailableIn : public TAuDecoder {
 protected:
  bool Probe() override {
    SetError(FileName() + ": this build has no decoder for this format");
    return false;
  }
  bool OpenSource() override { return false; }
  int64_t SeekSource(int64_t) override { return -1; }
  size_t DecodeBlock(const uint8_t*&) override { return 0; }
  void CloseSource() override {}
};
#endif

std::unique_ptr<TAuDecoder> CreateByExtension(const std::string& ext) {
  if (ext == ".wav") return std::make_unique<TWaveIn>();
  if (ext == ".mp3") {
#if VEXA_HAVE_FFMPEG
    return std::make_unique<TMP3In>();
#else
    return std::make_unique<TUnavailableIn>();
#endif
  }
  if (ext == ".ogg") {
#if VEXA_HAVE_VORBIS
    return std::make_unique<TVorbisIn>();
#else
    throw EAuException("ogg.dll library could not be loaded.");
#endif
  }
  if (ext == ".tta") {
#if VEXA_HAVE_FFMPEG
    return std::make_unique<TTTAIn>();
#else
    throw EAuException("TTALib.dll library could not be loaded.");
#endif
  }
  if (ext == ".flac") {
#if VEXA_HAVE_FLAC
    return std::make_unique<TFLACIn>();
#else
    throw EAuException("libFLAC.dll library could not be loaded.");
#endif
  }
  if (ext == ".ape") {
#if VEXA_HAVE_FFMPEG
    return std::make_unique<TMACIn>();
#else
    throw EAuException("MACDll.dll library could not be loaded.");
#endif
  }
  if (ext == ".wma") {
#if VEXA_HAVE_FFMPEG
    return std::make_unique<TWMIn>();
#else
    return std::make_unique<TUnavailableIn>();
#endif
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<TAuDecoder> NewGeneralDecoder() {
#if VEXA_HAVE_FFMPEG
  return std::make_unique<TFFmpegIn>();
#else
  return nullptr;
#endif
}

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

TAuDecoder* TDecoderCache::Find(const std::string& fileName) const {
  for (const auto& [name, decoder] : Items)
    if (SameFileName(name, fileName)) return decoder.get();
  return nullptr;
}

TAuDecoder* TDecoderCache::Add(const std::string& fileName, std::unique_ptr<TAuDecoder> decoder) {
  Items.emplace_back(fileName, std::move(decoder));
  return Items.back().second.get();
}

std::unique_ptr<TAuDecoder> OpenDecoder(const std::string& fileName) {
  std::unique_ptr<TAuDecoder> decoder = CreateByExtension(LowerExtension(fileName));
  if (decoder) decoder->SetFileName(fileName);
  return decoder;
}

TAuDecoder* OpenDecoder(const std::string& fileName, TDecoderCache& cache) {
  if (TAuDecoder* known = cache.Find(fileName)) return known;
  std::unique_ptr<TAuDecoder> decoder = OpenDecoder(fileName);
  if (!decoder) return nullptr;
  return cache.Add(fileName, std::move(decoder));
}

}  // namespace vexa
