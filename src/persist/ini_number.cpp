#include "persist/ini_number.h"

namespace vexa {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The two's-complement bit pattern of the number, `bits` wide (32 or 64), or nothing.
std::optional<uint64_t> ParseBits(std::string_view s, int bits) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ')
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;

  const uint64_t unsignedMax = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
  const uint64_t signedMax = unsignedMax >> 1;
  const uint64_t limit = hex ? unsignedMax : (negative ? signedMax + 1 : signedMax);
  const uint64_t base = hex ? 16 : 10;
  uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return std::nullopt;
    if (value > (limit - static_cast<uint64_t>(d)) / base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(d);
  }
  if (negative) value = (~value + 1) & unsignedMax;
  return value;
}

}  // namespace

std::optional<int64_t> ParseIniInt64(std::string_view text) {
  const auto bits = ParseBits(text, 64);
  if (!bits) return std::nullopt;
  return static_cast<int64_t>(*bits);
}

std::optional<int32_t> ParseIniInt32(std::string_view text) {
  const auto bits = ParseBits(text, 32);
  if (!bits) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(*bits));
}

}  // namespace vexa
