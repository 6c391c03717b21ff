// The render menu's third item: the finished movie file with sound (MP4, Matroska, QuickTime).
#pragma once

#include <string>
#include <string_view>

namespace vexa {

namespace movie_render_text {
inline constexpr std::string_view kMenuCaption = "動画（サウンド付き）";
inline constexpr std::string_view kSaveTitle = "動画のレンダリング";
inline constexpr std::string_view kFilter =
    "MP4ファイル(*.mp4)|*.mp4|Matroskaファイル(*.mkv)|*.mkv|QuickTimeファイル(*.mov)|*.mov";
inline constexpr std::string_view kSettingsTitle = "動画の設定";
}  // namespace movie_render_text

// chosen when it already ends with ".mp4", ".mkv" or ".mov" (letter case aside), otherwise
// chosen followed by ".mp4".
std::string MovieRenderFileName(const std::string& chosen);

// Where a render's save dialog starts: beside the project file, under its name with the
// render's extension; empty for a project never saved.
std::string ProposedRenderFile(const std::string& projectFile, std::string_view extension);

}  // namespace vexa
