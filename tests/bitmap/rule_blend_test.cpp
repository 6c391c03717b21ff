// RuleBlend against its per-pixel formula and the transition examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bitmap/rule_blend.h"

namespace vexa {
namespace {

TABitmap RandomPicture(int32_t w, int32_t h, uint32_t seed) {
  TABitmap b;
  b.SetSize(w, h);
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, static_cast<uint32_t>(rng()));
  return b;
}

uint32_t Reference(uint32_t n, uint32_t o, uint32_t c, int width, int power) {
  const uint32_t l = 1u << width, m = uint32_t(power) * (l + 256) >> 8;
  if (c > m) return o;
  const uint32_t d = m - c;
  if (d > l) return n;
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) {
    const uint32_t nb = (n >> (8 * k)) & 0xFF, ob = (o >> (8 * k)) & 0xFF;
    out |= ((nb * d + ob * (l - d)) >> width) << (8 * k);
  }
  return out;
}

TEST(RuleBlend, MatchesReferenceForEveryWidth) {
  const TABitmap fresh = RandomPicture(19, 7, 1), rule = RandomPicture(19, 7, 3);
  for (int width = 1; width <= 8; ++width) {
    for (int power : {0, 1, 60, 128, 200, 255}) {
      TABitmap old = RandomPicture(19, 7, 2);
      TABitmap before;
      before.Assign(old);
      RuleBlend(fresh, old, rule, width, power);
      for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 19; ++x)
          ASSERT_EQ(old.Pixel(x, y),
                    Reference(fresh.Pixel(x, y), before.Pixel(x, y), rule.Pixel(x, y) & 0xFF, width, power))
              << "width " << width << " power " << power << " at " << x << "," << y;
    }
  }
}

TEST(RuleBlend, HalfWayWithTheWidestBandMixesByRuleLevel) {
  // Power 128, l = 256: m = 256 and every pixel is (New * (256 - c) + Old * c) >> 8.
  TABitmap fresh, old, rule;
  fresh.SetSize(256, 1);
  fresh.Fill(0x10F0A060);
  old.SetSize(256, 1);
  old.Fill(0xF0104080);
  rule.SetSize(256, 1);
  for (int32_t x = 0; x < 256; ++x)
    rule.SetPixel(x, 0, uint32_t(x));
  RuleBlend(fresh, old, rule, 8, 128);
  for (uint32_t c = 0; c < 256; ++c) {
    uint32_t expected = 0;
    for (int k = 0; k < 4; ++k)
      expected |= (((0x10F0A060u >> (8 * k)) & 0xFF) * (256 - c) + ((0xF0104080u >> (8 * k)) & 0xFF) * c) >>
                  8 << (8 * k);
    ASSERT_EQ(old.Pixel(int32_t(c), 0), expected) << c;
  }
}

TEST(RuleBlend, PowerZeroKeepsOldAndFullPowerGivesNew) {
  const TABitmap fresh = RandomPicture(9, 9, 4), rule = RandomPicture(9, 9, 5);
  TABitmap old = RandomPicture(9, 9, 6), before;
  before.Assign(old);
  RuleBlend(fresh, old, rule, 8, 0);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 9; ++x)
      ASSERT_EQ(old.Pixel(x, y), before.Pixel(x, y));
  // With a narrow band, power 255 takes every pixel past its band.
  RuleBlend(fresh, old, rule, 1, 255);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 9; ++x)
      ASSERT_EQ(old.Pixel(x, y), fresh.Pixel(x, y));
}

TEST(RuleBlend, BlackRuleCrossFadesUniformly) {
  TABitmap fresh, old, rule;
  fresh.SetSize(4, 3);
  fresh.Fill(0x00FFFFFF);
  old.SetSize(4, 3);
  old.Fill(0x00000000);
  rule.SetSize(4, 3);
  rule.Fill(0);
  RuleBlend(fresh, old, rule, 8, 64);  // m = 128: half way
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(old.Pixel(x, y), 0x007F7F7Fu);
}

TEST(RuleBlend, SizesAreClippedAndEmptyInputsIgnored) {
  const TABitmap fresh = RandomPicture(10, 6, 7), rule = RandomPicture(4, 6, 8);
  TABitmap old = RandomPicture(6, 3, 9), before;
  before.Assign(old);
  RuleBlend(fresh, old, rule, 3, 255);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 6; ++x)
      ASSERT_EQ(old.Pixel(x, y),
                x < 4 ? Reference(fresh.Pixel(x, y), before.Pixel(x, y), rule.Pixel(x, y) & 0xFF, 3, 255)
                      : before.Pixel(x, y));
  TABitmap empty;
  RuleBlend(empty, old, rule, 3, 255);
  RuleBlend(fresh, empty, rule, 3, 255);
  EXPECT_EQ(empty.Width(), 0);
  // Out-of-range width and power are clamped instead of shifting by absurd amounts.
  TABitmap a = RandomPicture(5, 5, 10), b;
  b.Assign(a);
  RuleBlend(fresh, a, rule, 20, 999);
  RuleBlend(fresh, b, rule, 8, 255);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x)
      ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y));
}

}  // namespace
}  // namespace vexa
