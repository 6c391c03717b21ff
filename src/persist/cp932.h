// Text encoding at the file boundary: files are code page 932, the program works in UTF-8.
//
// Text that code page 932 cannot hold exactly (emoji, letters outside it, file names that are
// not valid UTF-8) is written as UTF-8 behind a byte-order mark instead, so that nothing is lost.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Strict conversions; false (and `out` unspecified) when some input cannot be converted.
bool Cp932ToUtf8(std::string_view bytes, std::string& out);
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// Code page 932 to UTF-8 that never fails: bytes that are not code page 932 become U+FFFD.
std::string Cp932ToUtf8Lenient(std::string_view bytes);

// The bytes of a file for a UTF-8 text: code page 932 when the text reads back unchanged from
// it; otherwise the UTF-8 byte-order mark followed by the text as it is.
std::string EncodeFileText(std::string_view utf8);

// The UTF-8 text of a file's bytes: after a UTF-8 byte-order mark the bytes as they are; else
// code page 932 when they are strictly that (outside its user-defined area); else valid UTF-8
// as it is; else code page 932, leniently.
std::string DecodeFileText(std::string_view bytes);

}  // namespace vexa
