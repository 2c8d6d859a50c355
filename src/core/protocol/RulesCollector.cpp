#include "core/protocol/RulesCollector.h"

#include <algorithm>

#include "core/protocol/ByteCursor.h"
#include "core/protocol/InfoRequest.h"
#include "core/protocol/RuleList.h"
#include "core/protocol/SplitPartHeader.h"

namespace vantrix {

namespace {

constexpr std::string_view kMarker{"\xFF\xFF\xFF\xFF\x45", 5};
// A continuation drops the old split header, whatever its bytes say.
constexpr std::size_t kOldHeader = 9;
constexpr std::size_t kRuleCountSize = 2;
// Dropped from a buffer that holds no marker: what the marker and count would have taken
// when the continuation's own header is gone already.
constexpr std::size_t kNoMarkerDrop = 6;

// A part number that fits a total of two or more. A one-part "split" is no split at all:
// such a byte is more likely a plain packet number, so the buffer rule takes it.
bool Usable(const SplitPartHeader& header) {
  return header.total >= 2 && header.number < header.total;
}

// The first part of a reply starts with the marker. A byte that reads as part 0 of a
// continuation numbers its packets some other way. (A later part may start with the
// marker's bytes: rule values can hold any byte but zero.)
bool FitsItsData(const SplitPartHeader& header, std::string_view data) {
  return header.number != 0 || data.starts_with(kMarker);
}

// A whole reply: the pairs after its first marker and the count.
std::vector<std::string> DecodeReply(std::string_view reply) {
  const auto marker = reply.find(kMarker);
  if (marker == std::string_view::npos) return {};
  const std::size_t start = std::min(reply.size(), marker + kMarker.size() + kRuleCountSize);
  std::string rules(reply.substr(start));
  return RulesCollector::DecodePairs(rules);
}

}  // namespace

std::string_view RulesCollector::Request() {
  return kOriginalRulesRequest;
}

std::vector<std::string> RulesCollector::DecodePairs(std::string& rules) {
  std::vector<std::string> lines;
  if (rules.find('\0') == std::string::npos) return lines;
  ByteCursor reader(rules);
  // Every pass that goes on consumes the value's zero byte, so size + 1 passes suffice.
  for (std::size_t pass = 0; pass <= rules.size(); ++pass) {
    const auto name = reader.ReadZeroTerminated();
    const auto value = reader.ReadZeroTerminated();
    if (name && !name->empty()) {
      std::string line(*name);
      line += " - ";
      line.append(value.value_or(std::string_view()));
      lines.push_back(std::move(line));
    }
    if (!value) break;
  }
  rules.erase(0, reader.Position());
  return lines;
}

std::optional<RequestTarget> RulesCollector::RequestRules(std::string_view address) {
  Restart();
  m_pending.clear();
  m_decoded.clear();
  return SplitRequestAddress(address);
}

std::vector<std::string> RulesCollector::CurrentLines(std::string_view reply) const {
  std::vector<std::string> lines;
  const auto rules = DecodeRuleList(reply);
  if (!rules) return lines;
  for (const RuleEntry& rule : *rules)
    if (!rule.name.empty()) lines.push_back(rule.name + " - " + rule.value);
  return lines;
}

std::vector<std::string> RulesCollector::Receive(std::string_view datagram) {
  if (const auto split = ReadSplitPartHeader(datagram, SplitLayout::kOld)) {
    const std::string_view data = datagram.substr(split->size);
    if (Usable(*split) && FitsItsData(*split, data))
      return Append(TakeSplitPart(split->id, split->number, split->total, data));
    // The same request's first part may have been taken for a numbered part: it starts the
    // buffer again, so that this part is joined to it.
    AdoptPendingHead(split->id);
  }
  if (datagram.starts_with(kMarker)) return Append(DecodeReply(datagram));
  return Append(TakeIntoBuffer(datagram));
}

std::size_t RulesCollector::PendingBytes() const {
  std::size_t bytes = 0;
  for (const SplitReply& reply : m_pending) bytes += reply.bytes;
  return bytes;
}

std::vector<std::string> RulesCollector::TakeSplitPart(std::uint32_t requestNumber, int part, int total,
                                                       std::string_view data) {
  if (WasDecoded(requestNumber)) return {};
  auto found = std::find_if(m_pending.begin(), m_pending.end(),
                            [&](const SplitReply& r) { return r.requestNumber == requestNumber; });
  if (found != m_pending.end() && found->total != total) {
    // The parts disagree about the total: the earlier ones cannot be trusted.
    m_pending.erase(found);
    found = m_pending.end();
  }
  if (found == m_pending.end()) {
    if (m_pending.size() >= kMaxPendingReplies) m_pending.erase(m_pending.begin());
    SplitReply reply;
    reply.requestNumber = requestNumber;
    reply.total = total;
    reply.parts.resize(static_cast<std::size_t>(total));
    m_pending.push_back(std::move(reply));
    found = m_pending.end() - 1;
  }
  if (found->parts[static_cast<std::size_t>(part)]) return {};  // a duplicate
  if (found->bytes + data.size() > kMaxBuffer) {
    m_pending.erase(found);
    return {};
  }
  // Room for this part: drop the oldest other replies until the collected bytes fit. This
  // reply fits alone (checked above), so the loop ends at the latest when it is the only one.
  std::size_t index = static_cast<std::size_t>(found - m_pending.begin());
  while (PendingBytes() + data.size() > kMaxBuffer && m_pending.size() > 1) {
    const std::size_t victim = index == 0 ? 1 : 0;
    m_pending.erase(m_pending.begin() + static_cast<std::ptrdiff_t>(victim));
    if (victim < index) --index;
  }
  SplitReply& reply = m_pending[index];
  reply.parts[static_cast<std::size_t>(part)] = std::string(data);
  reply.bytes += data.size();
  ++reply.present;
  if (reply.present < reply.total) return {};

  std::string joined;
  joined.reserve(reply.bytes);
  for (const auto& piece : reply.parts) joined += *piece;
  m_pending.erase(m_pending.begin() + static_cast<std::ptrdiff_t>(index));
  RememberDecoded(requestNumber);
  return DecodeReply(joined);
}

std::vector<std::string> RulesCollector::TakeIntoBuffer(std::string_view datagram) {
  if (datagram.find(kMarker) != std::string_view::npos) {
    m_continuations = 0;
    if (datagram.size() > kMaxBuffer) {
      m_buffer.clear();
    } else {
      m_buffer.assign(datagram);
    }
    return {};
  }
  const std::string_view tail =
      datagram.size() > kOldHeader ? datagram.substr(kOldHeader) : std::string_view();
  ++m_continuations;
  if (m_continuations > kMaxContinuations || m_buffer.size() + tail.size() > kMaxBuffer) {
    m_buffer.clear();
    m_continuations = 1;
    if (tail.size() > kMaxBuffer) return {};
  }
  m_buffer.append(tail);
  const auto marker = m_buffer.find(kMarker);
  const std::size_t drop =
      marker == std::string::npos ? kNoMarkerDrop : marker + kMarker.size() + kRuleCountSize;
  m_buffer.erase(0, std::min(drop, m_buffer.size()));
  return DecodePairs(m_buffer);
}

void RulesCollector::AdoptPendingHead(std::uint32_t requestNumber) {
  const auto found = std::find_if(m_pending.begin(), m_pending.end(),
                                  [&](const SplitReply& r) { return r.requestNumber == requestNumber; });
  if (found == m_pending.end() || !found->parts.front()) return;
  m_buffer = std::move(*found->parts.front());
  m_continuations = 0;
  m_pending.erase(found);
}

void RulesCollector::RememberDecoded(std::uint32_t requestNumber) {
  m_decoded.push_back(requestNumber);
  if (m_decoded.size() > kMaxPendingReplies) m_decoded.erase(m_decoded.begin());
}

bool RulesCollector::WasDecoded(std::uint32_t requestNumber) const {
  return std::find(m_decoded.begin(), m_decoded.end(), requestNumber) != m_decoded.end();
}

}  // namespace vantrix
