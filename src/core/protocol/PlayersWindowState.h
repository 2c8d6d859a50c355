#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/AskedExchange.h"
#include "core/protocol/RequestTarget.h"

namespace vantrix {

// The players window's data: the lines shown (one per player, in reply order) and the
// address of the last request, kept for "Refresh". Also the request and reply formats.
class PlayersWindowState {
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

  // The current protocol. Every RequestPlayers starts a new exchange: CurrentRequest() is
  // sent, and SetAsked records where it went ("ip:port"). Only that sender's datagrams are
  // taken: a challenge asks for the request again (at most kMaxChallengeRounds times), a
  // split reply is put back together, and the 'D' reply gives the lines as above, once.
  static constexpr int kMaxChallengeRounds = AskedExchange::kMaxChallengeRounds;
  struct CurrentStep {
    std::vector<std::string> added;
    std::optional<std::string> sendAgain;  // the request to send to the asked server now
  };
  std::string CurrentRequest() const { return m_exchange.Request(); }
  void SetAsked(std::string address) { m_exchange.SetAsked(std::move(address)); }
  const std::string& Asked() const { return m_exchange.Asked(); }
  CurrentStep ReceiveCurrent(std::string_view datagram, std::string_view sender);
  const ChallengeExchange& Exchange() const { return m_exchange.Exchange(); }

  const std::vector<std::string>& Lines() const { return m_lines; }
  const std::string& CurrentAddress() const { return m_currentAddress; }

 private:
  std::vector<std::string> m_lines;
  std::string m_currentAddress;
  AskedExchange m_exchange{ExchangeKind::kPlayers};
};

}  // namespace vantrix
