#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/master/MasterAddress.h"
#include "core/master/MasterPacing.h"

namespace vantrix {

// How an import from the master ended, or that it still runs.
enum class MasterOutcome {
  kRunning,
  kEnded,      // the end marker came
  kLimit,      // the most servers to take have come
  kCancelled,  // the user stopped it
  kTimedOut,   // a page did not come, not even after the retry
  kBadReply,   // a reply that is not a page, or a cut-short one
  kRepeated,   // the seed did not advance, or a page brought nothing new
  kFailed,     // the request could not be sent (the message says why)
};

// The paging of one import from the master server, without sockets or clocks: the owner
// sends what Poll returns, hands over the master's datagrams and calls Poll again after
// WaitMs. Times are 32-bit millisecond ticks. Addresses are kept once each, in the
// master's order.
class MasterSession {
 public:
  MasterSession(std::uint8_t region, std::string filter, std::size_t limit, MasterPacing pacing = {});

  // The request to send now, or nothing (not due yet, or finished). May finish the import
  // when a page's time-out has run out with no retry left.
  std::optional<std::string> Poll(std::uint32_t now);
  // Milliseconds until Poll has something to do; nullopt once finished.
  std::optional<std::uint32_t> WaitMs(std::uint32_t now) const;
  // A datagram from the master; returns how many new addresses it brought.
  std::size_t OnDatagram(std::string_view datagram, std::uint32_t now);

  void Cancel() { Finish(MasterOutcome::kCancelled); }
  // Ends the import with a message of the owner's (a send or resolve error).
  void Fail(std::string message);

  bool Finished() const { return m_outcome != MasterOutcome::kRunning; }
  MasterOutcome Outcome() const { return m_outcome; }
  const std::vector<MasterAddress>& Addresses() const { return m_addresses; }
  std::size_t Pages() const { return m_pages; }
  std::size_t RequestsSent() const { return m_requestsSent; }
  std::size_t Skipped() const { return m_skipped; }

  // "Master server: N servers" while it runs; at the end "Idle..." or the error.
  std::string StatusText() const;

 private:
  std::optional<std::uint32_t> SendAllowedAt() const;
  std::string Request(std::uint32_t now);
  void Finish(MasterOutcome outcome);

  std::uint8_t m_region;
  std::string m_filter;
  std::size_t m_limit;
  MasterPacing m_pacing;

  MasterOutcome m_outcome = MasterOutcome::kRunning;
  std::string m_failure;
  std::string m_seed;
  bool m_awaiting = false;
  int m_attempt = 0;  // 0: the first request for this page
  std::uint32_t m_sentAt = 0;
  std::uint32_t m_lastSendAt = 0;
  std::size_t m_requestsSent = 0;
  std::size_t m_pages = 0;
  std::size_t m_skipped = 0;
  // A page answered after its retry may come twice; the second copy is not a new page.
  std::string m_previousPage;
  bool m_previousRetried = false;
  std::vector<MasterAddress> m_addresses;
  std::unordered_set<std::uint64_t> m_seen;
};

}  // namespace vantrix
