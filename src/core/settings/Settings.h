#pragma once

#include <string>

#include "core/settings/Colors.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

// The nine user settings as the configuration dialog holds them. The three text settings
// stay the text that was typed or read and are converted only where they are used.
// A default-constructed value holds the defaults.
struct Settings {
  std::string bufferSize{kDefaultBufferSizeText};
  bool broadcast = false;
  std::string udpDelay = "5";
  bool packetLog = true;
  bool connect = true;
  std::string defaultPort{kDefaultPortText};
  bool progress = true;
  ColorValue listColor = clWhite;
  ColorValue textColor = clBlack;

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace vantrix
