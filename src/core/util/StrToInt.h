#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/util/ConversionError.h"

namespace vantrix {

// A whole number written as an optional sign and decimal digits, nothing else, within
// the 32-bit range. Anything else throws ConversionError("'abc' is not a valid integer value").
std::int32_t StrToInt(std::string_view text);

// The same rule without the error: nullopt for anything that is not such a number.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

}  // namespace vantrix
