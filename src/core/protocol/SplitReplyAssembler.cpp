#include "core/protocol/SplitReplyAssembler.h"

#include <algorithm>

#include "core/protocol/ByteCursor.h"
#include "core/protocol/Bzip2.h"
#include "core/protocol/Crc32.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

constexpr std::string_view kSplitHeader{"\xFE\xFF\xFF\xFF", 4};
constexpr std::string_view kBzip2Magic{"BZh"};
constexpr std::size_t kCompressedPrefix = 8;  // decompressed size and CRC32

std::uint32_t IdOf(std::string_view datagram) {
  ByteCursor cursor(datagram.substr(4));
  return *cursor.ReadUInt32LE();
}

std::uint8_t ByteAt(std::string_view datagram, std::size_t offset) {
  return static_cast<std::uint8_t>(datagram[offset]);
}

// True when the data begins with the marker, or with as much of it as the data holds
// (a part may be shorter than the marker).
bool BeginsLike(std::string_view data, std::string_view marker) {
  const std::size_t size = std::min(data.size(), marker.size());
  return data.substr(0, size) == marker.substr(0, size);
}

SplitReplyAssembler::Outcome Rejected(std::string problem) {
  return {SplitReplyAssembler::Status::kRejected, {}, std::move(problem)};
}

}  // namespace

bool SplitReplyAssembler::IsSplitPart(std::string_view datagram) noexcept {
  return datagram.size() >= kOldHeaderSize && datagram.starts_with(kSplitHeader);
}

SplitReplyAssembler::Layout SplitReplyAssembler::LayoutOfFirstPart(std::string_view datagram) noexcept {
  // Part 0's first data byte is FF in the older layout; in the newer one the byte at that
  // offset is the part number, 0 (and never FF, as there are at most 255 parts).
  const std::uint8_t packet = ByteAt(datagram, 8);
  const std::string_view oldData = datagram.substr(kOldHeaderSize);
  if ((packet >> 4) == 0 && (packet & 0x0F) >= 1 && !oldData.empty() && BeginsLike(oldData, kQueryHeader))
    return Layout::kOld;
  if (datagram.size() <= kNewHeaderSize || ByteAt(datagram, 9) != 0 || packet < 1) return Layout::kUnknown;
  const bool compressed = (IdOf(datagram) & kCompressedBit) != 0;
  const std::string_view data = datagram.substr(kNewHeaderSize);
  const bool fits = compressed
                        ? BeginsLike(data.substr(std::min(data.size(), kCompressedPrefix)), kBzip2Magic)
                        : BeginsLike(data, kQueryHeader);
  return fits ? Layout::kNew : Layout::kUnknown;
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
  if (!IsSplitPart(datagram)) return Rejected("not a split reply part");
  const std::uint32_t id = IdOf(datagram);
  if (WasFinished(id)) return {};
  const std::uint32_t crc = Crc32(datagram);
  if (std::find(m_finishedParts.begin(), m_finishedParts.end(), crc) != m_finishedParts.end()) return {};
  Pending& pending = Find(id);
  pending.seen.push_back(crc);

  std::optional<std::string> problem;
  if (pending.layout != Layout::kUnknown) {
    problem = AddPart(pending, datagram);
  } else if (const Layout layout = LayoutOfFirstPart(datagram); layout == Layout::kUnknown) {
    problem = HoldEarly(pending, datagram);
  } else {
    pending.layout = layout;
    pending.bytes = 0;
    problem = AddPart(pending, datagram);
    std::vector<std::string> early = std::move(pending.early);
    pending.early.clear();
    for (const std::string& part : early) {
      if (problem) break;
      problem = AddPart(pending, part);
    }
  }
  if (problem) return Finish(id, Rejected(std::move(*problem)));
  if (pending.layout == Layout::kUnknown || pending.present < pending.total) return {};
  return Finish(id, Assemble(pending));
}

std::optional<std::string> SplitReplyAssembler::HoldEarly(Pending& pending, std::string_view datagram) {
  if (pending.early.size() >= static_cast<std::size_t>(kMaxParts)) return "split reply: too many parts";
  pending.bytes += datagram.size();
  if (pending.bytes > kMaxReplyBytes) return "split reply: too large";
  pending.early.emplace_back(datagram);
  return std::nullopt;
}

std::optional<std::string> SplitReplyAssembler::AddPart(Pending& pending, std::string_view datagram) {
  int total = 0;
  int number = 0;
  std::size_t headerSize = kOldHeaderSize;
  if (pending.layout == Layout::kNew) {
    if (datagram.size() < kNewHeaderSize) return "split reply: part cut short";
    total = ByteAt(datagram, 8);
    number = ByteAt(datagram, 9);
    headerSize = kNewHeaderSize;
  } else {
    total = ByteAt(datagram, 8) & 0x0F;
    number = ByteAt(datagram, 8) >> 4;
  }
  if (total < 1 || number >= total) return "split reply: bad part number";
  if (total > kMaxParts) return "split reply: too many parts";
  if (pending.total == 0) {
    pending.total = total;
    pending.parts.resize(static_cast<std::size_t>(total));
  } else if (pending.total != total) {
    return "split reply: parts disagree on their count";
  }
  std::optional<std::string>& slot = pending.parts[static_cast<std::size_t>(number)];
  if (slot) return std::nullopt;  // a duplicate
  const std::string_view data = datagram.substr(headerSize);
  pending.bytes += data.size();
  if (pending.bytes > kMaxReplyBytes) return "split reply: too large";
  slot = std::string(data);
  ++pending.present;
  return std::nullopt;
}

SplitReplyAssembler::Outcome SplitReplyAssembler::Assemble(const Pending& pending) {
  std::string joined;
  joined.reserve(pending.bytes);
  for (const auto& part : pending.parts) joined += *part;
  const bool compressed = pending.layout == Layout::kNew && (pending.id & kCompressedBit) != 0;
  if (!compressed) return {Status::kComplete, std::move(joined), {}};

  ByteCursor cursor(joined);
  const auto size = cursor.ReadUInt32LE();
  const auto crc = cursor.ReadUInt32LE();
  if (!size || !crc) return Rejected("split reply: compressed data cut short");
  if (*size > kMaxReplyBytes) return Rejected("split reply: too large");
  auto reply = Bzip2Decompress(cursor.Rest(), *size);
  if (!reply) return Rejected("split reply: damaged compressed data");
  if (Crc32(*reply) != *crc) return Rejected("split reply: CRC mismatch");
  return {Status::kComplete, std::move(*reply), {}};
}

SplitReplyAssembler::Outcome SplitReplyAssembler::Finish(std::uint32_t id, Outcome outcome) {
  for (const Pending& pending : m_pending) {
    if (pending.id != id) continue;
    m_finishedParts.insert(m_finishedParts.end(), pending.seen.begin(), pending.seen.end());
  }
  constexpr std::size_t kRemembered = static_cast<std::size_t>(kMaxParts) * kMaxPendingReplies;
  if (m_finishedParts.size() > kRemembered)
    m_finishedParts.erase(m_finishedParts.begin(),
                          m_finishedParts.end() - static_cast<std::ptrdiff_t>(kRemembered));
  std::erase_if(m_pending, [id](const Pending& p) { return p.id == id; });
  m_finished[m_nextFinished] = id;
  m_nextFinished = (m_nextFinished + 1) % m_finished.size();
  return outcome;
}

}  // namespace vantrix
