#include "render/media_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>

#include "bitmap/text_font.h"
#include "media/audio_open.h"
#include "media/avi_reader.h"
#include "media/avi_writer.h"
#include "render/picture_file.h"

namespace vexa {
namespace {

std::string Extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  return ext.empty() ? "no extension" : ext;
}

// Empty when the file exists, is a regular file and can be opened for reading.
std::string OpenProblem(const std::string& path) {
  if (path.empty()) return "no file named";
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return {};
}

// A decoder's reason usually starts with the file name, which the finding shows already.
std::string WithoutPath(std::string reason, const std::string& path) {
  const std::string prefix = path + ": ";
  if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
  return reason;
}

std::string PictureProblem(const std::string& path) {
  const TPictureDecoder decode = FindPictureDecoder(path);
  if (!decode) return "no reader for pictures of this kind (" + Extension(path) + ")";
  try {
    TABitmap picture;
    decode(path, picture);
  } catch (const std::exception& e) {
    return WithoutPath(e.what(), path);
  }
  return {};
}

std::string MovieProblem(const std::string& path) {
  TABitmap target;
  TAVIReader reader(&target);
  const int32_t result = reader.Open(path);
  if (result == 0) return {};
  return result < 0 ? AviErrorText(result) : "no video stream that can be decoded";
}

std::string SoundProblem(const std::string& path) {
  try {
    std::unique_ptr<TAuDecoder> decoder = OpenDecoder(path);
    if (!decoder) return "no decoder for sound files of this kind (" + Extension(path) + ")";
    return WithoutPath(decoder->Error(), path);
  } catch (const std::exception& e) {
    return e.what();
  }
}

class TChecker {
 public:
  explicit TChecker(TMediaCheckScope scope) : scope_(scope) {}

  void Check(const TFileReference& r) {
    if (!r.Used || !InScope(r)) return;
    // Each file is opened once; every event that names a failing file is listed.
    auto [at, fresh] = known_.try_emplace(Key(r));
    if (fresh) at->second = Problem(r);
    if (!at->second.empty()) found_.push_back({r, at->second, {}});
  }

  void CheckFonts(const TProject& project) {
    if (!scope_.Graphic) return;
    std::map<std::pair<std::string, int32_t>, bool> seen;
    for (int i = 0; i < project.GraphicLayers.Count(); ++i) {
      const TGraphicLayer& layer = *project.GraphicLayers[i];
      for (const TEvent* e : *layer.ListForKind(kind::Text)) {
        const auto* text = EventAs<TGraphicSourceTextEvent>(e);
        if (!text || text->Text.empty()) continue;
        const TFontEx& font = text->Font;
        if (!seen.emplace(std::make_pair(font.Name, font.Style), true).second) continue;
        if (!FindInstalledFont(font.Name, font.Style).Path.empty()) continue;
        TMediaFinding f;
        f.File = {TFileUse::Font, font.Name, true, false, i, layer.Name, e};
        try {
          const TFontFile fallback = FallbackFontFile(font.Style);
          const std::string family = FontFamilyOf(fallback);
          f.Replacement = family.empty() ? fallback.Path : family;
          f.Reason = font.Name.empty() ? "no font named" : "not installed";
        } catch (const std::exception& ex) {
          f.Reason = ex.what();
        }
        found_.push_back(std::move(f));
      }
    }
  }

  std::vector<TMediaFinding> Take() { return std::move(found_); }

 private:
  bool InScope(const TFileReference& r) const {
    switch (r.Use) {
      case TFileUse::Project:
        return false;  // read already
      case TFileUse::SoundLayerFile:
      case TFileUse::Sound:
        return scope_.Sound;
      default:
        return scope_.Graphic;
    }
  }

  // Pictures, masks, rule pictures and textures go through one decoder.
  static std::string Key(const TFileReference& r) {
    const bool picture = r.Use == TFileUse::Picture || r.Use == TFileUse::Mask ||
                         r.Use == TFileUse::RuleImage || r.Use == TFileUse::Texture;
    return std::to_string(picture ? 0 : static_cast<int>(r.Use)) + ':' + r.Path;
  }

  static std::string Problem(const TFileReference& r) {
    if (std::string why = OpenProblem(r.Path); !why.empty()) return why;
    switch (r.Use) {
      case TFileUse::Picture:
      case TFileUse::Mask:
      case TFileUse::RuleImage:
      case TFileUse::Texture:
        return PictureProblem(r.Path);
      case TFileUse::Movie:
        return MovieProblem(r.Path);
      case TFileUse::Sound:
        return SoundProblem(r.Path);
      default:
        return {};
    }
  }

  TMediaCheckScope scope_;
  std::map<std::string, std::string> known_;
  std::vector<TMediaFinding> found_;
};

}  // namespace

std::vector<TMediaFinding> CheckProjectMedia(const TProject& project, TMediaCheckScope scope) {
  TChecker checker(scope);
  for (const TFileReference& r : ProjectFileReferences(project))
    checker.Check(r);
  checker.CheckFonts(project);
  return checker.Take();
}

}  // namespace vexa
