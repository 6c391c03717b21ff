#include "render/random32.h"

#include <time.h>

namespace vexa {
namespace {

constexpr int kPos1 = 627, kSl1 = 11, kSl2 = 3, kSr1 = 10, kSr2 = 1;
constexpr uint32_t kMsk[4] = {0xbff7bff7u, 0xbfffffffu, 0xbffffa7fu, 0xffddfbfbu};
constexpr uint32_t kParity[4] = {0xf8000001u, 0x89e80709u, 0x3bd2b64bu, 0x0c64b1e4u};

struct W128 {
  uint32_t u[4];
};

// 128-bit shifts by whole bytes, the words taken as two little-endian 64-bit halves.
inline W128 ShiftRight128(const uint32_t* in, int bytes) {
  const uint64_t th = (uint64_t{in[3]} << 32) | in[2], tl = (uint64_t{in[1]} << 32) | in[0];
  const uint64_t oh = th >> (bytes * 8);
  const uint64_t ol = (tl >> (bytes * 8)) | (th << (64 - bytes * 8));
  return {{static_cast<uint32_t>(ol), static_cast<uint32_t>(ol >> 32), static_cast<uint32_t>(oh),
           static_cast<uint32_t>(oh >> 32)}};
}
inline W128 ShiftLeft128(const uint32_t* in, int bytes) {
  const uint64_t th = (uint64_t{in[3]} << 32) | in[2], tl = (uint64_t{in[1]} << 32) | in[0];
  const uint64_t oh = (th << (bytes * 8)) | (tl >> (64 - bytes * 8));
  const uint64_t ol = tl << (bytes * 8);
  return {{static_cast<uint32_t>(ol), static_cast<uint32_t>(ol >> 32), static_cast<uint32_t>(oh),
           static_cast<uint32_t>(oh >> 32)}};
}

inline void Recursion(uint32_t* r, const uint32_t* a, const uint32_t* b, const uint32_t* c,
                      const uint32_t* d) {
  const W128 x = ShiftLeft128(a, kSl2), y = ShiftRight128(c, kSr2);
  for (int i = 0; i < 4; ++i)
    r[i] = a[i] ^ x.u[i] ^ ((b[i] >> kSr1) & kMsk[i]) ^ y.u[i] ^ (d[i] << kSl1);
}

uint32_t TickCountMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000 +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000);
}

TRandomSource& Shared() {
  static TRandomSource source(TickCountMs());
  return source;
}

}  // namespace

void TSfmt::Seed(uint32_t seed) {
  state_[0] = seed;
  for (int i = 1; i < kN32; ++i)
    state_[static_cast<size_t>(i)] =
        1812433253u * (state_[static_cast<size_t>(i - 1)] ^ (state_[static_cast<size_t>(i - 1)] >> 30)) +
        static_cast<uint32_t>(i);
  index_ = kN32;
  CertifyPeriod();
}

void TSfmt::CertifyPeriod() {
  uint32_t inner = 0;
  for (int i = 0; i < 4; ++i)
    inner ^= state_[static_cast<size_t>(i)] & kParity[i];
  for (int i = 16; i > 0; i >>= 1)
    inner ^= inner >> i;
  if (inner & 1) return;
  // Flip the lowest parity bit so the state lies on the full period.
  for (int i = 0; i < 4; ++i)
    for (uint32_t work = 1; work != 0; work <<= 1)
      if (work & kParity[i]) {
        state_[static_cast<size_t>(i)] ^= work;
        return;
      }
}

void TSfmt::Refill() {
  uint32_t* s = state_.data();
  const uint32_t* r1 = s + (kN - 2) * 4;
  const uint32_t* r2 = s + (kN - 1) * 4;
  int i = 0;
  for (; i < kN - kPos1; ++i) {
    Recursion(s + i * 4, s + i * 4, s + (i + kPos1) * 4, r1, r2);
    r1 = r2;
    r2 = s + i * 4;
  }
  for (; i < kN; ++i) {
    Recursion(s + i * 4, s + i * 4, s + (i + kPos1 - kN) * 4, r1, r2);
    r1 = r2;
    r2 = s + i * 4;
  }
}

uint32_t TSfmt::Next() {
  if (index_ >= kN32) {
    Refill();
    index_ = 0;
  }
  return state_[static_cast<size_t>(index_++)];
}

void TRandomSource::Seed(uint32_t seed) {
  gens_[0].Seed(seed);
  for (int i = 1; i < kGenerators; ++i)
    gens_[static_cast<size_t>(i)].Seed(gens_[0].Next());
}

uint32_t TRandomSource::Next() {
  const uint32_t k = gens_[0].Next() & 31;
  return gens_[k].Next();
}

uint32_t Random32() {
  return Shared().Next();
}
void SeedRandom32(uint32_t seed) {
  Shared().Seed(seed);
}

}  // namespace vexa
