#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/SplitReplyAssembler.h"

namespace vantrix {

// What one exchange asks a server for, in which protocol. The original requests know no
// challenge; the current ones (kInfo, kPlayers, kRules) may be answered with one.
enum class ExchangeKind { kOriginalInfo, kOriginalPlayers, kOriginalRules, kInfo, kPlayers, kRules };

// One request and its reply with one server in the current protocol: the request bytes,
// the challenge rounds (a server answers 'A' and 4 bytes, which the next request carries)
// and the reassembly of split replies. Both the checker and the window's players, rules
// and info queries go through it. Datagrams are handed over only when they come from the
// server asked; telling senders apart is the caller's job.
class ChallengeExchange {
 public:
  enum class Step {
    kIgnored,            // nothing for this exchange (another reply type, or after the reply)
    kSendAgain,          // a challenge came: send Request() again
    kTooManyChallenges,  // a challenge beyond the rounds allowed: the exchange gives up
    kIncomplete,         // a part of a split reply, held until the others come
    kRejected,           // a split reply that cannot be put together (problem says why)
    kReply,              // the whole reply, in `reply`
  };
  struct Outcome {
    Step step = Step::kIgnored;
    std::string reply;
    std::string problem;
  };

  ChallengeExchange(ExchangeKind kind, int maxChallengeRounds);

  // Starts an exchange of `kind`: the rounds and the parts collected are forgotten; the last
  // challenge is kept, as servers hand out one challenge per client for every request.
  void Start(ExchangeKind kind);
  // Starts over as for another server: the challenge is forgotten too.
  void Reset(ExchangeKind kind);

  // What the info reply told about the server: a few older games send split replies
  // without the split size; later exchanges with it read their parts accordingly.
  void KnowServer(std::uint16_t appId, std::uint8_t protocol);

  // The request to send now: first without a challenge, then with the latest one.
  std::string Request() const;

  Outcome Take(std::string_view datagram);

  ExchangeKind Kind() const { return m_kind; }
  int ChallengeRounds() const { return m_rounds; }
  std::optional<std::uint32_t> Challenge() const { return m_challenge; }
  bool Finished() const { return m_finished; }
  std::size_t PendingBytes() const { return m_split.PendingBytes(); }

 private:
  Outcome TakeWhole(std::string_view reply);
  bool Expects(char type) const;
  bool Original() const;

  ExchangeKind m_kind;
  int m_maxRounds;
  int m_rounds = 0;
  bool m_finished = false;
  std::optional<std::uint32_t> m_challenge;
  std::optional<bool> m_sizeField;
  SplitReplyAssembler m_split;
};

}  // namespace vantrix
