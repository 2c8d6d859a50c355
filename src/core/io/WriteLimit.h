#pragma once

#include <cstddef>
#include <limits>

namespace vantrix {

// How many bytes a writer accepts before it fails as a full disk would; tests lower it.
struct WriteLimit {
  size_t bytes = std::numeric_limits<size_t>::max();
};

}  // namespace vantrix
