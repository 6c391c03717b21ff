// The number notation of INI values.
//
// Leading spaces, an optional "-" or "+", then decimal digits or hexadecimal digits (either case)
// after "$", "x", "X", "0x" or "0X", and nothing after the digits. A hexadecimal number may use the
// full unsigned width of the result; a decimal number must lie in its signed range.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vexa {

std::optional<int64_t> ParseIniInt64(std::string_view text);
std::optional<int32_t> ParseIniInt32(std::string_view text);

}  // namespace vexa
