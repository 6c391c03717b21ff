// vexa-render's values for --frames and --still.
#include <gtest/gtest.h>

#include "render_options.h"

namespace vexa::app {
namespace {

TEST(RenderOptions, FrameRangesTakeEitherSideAndRefuseTheRest) {
  TFrameRange r;
  ASSERT_TRUE(ParseFrameRange("10-19", r));
  EXPECT_EQ(r.First, 10u);
  EXPECT_EQ(r.Last, 19u);
  ASSERT_TRUE(ParseFrameRange("150-", r));
  EXPECT_EQ(r.First, 150u);
  EXPECT_FALSE(r.Last);
  ASSERT_TRUE(ParseFrameRange("-7", r));
  EXPECT_EQ(r.First, 0u);
  EXPECT_EQ(r.Last, 7u);
  ASSERT_TRUE(ParseFrameRange("3-3", r));
  for (const char* bad : {"", "-", "5", "5-2", "a-b", "1-2-3", "-1-", " 1-2", "4294967296-"})
    EXPECT_FALSE(ParseFrameRange(bad, r)) << bad;
}

TEST(RenderOptions, TimesInSecondsOrClockForm) {
  uint64_t ms = 0;
  struct TCase {
    const char* Text;
    uint64_t Ms;
  };
  for (const TCase& c : {TCase{"12", 12000}, TCase{"12.5", 12500}, TCase{"0.042", 42}, TCase{"1:02.5", 62500},
                         TCase{"0:01:02.500", 62500}, TCase{"1:00:00", 3600000}, TCase{"90", 90000}}) {
    ASSERT_TRUE(ParseTimeText(c.Text, ms)) << c.Text;
    EXPECT_EQ(ms, c.Ms) << c.Text;
  }
  for (const char* bad : {"", "1.", ".5", "1.2345", "1:60", "1:2:3:4", "-1", "1,5", "0:61:00"})
    EXPECT_FALSE(ParseTimeText(bad, ms)) << bad;
}

}  // namespace
}  // namespace vexa::app
