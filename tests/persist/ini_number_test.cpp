#include "persist/ini_number.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(IniNumber, SignsPrefixesAndSpaces) {
  EXPECT_EQ(ParseIniInt32("42"), 42);
  EXPECT_EQ(ParseIniInt32("+42"), 42);
  EXPECT_EQ(ParseIniInt32("-42"), -42);
  EXPECT_EQ(ParseIniInt32("   7"), 7);
  EXPECT_EQ(ParseIniInt32("$1f"), 31);
  EXPECT_EQ(ParseIniInt32("$1F"), 31);
  EXPECT_EQ(ParseIniInt32("x1F"), 31);
  EXPECT_EQ(ParseIniInt32("X1f"), 31);
  EXPECT_EQ(ParseIniInt32("0x1F"), 31);
  EXPECT_EQ(ParseIniInt32("0X1F"), 31);
  EXPECT_EQ(ParseIniInt32("-$10"), -16);
  EXPECT_EQ(ParseIniInt32("0"), 0);
  EXPECT_EQ(ParseIniInt32("007"), 7);
}

TEST(IniNumber, RejectsAnythingAroundTheDigits) {
  for (const char* bad : {"", " ", "-", "+", "$", "0x", "x", "7 ", "7\t", "\t7", "1.5", "1e3", "12a", "$1G",
                          "--1", "+-1", "- 1", "0x-1", "$ 1"}) {
    EXPECT_FALSE(ParseIniInt32(bad).has_value()) << '"' << bad << '"';
    EXPECT_FALSE(ParseIniInt64(bad).has_value()) << '"' << bad << '"';
  }
}

TEST(IniNumber, DecimalMustFitTheSignedRange) {
  EXPECT_EQ(ParseIniInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInt32("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseIniInt32("2147483648").has_value());
  EXPECT_FALSE(ParseIniInt32("-2147483649").has_value());
  EXPECT_FALSE(ParseIniInt32("4294967295").has_value());

  EXPECT_EQ(ParseIniInt64("4294967295"), 4294967295LL);
  EXPECT_EQ(ParseIniInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseIniInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(ParseIniInt64("9223372036854775808").has_value());
  EXPECT_FALSE(ParseIniInt64("99999999999999999999").has_value());
}

TEST(IniNumber, HexUsesTheFullUnsignedWidth) {
  EXPECT_EQ(ParseIniInt32("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInt32("$80000000"), INT32_MIN);
  EXPECT_EQ(ParseIniInt32("$000000001"), 1);  // leading zeros do not count against the width
  EXPECT_FALSE(ParseIniInt32("$100000000").has_value());

  EXPECT_EQ(ParseIniInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInt64("0x7FFFFFFFFFFFFFFF"), INT64_MAX);
  EXPECT_EQ(ParseIniInt64("$FFFFFFFF"), 4294967295LL);
  EXPECT_FALSE(ParseIniInt64("$10000000000000000").has_value());
}

}  // namespace
}  // namespace vexa
