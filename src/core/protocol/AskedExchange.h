#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/protocol/ChallengeExchange.h"

namespace vantrix {

// The current protocol's exchange of a window that asks one server at a time (players,
// rules). Only the datagrams of the server asked count: a challenge asks for the request
// again, at most kMaxChallengeRounds times, and a split reply is put back together.
class AskedExchange {
 public:
  static constexpr int kMaxChallengeRounds = 2;

  struct Taken {
    std::optional<std::string> reply;      // the whole reply, once
    std::optional<std::string> sendAgain;  // the request to send to the asked server now
  };

  explicit AskedExchange(ExchangeKind kind) : m_kind(kind), m_exchange(kind, kMaxChallengeRounds) {}

  // A new exchange: nobody asked yet, no challenge, no parts.
  void Reset();
  std::string Request() const { return m_exchange.Request(); }
  // Where the request went ("ip:port").
  void SetAsked(std::string address) { m_asked = std::move(address); }
  const std::string& Asked() const { return m_asked; }
  const ChallengeExchange& Exchange() const { return m_exchange; }
  Taken Take(std::string_view datagram, std::string_view sender);

 private:
  ExchangeKind m_kind;
  std::string m_asked;
  ChallengeExchange m_exchange;
};

}  // namespace vantrix
