// How the editor writes times, directions, numbers, colours and file names in its rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// hh:mm:ss.mmm of a millisecond count; the hours grow beyond two digits when needed
// (4294967295 gives 1193:02:47.295).
std::string TimeText(uint32_t ms);

// The name of an anchor code 0..8 ("左上" ... "右下"); any other code gives the empty text.
std::string_view DirectionName(int32_t code);

// Decimal text of a field, as its type has it: signed fields (nearly all parameters) with a
// minus sign when negative, unsigned ones (the movie's frame range) without.
std::string SignedText(int32_t v);
std::string UnsignedText(uint32_t v);

// 6 upper-case hexadecimal digits of a 0x00BBGGRR colour value (blue first).
std::string ColorText(int32_t color);

// The file name without its folder. Both '/' and '\' separate folders, since paths read
// from files made on another system keep their '\'.
std::string_view FileNameWithoutFolder(std::string_view path);

}  // namespace vexa
