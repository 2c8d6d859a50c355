#pragma once

#include <cstddef>
#include <string_view>

namespace vantrix {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.

// Length of the UTF-8 sequence that starts at text[i], or 0 when no valid one starts there.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) noexcept;

bool IsValidUtf8(std::string_view text) noexcept;

}  // namespace vantrix
