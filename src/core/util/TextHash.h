#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace vantrix {

// The hash of a set or map keyed by std::string that is asked with a string_view (a table
// cell's view, say): with std::equal_to<> beside it, a lookup builds no string.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};

}  // namespace vantrix
