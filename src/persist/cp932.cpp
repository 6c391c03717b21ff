#include "persist/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "persist/utf8.h"

namespace vexa {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One iconv conversion descriptor, closed on every path.
class TIconv {
 public:
  TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TIconv() {
    if (Ok()) iconv_close(cd_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in` and appends to `out`. With `lenient`, each byte that cannot be converted is
  // replaced by `replacement` and skipped; otherwise the first such byte stops with false.
  bool Convert(std::string_view in, std::string& out, bool lenient, std::string_view replacement) {
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[4096];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      const size_t rc = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (!lenient) return false;
      out.append(replacement);
      if (errno == EINVAL) break;  // truncated sequence at the end
      ++src;                       // EILSEQ: skip the offending byte
      --left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    size_t room = sizeof buf;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<size_t>(dst - buf));
    return true;
  }

 private:
  iconv_t cd_;
};

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  return true;
}

}  // namespace

bool Cp932ToUtf8(std::string_view bytes, std::string& out) {
  out.clear();
  if (IsAscii(bytes)) {
    out.assign(bytes);
    return true;
  }
  TIconv cv("UTF-8", "CP932");
  return cv.Ok() && cv.Convert(bytes, out, false, {});
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
  out.clear();
  if (IsAscii(utf8)) {
    out.assign(utf8);
    return true;
  }
  TIconv cv("CP932", "UTF-8");
  return cv.Ok() && cv.Convert(utf8, out, false, {});
}

std::string Cp932ToUtf8Lenient(std::string_view bytes) {
  std::string out;
  if (IsAscii(bytes)) return std::string(bytes);
  TIconv cv("UTF-8", "CP932");
  if (cv.Ok()) {
    cv.Convert(bytes, out, true, kReplacement);
    return out;
  }
  // Without the converter keep ASCII and mark everything else.
  for (char c : bytes) {
    if (static_cast<uint8_t>(c) < 0x80)
      out += c;
    else
      out.append(kReplacement);
  }
  return out;
}

namespace {

// The user-defined area of code page 932 (lead bytes F0..F9) maps to the private use area.
// No file of ours holds such characters, while UTF-8 text starting with F0 (emoji) would
// decode into them: a private use character means the bytes were not meant as code page 932.
bool HasPrivateUse(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    const size_t n = DecodeUtf8(utf8, i, c);
    if (n == 0) return false;
    if (c >= 0xE000 && c <= 0xF8FF) return true;
    i += n;
  }
  return false;
}

}  // namespace

std::string EncodeFileText(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string bytes;
  // Some characters share one code (WAVE DASH and FULLWIDTH TILDE, YEN SIGN and the backslash):
  // only a text that reads back identical may go out as code page 932.
  if (Utf8ToCp932(utf8, bytes) && DecodeFileText(bytes) == utf8) return bytes;
  std::string out(kUtf8Bom);
  out.append(utf8);
  return out;
}

std::string DecodeFileText(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return std::string(bytes.substr(kUtf8Bom.size()));
  if (IsAscii(bytes)) return std::string(bytes);
  // Files of the format are code page 932, and many such texts (half-width katakana with
  // ASCII) are also valid UTF-8: code page 932 wins whenever the bytes are strictly that.
  std::string out;
  if (Cp932ToUtf8(bytes, out) && !HasPrivateUse(out)) return out;
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp932ToUtf8Lenient(bytes);
}

}  // namespace vexa
