// Datagrams at the players and rules windows in the current protocol, from the server asked
// and from a stranger. The input is a sequence of frames: a control byte (bit 0: from a
// stranger; bit 1: a new request first), then a 2-byte little-endian length and the datagram.
// Invariants: a stranger never changes anything; each request is sent again at most
// kMaxChallengeRounds times; lines come at most once per request and only from a whole reply;
// the split parts held stay within the assembler's caps.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/PlayersWindowState.h"
#include "core/protocol/RulesCollector.h"

namespace {

using namespace vantrix;

constexpr std::string_view kAsked = "10.0.0.5:27015";
constexpr std::string_view kStranger = "10.0.0.9:27015";
constexpr std::size_t kHeldCap =
    SplitReplyAssembler::kMaxPendingReplies * SplitReplyAssembler::kMaxReplyBytes;

template <typename Window>
struct Exchange {
  Window window;
  int resent = 0;

  void Request() {
    window.SetAsked("");
    if constexpr (requires { window.RequestPlayers(kAsked); })
      window.RequestPlayers(kAsked);
    else
      window.RequestRules(kAsked);
    window.SetAsked(std::string(kAsked));
    resent = 0;
  }

  void Take(std::string_view datagram, bool stranger) {
    const std::size_t linesBefore = window.Lines().size();
    const bool finishedBefore = window.Exchange().Finished();
    const std::string requestBefore = window.CurrentRequest();
    const auto step = window.ReceiveCurrent(datagram, stranger ? kStranger : kAsked);
    if (stranger) {
      VANTRIX_FUZZ_CHECK(step.added.empty() && !step.sendAgain);
      VANTRIX_FUZZ_CHECK(window.CurrentRequest() == requestBefore);
    }
    if (step.sendAgain) {
      ++resent;
      VANTRIX_FUZZ_CHECK(*step.sendAgain == window.CurrentRequest());
      VANTRIX_FUZZ_CHECK(step.added.empty());
    }
    VANTRIX_FUZZ_CHECK(resent <= Window::kMaxChallengeRounds);
    VANTRIX_FUZZ_CHECK(window.Lines().size() == linesBefore + step.added.size());
    if (finishedBefore) VANTRIX_FUZZ_CHECK(step.added.empty() && !step.sendAgain);
    if (!step.added.empty()) VANTRIX_FUZZ_CHECK(window.Exchange().Finished() && linesBefore == 0);
    VANTRIX_FUZZ_CHECK(window.Exchange().PendingBytes() <= kHeldCap);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  Exchange<PlayersWindowState> players;
  Exchange<RulesCollector> rules;
  players.Request();
  rules.Request();
  for (int frames = 0; !input.AtEnd() && frames < 256; ++frames) {
    const std::uint8_t control = input.Byte();
    const std::string_view datagram = input.Frame();
    if (control & 2) {
      players.Request();
      rules.Request();
      VANTRIX_FUZZ_CHECK(players.window.Lines().empty() && rules.window.Lines().empty());
    }
    players.Take(datagram, (control & 1) != 0);
    rules.Take(datagram, (control & 1) != 0);
  }
  return 0;
}
