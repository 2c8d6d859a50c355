#include "core/protocol/SplitReplyAssembler.h"

#include <algorithm>

#include "core/protocol/ByteCursor.h"
#include "core/protocol/Bzip2.h"
#include "core/protocol/Crc32.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

constexpr std::string_view kBzip2Magic{"BZh"};
constexpr std::size_t kCompressedPrefix = 8;  // decompressed size and CRC32

// True when the data begins with the marker, or with as much of it as the data holds
// (a part may be shorter than the marker).
bool BeginsLike(std::string_view data, std::string_view marker) {
  const std::size_t size = std::min(data.size(), marker.size());
  return data.substr(0, size) == marker.substr(0, size);
}

SplitReplyAssembler::Outcome Rejected(std::string problem) {
  return {SplitReplyAssembler::Status::kRejected, {}, std::move(problem)};
}

bool Compressed(std::uint32_t id, SplitLayout layout) {
  return layout != SplitLayout::kOld && (id & SplitReplyAssembler::kCompressedBit) != 0;
}

}  // namespace

bool SplitReplyAssembler::IsSplitPart(std::string_view datagram) noexcept {
  return vantrix::IsSplitPart(datagram);
}

std::optional<bool> SplitReplyAssembler::SizeFieldOf(std::uint16_t appId, std::uint8_t protocol) noexcept {
  // The games whose servers send the newer header without its size, as other query tools
  // list them.
  if (appId == 215 || appId == 17550 || appId == 17700 || (appId == 240 && protocol == 7)) return false;
  return std::nullopt;
}

void SplitReplyAssembler::Expect(char replyType, std::optional<bool> sizeField) {
  m_replyType = replyType;
  m_sizeField = sizeField;
}

bool SplitReplyAssembler::Fits(std::string_view data, bool compressed) const noexcept {
  if (compressed) return BeginsLike(data.substr(std::min(data.size(), kCompressedPrefix)), kBzip2Magic);
  if (BeginsLike(data, kQueryHeader)) return true;
  return m_replyType != 0 && !data.empty() && data.front() == m_replyType;
}

std::optional<SplitLayout> SplitReplyAssembler::LayoutOfFirstPart(std::string_view datagram) const noexcept {
  // Part 0 of the older layout has a part number of 0 in the upper half of byte 8; in the
  // newer ones byte 9 is the part number, 0, which is never the first byte of a reply.
  if (const auto old = ReadSplitPartHeader(datagram, SplitLayout::kOld);
      old && old->number == 0 && old->total >= 1 && datagram.size() > old->size &&
      Fits(datagram.substr(old->size), false))
    return SplitLayout::kOld;
  std::vector<SplitLayout> candidates{SplitLayout::kNew, SplitLayout::kNewNoSize};
  if (m_sizeField) candidates = {*m_sizeField ? SplitLayout::kNew : SplitLayout::kNewNoSize};
  for (const SplitLayout layout : candidates) {
    const auto header = ReadSplitPartHeader(datagram, layout);
    if (!header || header->number != 0 || header->total < 1 || datagram.size() <= header->size) continue;
    if (Fits(datagram.substr(header->size), Compressed(header->id, layout))) return layout;
  }
  return std::nullopt;
}

std::size_t SplitReplyAssembler::PendingBytes() const {
  std::size_t bytes = 0;
  for (const Pending& pending : m_pending) bytes += pending.bytes;
  return bytes;
}

void SplitReplyAssembler::Clear() {
  m_pending.clear();
  // A new exchange may reuse an id (servers that keep one id or count with wrap-around).
  m_finished.fill(std::nullopt);
  m_nextFinished = 0;
}

bool SplitReplyAssembler::WasFinished(std::uint32_t id) const {
  return std::find(m_finished.begin(), m_finished.end(), id) != m_finished.end();
}

SplitReplyAssembler::Pending& SplitReplyAssembler::Find(std::uint32_t id) {
  auto it = std::find_if(m_pending.begin(), m_pending.end(), [id](const Pending& p) { return p.id == id; });
  if (it != m_pending.end()) return *it;
  if (m_pending.size() >= kMaxPendingReplies) m_pending.erase(m_pending.begin());
  m_pending.push_back(Pending{});
  m_pending.back().id = id;
  return m_pending.back();
}

