#pragma once

namespace vantrix {

// Texts the program shows in more than one place.
inline constexpr const char* kProgramTitle = "Vantrix 1.19";
inline constexpr const char* kLoadedText = "Vantrix 1.19 loaded";
inline constexpr const char* kIdleText = "Idle...";

}  // namespace vantrix
