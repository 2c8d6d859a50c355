#pragma once

#include <cstdint>
#include <string_view>

namespace vantrix {

// One datagram as the listener hands it over. The views point into the listener's buffer
// and are valid only while the delivery runs.
struct ReceivedDatagram {
  std::string_view data;
  std::string_view senderIp;
  std::uint16_t senderPort = 0;
  std::uint32_t arrivalTick = 0;
};

}  // namespace vantrix
