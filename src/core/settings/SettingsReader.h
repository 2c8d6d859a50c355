#pragma once

#include <cstdint>
#include <string>

#include "core/protocol/QueryProtocol.h"

namespace vantrix {

// Read-only view of the live settings. In the window it is backed by the configuration
// dialog's controls, read at the moment of use; tests back it with plain values.
class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  virtual std::string BufferSizeText() const = 0;
  virtual bool Broadcast() const = 0;
  virtual std::string UdpDelayText() const = 0;
  virtual bool PacketLog() const = 0;
  virtual bool Connect() const = 0;
  virtual std::string DefaultPortText() const = 0;
  virtual bool Progress() const = 0;
  virtual std::uint32_t ListColor() const = 0;  // 32-bit colour value, 00BBGGRR or FF0000nn
  virtual std::uint32_t TextColor() const = 0;
  // The query protocol the window speaks; readers that know no choice speak the original.
  virtual QueryProtocol Protocol() const { return QueryProtocol::kOriginal; }
};

}  // namespace vantrix
