// The ring between the feeder and the device: bytes come out in the order they went in, across
// the wrap and across threads, and neither side ever takes more than there is.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio_out/sample_ring.h"

namespace vexa {
namespace {

uint8_t PatternByte(size_t i) {
  return static_cast<uint8_t>(i * 31 + i / 251);
}

TEST(SampleRing, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
  TSampleRing ring;
  ring.Reset(10);
  std::vector<uint8_t> in(7), out(10);
  for (size_t i = 0; i < in.size(); ++i)
    in[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(ring.Write(in.data(), 7), 7u);
  EXPECT_EQ(ring.Free(), 3u);
  EXPECT_EQ(ring.Write(in.data(), 7), 3u);  // only the room there is
  EXPECT_EQ(ring.Read(out.data(), 5), 5u);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(ring.Write(in.data(), 5), 5u);  // wraps
  EXPECT_EQ(ring.Read(out.data(), 10), 10u);
  EXPECT_EQ(out, (std::vector<uint8_t>{6, 7, 1, 2, 3, 1, 2, 3, 4, 5}));
  EXPECT_EQ(ring.Read(out.data(), 10), 0u);
  EXPECT_EQ(ring.Available(), 0u);
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
