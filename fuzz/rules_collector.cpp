// A sequence of datagrams at the rules window. Each step starts with a control byte:
//   0x00-0xDF: the framed datagram that follows is received as it is;
//   0xE0-0xEF: the same, made long: its first 9 bytes (a split header, say), then the rest
//              repeated to ((control & 0x0F) + 1) * 4 KiB - 1 bytes, so short inputs reach the caps;
//   0xF0-0xF1: a new rules request is made (no datagram);
//   0xF2-0xFF: after a new request, the framed reply that follows is cut into (control & 0x0F)
//              split parts, sent in an order chosen by the next byte, one part twice.
// Invariants: the bytes held between datagrams never pass their cap; the lines shown grow by
// exactly the lines each datagram gives, and those never hold more bytes than arrived; a
// whole reply, and a split reply however its parts are ordered, give the lines of a
// reference reading of the reply.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/RulesCollector.h"
#include "fake/FakeReplies.h"

namespace {

using namespace vantrix;

constexpr std::string_view kMarker{"\xFF\xFF\xFF\xFF\x45", 5};

// The name and value pairs, each ended by a zero byte, until one is cut short.
std::vector<std::string> ReferencePairs(std::string_view rules) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  // Each pass that goes on moves past at least one byte.
  while (pos <= rules.size()) {
    const std::size_t nameEnd = rules.find('\0', pos);
    if (nameEnd == std::string_view::npos) break;
    const std::string_view name = rules.substr(pos, nameEnd - pos);
    const std::size_t valueEnd = rules.find('\0', nameEnd + 1);
    const std::string_view value = valueEnd == std::string_view::npos
                                       ? std::string_view()
                                       : rules.substr(nameEnd + 1, valueEnd - nameEnd - 1);
    if (!name.empty()) lines.push_back(std::string(name) + " - " + std::string(value));
    if (valueEnd == std::string_view::npos) break;
    pos = valueEnd + 1;
  }
  return lines;
}

// A whole reply: the pairs after its first marker and the 2-byte count.
std::vector<std::string> ReferenceReply(std::string_view reply) {
  const std::size_t marker = reply.find(kMarker);
  if (marker == std::string_view::npos) return {};
  return ReferencePairs(reply.substr(std::min(reply.size(), marker + kMarker.size() + 2)));
}

std::size_t Held(const RulesCollector& collector) {
  return collector.BufferSize() + collector.PendingBytes();
}

std::vector<std::string> Receive(RulesCollector& collector, std::string_view datagram) {
  const std::size_t linesBefore = collector.Lines().size();
  const std::size_t heldBefore = Held(collector);
  std::vector<std::string> added = collector.Receive(datagram);

  VANTRIX_FUZZ_CHECK(collector.BufferSize() <= RulesCollector::kMaxBuffer);
  VANTRIX_FUZZ_CHECK(collector.PendingBytes() <= RulesCollector::kMaxBuffer);
  VANTRIX_FUZZ_CHECK(collector.Lines().size() == linesBefore + added.size());
  VANTRIX_FUZZ_CHECK(std::equal(added.begin(), added.end(), collector.Lines().begin() + linesBefore));
  std::size_t textBytes = 0;
  for (const std::string& line : added) {
    VANTRIX_FUZZ_CHECK(line.size() > 3 && line.find('\0') == std::string::npos);
    VANTRIX_FUZZ_CHECK(line.find(" - ") != std::string::npos);
    textBytes += line.size() - 3;
  }
  VANTRIX_FUZZ_CHECK(textBytes <= heldBefore + datagram.size());
  if (datagram.starts_with(kMarker)) {
    VANTRIX_FUZZ_CHECK(added == ReferenceReply(datagram));
    VANTRIX_FUZZ_CHECK(Held(collector) == heldBefore);
  }
  return added;
}

void Request(RulesCollector& collector) {
  const auto target = collector.RequestRules("10.0.0.5:27015");
  VANTRIX_FUZZ_CHECK(target.has_value());
  VANTRIX_FUZZ_CHECK(collector.Lines().empty());
  VANTRIX_FUZZ_CHECK(collector.PendingBytes() == 0);
}

// The parts of one reply in a shuffled order, the first of them sent twice.
void SendSplit(RulesCollector& collector, int parts, std::uint8_t order, std::string_view frame) {
  // A reply starts with the marker; so does the first part of a split one.
  const std::string reply =
      frame.starts_with(kMarker) ? std::string(frame) : std::string(kMarker) + std::string(frame);
  // Each part at least as long as the marker, as the first one must hold it whole.
  if (reply.size() < static_cast<std::size_t>(parts) * kMarker.size()) return;
  Request(collector);
  const std::uint32_t requestNumber = 0x01000000u + order;
  const std::vector<std::string> datagrams = fake::SplitReply(reply, requestNumber, parts);
  std::vector<std::size_t> sequence(datagrams.size());
  std::iota(sequence.begin(), sequence.end(), std::size_t{0});
  std::rotate(sequence.begin(), sequence.begin() + order % sequence.size(), sequence.end());
  if (order & 0x80) std::reverse(sequence.begin(), sequence.end());
  sequence.insert(sequence.begin() + 1, sequence.front());

  std::vector<std::string> lines;
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    const std::vector<std::string> added = Receive(collector, datagrams[sequence[i]]);
    // Nothing shows before the last missing part is in.
    if (i + 1 < sequence.size()) VANTRIX_FUZZ_CHECK(added.empty());
    lines.insert(lines.end(), added.begin(), added.end());
  }
  VANTRIX_FUZZ_CHECK(lines == ReferenceReply(reply));
  VANTRIX_FUZZ_CHECK(collector.PendingBytes() == 0);
}

std::string Lengthened(std::uint8_t control, std::string_view frame) {
  const std::size_t length = ((control & 0x0Fu) + 1u) * 4096u - 1u;
  std::string datagram(frame.substr(0, 9));
  const std::string_view body = frame.substr(datagram.size());
  if (body.empty()) return datagram;
  // Bounded: each pass adds the whole body.
  while (datagram.size() < length) datagram.append(body);
  datagram.resize(length);
  return datagram;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  RulesCollector collector;
  // Bounded: every step takes at least its control byte.
  while (!input.AtEnd()) {
    const std::uint8_t control = input.Byte();
    if (control < 0xE0) {
      Receive(collector, input.Frame());
    } else if (control < 0xF0) {
      Receive(collector, Lengthened(control, input.Frame()));
    } else if (control < 0xF2) {
      Request(collector);
    } else {
      const std::uint8_t order = input.Byte();
      SendSplit(collector, control & 0x0F, order, input.Frame());
    }
  }
  return 0;
}