SplitReplyAssembler::Outcome SplitReplyAssembler::Take(std::string_view datagram) {
  const auto header = ReadSplitPartHeader(datagram, SplitLayout::kOld);
  if (!header) return Rejected("not a split reply part");
  const std::uint32_t id = header->id;
  if (WasFinished(id)) return {};
  const std::uint32_t crc = Crc32(datagram);
  if (std::find(m_finishedParts.begin(), m_finishedParts.end(), crc) != m_finishedParts.end()) return {};
  Pending& pending = Find(id);
  // A copy of a datagram already taken counts once, wherever it comes.
  if (std::find(pending.seen.begin(), pending.seen.end(), crc) != pending.seen.end()) return {};

  std::optional<std::string> problem;
  if (pending.layout) {
    problem = AddPart(pending, datagram);
    if (!problem) pending.seen.push_back(crc);
  } else if (const auto layout = LayoutOfFirstPart(datagram); !layout) {
    HoldEarly(pending, datagram, crc);
  } else {
    pending.layout = layout;
    pending.bytes = 0;
    problem = AddPart(pending, datagram);
    // The parts held so far join when they fit; what does not fit was not this reply's.
    std::vector<std::string> early = std::move(pending.early);
    std::vector<std::uint32_t> earlySeen = std::move(pending.seen);
    pending.early.clear();
    pending.seen.assign(1, crc);
    for (std::size_t i = 0; i < early.size() && !problem; ++i)
      if (!AddPart(pending, early[i])) pending.seen.push_back(earlySeen[i]);
  }
  if (problem) return Finish(id, Rejected(std::move(*problem)));
  if (!pending.layout || pending.present < pending.total) return {};
  return Finish(id, Assemble(pending));
}

void SplitReplyAssembler::HoldEarly(Pending& pending, std::string_view datagram, std::uint32_t crc) {
  // Within the caps the oldest held parts give way: a flood ahead of a reply does not end it.
  while (!pending.early.empty() && (pending.early.size() >= static_cast<std::size_t>(kMaxParts) ||
                                    pending.bytes + datagram.size() > kMaxReplyBytes)) {
    pending.bytes -= pending.early.front().size();
    pending.seen.erase(pending.seen.begin());
    pending.early.erase(pending.early.begin());
  }
  if (datagram.size() > kMaxReplyBytes) return;
  pending.bytes += datagram.size();
  pending.early.emplace_back(datagram);
  pending.seen.push_back(crc);
}

// A part that does not fit leaves the reply as it was.
std::optional<std::string> SplitReplyAssembler::AddPart(Pending& pending, std::string_view datagram) {
  const auto header = ReadSplitPartHeader(datagram, *pending.layout);
  if (!header) return "split reply: part cut short";
  if (header->total < 1 || header->number >= header->total) return "split reply: bad part number";
  if (pending.total == 0) {
    pending.total = header->total;
    pending.parts.resize(static_cast<std::size_t>(header->total));
  } else if (pending.total != header->total) {
    return "split reply: parts disagree on their count";
  }
  std::optional<std::string>& slot = pending.parts[static_cast<std::size_t>(header->number)];
  if (slot) return std::nullopt;  // a duplicate
  const std::string_view data = datagram.substr(header->size);
  if (pending.bytes + data.size() > kMaxReplyBytes) return "split reply: too large";
  pending.bytes += data.size();
  slot = std::string(data);
  ++pending.present;
  return std::nullopt;
}

SplitReplyAssembler::Outcome SplitReplyAssembler::Assemble(const Pending& pending) {
  std::string joined;
  joined.reserve(pending.bytes + kQueryHeader.size());
  for (const auto& part : pending.parts) joined += *part;
  if (Compressed(pending.id, *pending.layout)) {
    ByteCursor cursor(joined);
    const auto size = cursor.ReadUInt32LE();
    const auto crc = cursor.ReadUInt32LE();
    if (!size || !crc) return Rejected("split reply: compressed data cut short");
    if (*size > kMaxReplyBytes) return Rejected("split reply: too large");
    auto reply = Bzip2Decompress(cursor.Rest(), *size);
    if (!reply) return Rejected("split reply: damaged compressed data");
    if (Crc32(*reply) != *crc) return Rejected("split reply: CRC mismatch");
    joined = std::move(*reply);
  }
  // Some servers leave the inner header out of the joined data.
  if (!joined.starts_with(kQueryHeader)) joined.insert(0, kQueryHeader);
  return {Status::kComplete, std::move(joined), {}};
}

SplitReplyAssembler::Outcome SplitReplyAssembler::Finish(std::uint32_t id, Outcome outcome) {
  for (const Pending& pending : m_pending) {
    if (pending.id != id) continue;
    m_finishedParts.insert(m_finishedParts.end(), pending.seen.begin(), pending.seen.end());
  }
  if (m_finishedParts.size() > kMaxRememberedParts)
    m_finishedParts.erase(m_finishedParts.begin(),
                          m_finishedParts.end() - static_cast<std::ptrdiff_t>(kMaxRememberedParts));
  std::erase_if(m_pending, [id](const Pending& p) { return p.id == id; });
  m_finished[m_nextFinished] = id;
  m_nextFinished = (m_nextFinished + 1) % m_finished.size();
  return outcome;
}

}  // namespace vantrix
