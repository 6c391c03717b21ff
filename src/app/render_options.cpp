#include "render_options.h"

#include <charconv>
#include <vector>

namespace vexa::app {

namespace {

// "ss" or "ss.mmm" (up to three decimals) in milliseconds.
bool ParseSeconds(std::string_view text, uint64_t maxSeconds, uint64_t& ms) {
  const size_t dot = text.find('.');
  uint64_t whole = 0, frac = 0;
  if (!ParseUnsigned(text.substr(0, dot), maxSeconds, whole)) return false;
  if (dot != std::string_view::npos) {
    std::string_view f = text.substr(dot + 1);
    if (f.empty() || f.size() > 3 || !ParseUnsigned(f, 999, frac)) return false;
    for (size_t k = f.size(); k < 3; ++k)
      frac *= 10;
  }
  ms = whole * 1000 + frac;
  return true;
}

}  // namespace

bool ParseUnsigned(std::string_view text, uint64_t max, uint64_t& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value <= max;
}

bool ParseFrameRange(std::string_view text, TFrameRange& range) {
  const size_t dash = text.find('-');
  if (dash == std::string_view::npos || text.size() < 2) return false;
  const std::string_view a = text.substr(0, dash), b = text.substr(dash + 1);
  uint64_t v = 0;
  TFrameRange r;
  if (!a.empty()) {
    if (!ParseUnsigned(a, UINT32_MAX, v)) return false;
    r.First = static_cast<uint32_t>(v);
  }
  if (!b.empty()) {
    if (!ParseUnsigned(b, UINT32_MAX, v) || v < r.First) return false;
    r.Last = static_cast<uint32_t>(v);
  }
  range = r;
  return true;
}

bool ParseTimeText(std::string_view text, uint64_t& ms) {
  std::vector<std::string_view> parts;
  size_t from = 0;
  for (size_t colon; (colon = text.find(':', from)) != std::string_view::npos; from = colon + 1)
    parts.push_back(text.substr(from, colon - from));
  parts.push_back(text.substr(from));
  if (parts.size() > 3) return false;
  if (parts.size() == 1) return ParseSeconds(parts[0], UINT32_MAX, ms);
  uint64_t total = 0, v = 0;
  for (size_t k = 0; k + 1 < parts.size(); ++k) {
    if (!ParseUnsigned(parts[k], k == 0 ? 1000000 : 59, v)) return false;
    total = total * 60 + v;
  }
  uint64_t secs = 0;
  if (!ParseSeconds(parts.back(), 59, secs)) return false;
  ms = total * 60000 + secs;
  return true;
}

}  // namespace vexa::app
