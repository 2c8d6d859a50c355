// Replies from the master server, one after another, into one import.
// The input is a sequence of steps, each a control byte and a framed datagram:
//   control & 0x80: the clock moves (control & 0x7F) * 64 ms and the import is polled;
//   otherwise:      the datagram arrives, (control & 0x7F) ms after the last step.
// Invariants: a page decodes to whole 6-byte entries of the datagram, in order, stopping at
// the end marker; the import keeps each address once, never more than its limit, never an
// address no server can have; it sends no more requests than polls allowed, and it always
// ends: once finished it sends nothing more and its addresses stay as they were.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"
#include "core/master/MasterSession.h"

namespace {

using namespace vantrix;

constexpr std::size_t kLimit = 300;

void CheckPage(std::string_view datagram) {
  const MasterPage page = DecodeMasterPage(datagram);
  if (!datagram.starts_with(kMasterPageHeader)) {
    VANTRIX_FUZZ_CHECK(page.error == MasterPage::Error::kWrongHeader && page.addresses.empty());
    return;
  }
  const std::string_view body = datagram.substr(kMasterPageHeader.size());
  VANTRIX_FUZZ_CHECK((page.error == MasterPage::Error::kOddLength) == (body.size() % kMasterEntrySize != 0));
  // A reference reading, entry by entry.
  std::size_t next = 0;
  std::size_t skipped = 0;
  bool ended = false;
  for (std::size_t at = 0; at + kMasterEntrySize <= body.size(); at += kMasterEntrySize) {
    const std::string entry(body.substr(at, kMasterEntrySize));
    if (entry == std::string(kMasterEntrySize, '\0')) {
      ended = true;
      break;
    }
    auto byte = [&entry](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<std::uint8_t>(entry[i]));
    };
    const MasterAddress address{byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3),
                                static_cast<std::uint16_t>(byte(4) << 8 | byte(5))};
    if (address.ip == 0 || address.ip == 0xFFFFFFFFu || address.port == 0) {
      ++skipped;
      continue;
    }
    VANTRIX_FUZZ_CHECK(next < page.addresses.size());
    VANTRIX_FUZZ_CHECK(page.addresses[next] == address);
    VANTRIX_FUZZ_CHECK(EncodeMasterPage({address}, false) == std::string(kMasterPageHeader) + entry);
    ++next;
  }
  VANTRIX_FUZZ_CHECK(next == page.addresses.size());
  VANTRIX_FUZZ_CHECK(skipped == page.skipped);
  VANTRIX_FUZZ_CHECK(ended == page.ended);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  MasterPacing pacing;
  pacing.burstRequests = 2;
  MasterSession session(kRegionEverywhere, "\\appid\\10", kLimit, pacing);
  std::uint32_t now = 0xFFFF0000u;  // the tick counter wraps during long inputs
  std::size_t polls = 0;
  std::vector<MasterAddress> finalAddresses;
  bool finishedBefore = false;
  if (session.Poll(now)) ++polls;
  while (!input.AtEnd()) {
    const std::uint8_t control = input.Byte();
    const std::string_view datagram = input.Frame();
    CheckPage(datagram);
    const std::size_t before = session.Addresses().size();
    if (control & 0x80) {
      now += static_cast<std::uint32_t>(control & 0x7F) * 64;
      const auto wait = session.WaitMs(now);
      VANTRIX_FUZZ_CHECK(wait.has_value() != session.Finished());
      if (session.Poll(now)) {
        VANTRIX_FUZZ_CHECK(!finishedBefore);
        ++polls;
      }
    } else {
      now += control;
      const std::size_t added = session.OnDatagram(datagram, now);
      VANTRIX_FUZZ_CHECK(session.Addresses().size() == before + added);
    }
    VANTRIX_FUZZ_CHECK(session.RequestsSent() == polls);
    VANTRIX_FUZZ_CHECK(session.Addresses().size() <= kLimit);
    if (finishedBefore) VANTRIX_FUZZ_CHECK(session.Addresses() == finalAddresses);
    if (session.Finished() && !finishedBefore) {
      finishedBefore = true;
      finalAddresses = session.Addresses();
    }
  }
  std::unordered_set<std::uint64_t> seen;
  for (const MasterAddress& address : session.Addresses()) {
    VANTRIX_FUZZ_CHECK(seen.insert(address.Key()).second);
    VANTRIX_FUZZ_CHECK(address.ip != 0 && address.ip != 0xFFFFFFFFu && address.port != 0);
  }
  const std::string status = session.StatusText();
  VANTRIX_FUZZ_CHECK(session.Finished() ? (status == "Idle..." || status.starts_with("Error: "))
                                        : status.starts_with("Master server: "));
  return 0;
}
