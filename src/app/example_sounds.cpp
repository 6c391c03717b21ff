#include "example_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace vexa::example {
namespace {

constexpr int kRate = 44100;
constexpr double kTau = 2 * std::numbers::pi;

void PutLE(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Mono samples in -1..1 become a 16-bit stereo file.
std::string Wav(const std::vector<float>& mono) {
  const auto frames = static_cast<uint32_t>(mono.size());
  const uint32_t data = frames * 4;
  std::string s = "RIFF";
  PutLE(s, 36 + data, 4);
  s += "WAVEfmt ";
  PutLE(s, 16, 4), PutLE(s, 1, 2), PutLE(s, 2, 2), PutLE(s, kRate, 4), PutLE(s, kRate * 4, 4);
  PutLE(s, 4, 2), PutLE(s, 16, 2);
  s += "data";
  PutLE(s, data, 4);
  for (float v : mono) {
    auto q = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32000.0f));
    PutLE(s, static_cast<uint16_t>(q), 2), PutLE(s, static_cast<uint16_t>(q), 2);
  }
  return s;
}

// Linear attack and release so that notes start and end without clicks.
float Envelope(size_t i, size_t n, size_t ramp) {
  float a = i < ramp ? static_cast<float>(i) / ramp : 1.0f;
  float r = i + ramp > n ? static_cast<float>(n - i) / ramp : 1.0f;
  return std::min(a, r);
}

void AddNote(std::vector<float>& out, size_t at, double seconds, std::initializer_list<double> hz,
             float level) {
  const auto n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n && at + i < out.size(); ++i) {
    double t = static_cast<double>(i) / kRate, v = 0;
    for (double f : hz)
      v += std::sin(kTau * f * t) + 0.3 * std::sin(2 * kTau * f * t);
    out[at + i] += level * Envelope(i, n, 2000) * static_cast<float>(v / hz.size());
  }
}

}  // namespace

std::string ToneWav(double hz, double seconds) {
  std::vector<float> s(static_cast<size_t>(seconds * kRate));
  AddNote(s, 0, seconds, {hz}, 0.6f);
  return Wav(s);
}

std::string ChordWav(double seconds) {
  std::vector<float> s(static_cast<size_t>(seconds * kRate));
  const double bar = seconds / 4;
  const std::initializer_list<double> chords[] = {
      {261.63, 329.63, 392.00}, {329.63, 392.00, 493.88}, {349.23, 440.00, 523.25}, {392.00, 493.88, 587.33}};
  for (int c = 0; c < 4; ++c)
    AddNote(s, static_cast<size_t>(c * bar * kRate), bar, chords[c], 0.7f);
  return Wav(s);
}

std::string DrumWav(double bpm, int bars) {
  const double beat = 60.0 / bpm;
  std::vector<float> s(static_cast<size_t>(bars * 4 * beat * kRate));
  uint32_t noise = 22222;  // our own small generator: the demo must come out the same every time
  auto white = [&noise] {
    noise = noise * 1664525u + 1013904223u;
    return static_cast<float>(noise >> 8) / static_cast<float>(1 << 23) - 1.0f;
  };
  for (int b = 0; b < bars * 8; ++b) {  // eighth notes
    const auto at = static_cast<size_t>(b * beat / 2 * kRate);
    const bool kick = b % 8 == 0 || b % 8 == 5, snare = b % 4 == 2;
    for (size_t i = 0; i < static_cast<size_t>(0.25 * kRate) && at + i < s.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      float v = 0;
      if (kick)
        v +=
            0.9f * static_cast<float>(std::exp(-t * 18) * std::sin(kTau * (50 + 90 * std::exp(-t * 30)) * t));
      if (snare) v += 0.5f * static_cast<float>(std::exp(-t * 25)) * white();
      v += 0.15f * static_cast<float>(std::exp(-t * 120)) * white();  // hi-hat on every eighth
      s[at + i] += v;
    }
  }
  return Wav(s);
}

}  // namespace vexa::example
