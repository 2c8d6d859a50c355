#pragma once

#include "core/util/Version.h"

namespace vantrix {

// Texts the program shows in more than one place.
inline constexpr const char* kProgramTitle = "Vantrix " VANTRIX_VERSION;
inline constexpr const char* kLoadedText = "Vantrix " VANTRIX_VERSION " loaded";
inline constexpr const char* kIdleText = "Idle...";

}  // namespace vantrix
