// The shared random source: 32 SFMT generators (Mersenne exponent 216091). Generator 0 picks,
// by the low 5 bits of its next output, which generator gives the number.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vexa {

// One SIMD-oriented Fast Mersenne Twister, exponent 216091, 32-bit outputs.
class TSfmt {
 public:
  static constexpr int kN = 216091 / 128 + 1;  // 128-bit blocks of state
  static constexpr int kN32 = kN * 4;

  explicit TSfmt(uint32_t seed = 0) { Seed(seed); }
  // The standard init_gen_rand seeding with period certification.
  void Seed(uint32_t seed);
  uint32_t Next();

 private:
  void Refill();
  void CertifyPeriod();
  std::vector<uint32_t> state_ = std::vector<uint32_t>(kN32);
  int index_ = kN32;
};

class TRandomSource {
 public:
  static constexpr int kGenerators = 32;
  explicit TRandomSource(uint32_t seed) { Seed(seed); }
  // Generator 0 from seed, generators 1..31 in turn from the next outputs of generator 0.
  void Seed(uint32_t seed);
  uint32_t Next();

 private:
  std::vector<TSfmt> gens_ = std::vector<TSfmt>(kGenerators);
};

// Next number of the process-wide source. The source is seeded on first use from the
// system's millisecond tick count; not thread-safe (one global state, no lock).
uint32_t Random32();
// Seeds the process-wide source again (tests use a fixed seed for repeatable draws).
void SeedRandom32(uint32_t seed);

}  // namespace vexa
