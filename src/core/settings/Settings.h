#pragma once

#include <string>

#include "core/settings/Colors.h"

namespace vantrix {

// The nine user settings as the configuration dialog holds them. The three text settings
// stay the text that was typed or read and are converted only where they are used.
// A default-constructed value holds the defaults.
struct Settings {
  std::string bufferSize = "8192";
  bool broadcast = false;
  std::string udpDelay = "5";
  bool packetLog = true;
  bool connect = true;
  std::string defaultPort = "27015";
  bool progress = true;
  ColorValue listColor = clWhite;
  ColorValue textColor = clBlack;

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace vantrix
