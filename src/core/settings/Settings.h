#pragma once

#include <string>

#include "core/protocol/QueryProtocol.h"
#include "core/settings/Colors.h"

namespace vantrix {

// The user settings as the configuration dialog holds them: the nine of config.ini's fixed
// lines and the query protocol, which has a line of its own only when it is not the original. The three text
// settings stay the text that was typed or read and are converted only where they are used. A
// default-constructed value holds the defaults.
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
  QueryProtocol queryProtocol = QueryProtocol::kOriginal;

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace vantrix
