// Sounds of the demo project, synthesised here so that the repository holds no recordings.
#pragma once

#include <string>

namespace vexa::example {

// Each returns a whole RIFF WAVE file (44.1 kHz, 16-bit, stereo).
std::string ToneWav(double hz, double seconds);  // a plain tone with a soft attack and release
std::string ChordWav(double seconds);            // C major, E minor, F major, G major, a bar each
std::string DrumWav(double bpm, int bars);       // kick, snare and hi-hat in 4/4

}  // namespace vexa::example
