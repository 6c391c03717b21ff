// Case-insensitive name comparison for INI section and key names, independent of the locale.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Simple (one-to-one) Unicode case fold of a UTF-8 string over ASCII, Latin-1 Supplement,
// Latin Extended-A, Greek, Cyrillic (with its supplement) and the full-width Latin letters.
// Other code points and bytes that are not valid UTF-8 are kept as they are.
std::string FoldCase(std::string_view text);

// The fold of one code point (the code point itself when it has none in the ranges above).
char32_t FoldCodePoint(char32_t c);

// True when the two names are equal after FoldCase.
bool EqualFolded(std::string_view a, std::string_view b);

}  // namespace vexa
