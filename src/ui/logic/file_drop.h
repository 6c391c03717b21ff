// Files dropped from the file manager onto the main window: what each file is, by its
// extension, and how long a source event for it lasts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

class TMediaAccess;

enum class TDroppedFile : uint8_t {
  Picture,           // ".bmp", ".gif", ".jpg", ".jpeg", ".png"
  Movie,             // ".avi"
  Sound,             // ".wav", ".mp3", ".wma", ".ogg", ".tta", ".flac", ".ape"
  Project,           // ".vxpj"
  GraphicLayerFile,  // ".vxgl"
  SoundLayerFile,    // ".vxsl"
  Other,
};

// By the extension, letter case aside.
TDroppedFile DroppedFileKind(std::string_view path);

// A dropped picture lasts this long (milliseconds); so does a movie or sound whose length
// cannot be read.
inline constexpr uint32_t kDroppedPictureLength = 5000;

// The length of a movie (its frames at its rate) or a sound (its samples at its rate) in
// milliseconds, rounded; kDroppedPictureLength for pictures and unreadable files.
uint32_t DroppedFileLength(TMediaAccess& media, const std::string& path, TDroppedFile kind);

namespace drop_text {
inline constexpr std::string_view kStepName = "ファイルの追加";
inline constexpr std::string_view kNotAdded = "次のファイルは追加できません：";
}  // namespace drop_text

}  // namespace vexa
