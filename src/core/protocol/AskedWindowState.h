#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/AskedExchange.h"

namespace vantrix {

// What the players and rules windows share: the lines shown, in reply order, and the
// current protocol's exchange with the one server asked. Every request starts a new
// exchange: CurrentRequest() is sent, and SetAsked records where it went ("ip:port"). Only
// that sender's datagrams are taken: a challenge asks for the request again (at most
// kMaxChallengeRounds times), a split reply is put back together (either layout, compressed
// ones unpacked and their CRC checked), and the whole reply gives its lines, once, through
// the same decoder the checker uses. Nothing is shown for a reply that never completes.
class AskedWindowState {
 public:
  static constexpr int kMaxChallengeRounds = AskedExchange::kMaxChallengeRounds;
  virtual ~AskedWindowState() = default;

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

 protected:
  explicit AskedWindowState(ExchangeKind kind) : m_exchange(kind) {}

  // The lines of a whole reply of the current protocol.
  virtual std::vector<std::string> CurrentLines(std::string_view reply) const = 0;

  // A new request: no lines, nobody asked.
  void Restart();
  // Appends the lines and gives them back.
  std::vector<std::string> Append(std::vector<std::string> lines);

 private:
  std::vector<std::string> m_lines;
  AskedExchange m_exchange;
};

}  // namespace vantrix
