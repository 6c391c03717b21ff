#pragma once

#include <memory>
#include <string>

#include "render/movie_reader.h"
#include "render/render_pass.h"

namespace vexa {

// A movie reader on the media subsystem's TAVIReader, opened on the file. Null when the file
// cannot be opened.
std::unique_ptr<TMovieReader> OpenMovieReader(const std::string& fileName, TABitmap* target);

// Movie source (kind 2): plays the movie linearly from StartFrame to EndFrame across the
// event's span, one step per project frame, decoding only when the frame number changes.
TSourceResult RunMovieSource(TSourcePass& p);

}  // namespace vexa
