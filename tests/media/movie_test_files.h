// Test movies whose pictures carry their own number, made with the ffmpeg command.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap/bitmap.h"

namespace vexa::test {

inline constexpr int kMovieWidth = 160;
inline constexpr int kMovieHeight = 120;

// Writes `frames` pictures numbered 0 ... frames - 1 at `rate` (an ffmpeg rate such as
// "30000/1001") and encodes them with the given ffmpeg output options into `path`. The number
// is drawn as 10 bars, white for a one bit, most significant bit left; the bottom 20 rows are
// pure red. Returns false when encoding failed.
bool MakeNumberedMovie(const std::string& path, int frames, const std::string& rate,
                       const std::string& options, int width = kMovieWidth, int height = kMovieHeight);

// The number drawn into a decoded picture, or -1 when the bars are unreadable.
int ReadPictureNumber(const TABitmap& picture);

// A fresh empty folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& tag);

}  // namespace vexa::test
