// Synchronisation of a movie source and a sound source: both take the same span of the
// timeline and play the same stretch of their files, given in milliseconds.
#pragma once

#include <span>

#include "model/events.h"
#include "ui/logic/user_prompt.h"

namespace vexa {

// "サウンドと同期": the first selected graphic source, which must be a movie, takes the span
// and the play range of the first selected sound event (play range in milliseconds only).
// The sample positions are cut to their low 32 bits. Refreshes the movie's row; true when
// the movie changed.
bool SyncSound(std::span<TEvent* const> selectedSources, std::span<TEvent* const> selectedSounds,
               TEventCommandUi& ui);

// "動画と同期": the first selected sound event takes the span and the play range of the first
// selected graphic source, which must be a movie whose range is in milliseconds. The frame
// values are widened with zero high halves. Refreshes the sound's row; true when it changed.
bool SyncMovie(std::span<TEvent* const> selectedSounds, std::span<TEvent* const> selectedSources,
               TEventCommandUi& ui);

}  // namespace vexa
