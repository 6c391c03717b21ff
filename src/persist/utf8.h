// Small UTF-8 helpers shared by the case fold and the file encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// Decodes the sequence at text[pos]; returns its length, 0 when it is not valid UTF-8
// (overlong forms, surrogates and code points above U+10FFFF included).
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& out);

void AppendUtf8(std::string& s, char32_t c);

bool IsValidUtf8(std::string_view text);

}  // namespace vexa
