// The ring between the feeder and the device: bytes come out in the order they went in, across
// the wrap and across threads, and neither side ever takes more than there is (a writer that
// overran the reader would corrupt the pattern).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio_out/sample_ring.h"

namespace vexa {
namespace {

uint8_t PatternByte(size_t i) {
  return static_cast<uint8_t>(i * 31 + i / 251);
}

TEST(SampleRing, ConcurrentWriterAndReaderPassEveryByteOnce) {
  constexpr size_t kTotal = 1 << 20;
  TSampleRing ring;
  ring.Reset(4093);  // not a divisor of the block sizes: the wrap falls anywhere
  std::thread writer([&] {
    std::vector<uint8_t> block(1000);
    for (size_t sent = 0; sent < kTotal;) {
      const size_t n = std::min(block.size(), kTotal - sent);
      for (size_t i = 0; i < n; ++i)
        block[i] = PatternByte(sent + i);
      size_t done = 0;
      while (done < n) {
        done += ring.Write(block.data() + done, n - done);
        if (done < n) std::this_thread::yield();
      }
      sent += n;
    }
  });
  std::vector<uint8_t> block(777);
  size_t got = 0, wrong = 0;
  while (got < kTotal) {
    const size_t n = ring.Read(block.data(), block.size());
    for (size_t i = 0; i < n; ++i)
      wrong += block[i] != PatternByte(got + i);
    got += n;
    if (n == 0) std::this_thread::yield();
  }
  writer.join();
  EXPECT_EQ(got, kTotal);
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(ring.Available(), 0u);
}

}  // namespace
}  // namespace vexa
