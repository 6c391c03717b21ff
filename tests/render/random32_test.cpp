#include "render/random32.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

// Known answers published for SFMT-216091.
TEST(Sfmt, KnownAnswers) {
  TSfmt a(1234);
  const uint32_t want[] = {1905350899u, 752275649u,  2172726721u, 1382267163u,
                           3279518050u, 3268632728u, 3717363760u, 4072571273u};
  for (uint32_t w : want)
    EXPECT_EQ(a.Next(), w);
  TSfmt b(4321);
  for (uint32_t w : {1860997060u, 2057860174u, 1573288569u, 452972129u})
    EXPECT_EQ(b.Next(), w);
  TSfmt c(1234);
  uint32_t v = 0;
  for (int i = 0; i < 20000; ++i)
    v = c.Next();  // crosses a state refill
  EXPECT_EQ(v, 4138519603u);
}

TEST(Random32, ThirtyTwoGeneratorsKnownAnswers) {
  const uint32_t want[] = {469265202u,  4082866742u, 1623380113u, 3425765701u,
                           2625241461u, 3991134558u, 3072246479u, 504564571u};
  TRandomSource src(1234);
  for (uint32_t w : want)
    EXPECT_EQ(src.Next(), w);
  SeedRandom32(1234);
  for (uint32_t w : want)
    EXPECT_EQ(Random32(), w);
  SeedRandom32(1234);  // seeding again repeats the draws
  EXPECT_EQ(Random32(), want[0]);
}

}  // namespace
}  // namespace vexa
