#pragma once

#include <string>

#include "core/join/JoinCommand.h"
#include "core/protocol/QueryProtocol.h"
#include "core/settings/Colors.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

// The user settings as the configuration dialog holds them: the nine of config.ini's fixed
// lines and the query protocol, which has a line of its own only when it is not the original. The three text
// settings stay the text that was typed or read and are converted only where they are used. A
// default-constructed value holds the defaults.
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
  QueryProtocol queryProtocol = QueryProtocol::kOriginal;
  // The command "Join server" runs; a line of its own only when it is not the default.
  std::string joinCommand{kDefaultJoinCommand};

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace vantrix
