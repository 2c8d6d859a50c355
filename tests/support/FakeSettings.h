#pragma once

#include <cstdint>
#include <string>

#include "core/settings/SettingsReader.h"

namespace vantrix::test {

// Settings as plain values, with the program's defaults; tests change them at will,
// also in the middle of a wait (they are read at the moment of use).
struct FakeSettings final : SettingsReader {
  std::string bufferSize = "8192";
  bool broadcast = false;
  std::string udpDelay = "5";
  bool packetLog = true;
  bool connect = true;
  std::string defaultPort = "27015";
  bool progress = true;
  std::uint32_t listColor = 0x000000;
  std::uint32_t textColor = 0x00FF00;
  QueryProtocol protocol = QueryProtocol::kOriginal;

  std::string BufferSizeText() const override { return bufferSize; }
  bool Broadcast() const override { return broadcast; }
  std::string UdpDelayText() const override { return udpDelay; }
  bool PacketLog() const override { return packetLog; }
  bool Connect() const override { return connect; }
  std::string DefaultPortText() const override { return defaultPort; }
  bool Progress() const override { return progress; }
  std::uint32_t ListColor() const override { return listColor; }
  std::uint32_t TextColor() const override { return textColor; }
  QueryProtocol Protocol() const override { return protocol; }
};

}  // namespace vantrix::test
