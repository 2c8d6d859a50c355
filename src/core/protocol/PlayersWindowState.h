#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/AskedWindowState.h"
#include "core/protocol/RequestTarget.h"

namespace vantrix {

// The players window's data: the lines shown (one per player, in reply order) and the
// address of the last request, kept for "Refresh". Also the request and reply formats.
class PlayersWindowState : public AskedWindowState {
 public:
  // FF FF FF FF "players", 11 bytes, no terminating zero.
  static std::string_view Request();

  // The lines of one 'D' reply: "[" + frag + "] - " + name per player record (index byte,
  // zero-ended name, 32-bit score, 32-bit time; the frag is the score's lowest byte).
  // Any other datagram gives nothing; decoding stops at the end of the data and a record
  // cut short gives no line.
  static std::vector<std::string> Decode(std::string_view datagram);

  // "[" + frag in decimal + "] - " + name, the name's bytes unchanged.
  static std::string Line(std::uint8_t frag, std::string_view name);

  // Clears the lines and remembers the address, then gives where to send Request():
  // nullopt when the address has no ":". A port text that is not a whole number (or no
  // port at all) throws ConversionError; the lines stay cleared and the address remembered.
  std::optional<RequestTarget> RequestPlayers(std::string_view address);

  // Decodes a datagram from any sender and appends its lines; returns the lines added.
  std::vector<std::string> Receive(std::string_view datagram);

  // The current protocol: see AskedWindowState; every RequestPlayers starts a new exchange.
  PlayersWindowState() : AskedWindowState(ExchangeKind::kPlayers) {}

  const std::string& CurrentAddress() const { return m_currentAddress; }

 protected:
  std::vector<std::string> CurrentLines(std::string_view reply) const override { return Decode(reply); }

 private:
  std::string m_currentAddress;
};

}  // namespace vantrix
