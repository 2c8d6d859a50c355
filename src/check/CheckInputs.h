#pragma once

#include <string>
#include <vector>

#include "check/CheckItem.h"
#include "check/CheckOptions.h"

namespace vantrix {

// The servers named by the inputs, in order, and the inputs that could not be read.
struct GatheredInputs {
  std::vector<CheckItem> items;
  std::vector<std::string> errors;
};

// Reads the list files, the arguments and standard input (read once, however often "-"
// is given) into items; nothing here stops at a bad input.
GatheredInputs GatherInputs(const CheckOptions& options);

}  // namespace vantrix
