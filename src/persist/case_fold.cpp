#include "persist/case_fold.h"

#include <cstdint>

#include "persist/utf8.h"

namespace vexa {

namespace {

// Pairs where the upper-case letter has the even code point and the lower-case one follows.
bool InEvenPairRange(char32_t c) {
  return (c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177) ||
         (c >= 0x0370 && c <= 0x0373) || c == 0x0376 || (c >= 0x03D8 && c <= 0x03EF) ||
         (c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) || (c >= 0x04D0 && c <= 0x052F);
}

// Pairs where the upper-case letter has the odd code point.
bool InOddPairRange(char32_t c) {
  return (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E) || (c >= 0x04C1 && c <= 0x04CE);
}

}  // namespace

char32_t FoldCodePoint(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
  // Latin-1 Supplement and Latin Extended-A.
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return c + 0x20;
  if (c == 0x00B5) return 0x03BC;  // micro sign folds to Greek mu
  if (c == 0x0178) return 0x00FF;
  if (c == 0x017F) return 's';
  if (InEvenPairRange(c)) return c | 1;
  if (InOddPairRange(c)) return (c & 1) ? c + 1 : c;
  // Greek.
  if ((c >= 0x0391 && c <= 0x03A1) || (c >= 0x03A3 && c <= 0x03AB)) return c + 0x20;
  switch (c) {
    case 0x0345:
      return 0x03B9;
    case 0x037F:
      return 0x03F3;
    case 0x0386:
      return 0x03AC;
    case 0x0388:
    case 0x0389:
    case 0x038A:
      return c + 0x25;
    case 0x038C:
      return 0x03CC;
    case 0x038E:
    case 0x038F:
      return c + 0x3F;
    case 0x03C2:
      return 0x03C3;
    case 0x03CF:
      return 0x03D7;
    case 0x03D0:
      return 0x03B2;
    case 0x03D1:
      return 0x03B8;
    case 0x03D5:
      return 0x03C6;
    case 0x03D6:
      return 0x03C0;
    case 0x03F0:
      return 0x03BA;
    case 0x03F1:
      return 0x03C1;
    case 0x03F4:
      return 0x03B8;
    case 0x03F5:
      return 0x03B5;
    case 0x03F7:
      return 0x03F8;
    case 0x03F9:
      return 0x03F2;
    case 0x03FA:
      return 0x03FB;
    case 0x03FD:
    case 0x03FE:
    case 0x03FF:
      return c - 0x82;
    default:
      break;
  }
  // Cyrillic.
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c == 0x04C0) return 0x04CF;
  // Full-width Latin capitals.
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

std::string FoldCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) {
      out += (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 0x20) : static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      out += text[i];  // not UTF-8: the byte stands for itself
      ++i;
      continue;
    }
    const char32_t folded = FoldCodePoint(cp);
    if (folded == cp) {
      out.append(text.substr(i, len));
    } else {
      AppendUtf8(out, folded);
    }
    i += len;
  }
  return out;
}

bool EqualFolded(std::string_view a, std::string_view b) {
  if (a == b) return true;
  return FoldCase(a) == FoldCase(b);
}

}  // namespace vexa
