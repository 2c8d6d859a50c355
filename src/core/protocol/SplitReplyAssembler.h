#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/SplitPartHeader.h"

namespace vantrix {

// Puts replies that come in several datagrams back together. Every part starts with
// FE FF FF FF and a 32-bit reply id, then one of the headers of SplitPartHeader: the older
// one (9 bytes, never compressed), or the newer one with or without its 16-bit split size
// (12 or 10 bytes); with the newer headers, when the id's top bit is set the joined data is
// compressed: part 0's data begins with the 32-bit decompressed size and its 32-bit CRC32,
// followed by one bzip2 stream.
// Which header a reply uses shows in its part 0: its data begins with FF FF FF FF, with the
// reply type expected (some servers leave the inner header out), or, compressed, with a
// bzip2 stream after the size and CRC. Whether the newer header carries the size is known
// from the server's app id when Expect was told it, and read from that shape otherwise.
// Parts that come before part 0 are held as they are until then, each distinct datagram
// once; a held part that does not fit the reply once its header is known is dropped, and
// when held parts pass the caps the oldest of them give way, so junk sent ahead of a reply
// cannot spoil it. Parts may come in any order and more than once; a part already held is
// ignored. The joined reply always starts with FF FF FF FF, whether its data held it or not.
// Caps: at most kMaxReplyBytes bytes per reply (also after decompression; the number of parts
// is the announced total, at most 255), at most kMaxPendingReplies replies collected side by
// side (the oldest is dropped for a newer one).
class SplitReplyAssembler {
 public:
  static constexpr int kMaxParts = 255;
  static constexpr std::size_t kMaxReplyBytes = 256 * 1024;
  static constexpr std::size_t kMaxPendingReplies = 4;
  static constexpr std::size_t kNewHeaderSize = 12;
  static constexpr std::size_t kOldHeaderSize = 9;
  static constexpr std::uint32_t kCompressedBit = 0x80000000u;

  enum class Status { kIncomplete, kComplete, kRejected };
  struct Outcome {
    Status status = Status::kIncomplete;
    std::string reply;    // the whole reply when complete
    std::string problem;  // why it was rejected
  };

  // True when the datagram starts with FE FF FF FF and is long enough for a header.
  static bool IsSplitPart(std::string_view datagram) noexcept;

  // Whether the newer header carries the split size, from the server's app id and protocol
  // (servers of a few older games leave it out); nullopt when nothing tells.
  static std::optional<bool> SizeFieldOf(std::uint16_t appId, std::uint8_t protocol) noexcept;

  // What the next replies are: their type letter (0: any) and, when known, whether the
  // newer header carries the split size.
  void Expect(char replyType, std::optional<bool> sizeField);

  // Takes one part. A complete or rejected reply is forgotten, and later parts of it
  // are ignored.
  Outcome Take(std::string_view datagram);

  // Drops everything collected and forgets the ids of the replies finished, for a new
  // exchange that may use the same ids again (servers that keep one id). The parts of the
  // replies finished are still known: a late copy of one is never joined to a new reply.
  void Clear();

  std::size_t PendingReplies() const { return m_pending.size(); }
  std::size_t PendingBytes() const;

 private:
  struct Pending {
    std::uint32_t id = 0;
    std::optional<SplitLayout> layout;
    int total = 0;
    int present = 0;
    std::size_t bytes = 0;
    std::vector<std::string> early;   // parts held until part 0 shows the layout
    std::vector<std::uint32_t> seen;  // CRC32 of every distinct datagram taken for this reply
    std::vector<std::optional<std::string>> parts;
  };

  std::optional<SplitLayout> LayoutOfFirstPart(std::string_view datagram) const noexcept;
  bool Fits(std::string_view data, bool compressed) const noexcept;
  Pending& Find(std::uint32_t id);
  std::optional<std::string> AddPart(Pending& pending, std::string_view datagram);
  void HoldEarly(Pending& pending, std::string_view datagram, std::uint32_t crc);
  Outcome Finish(std::uint32_t id, Outcome outcome);
  static Outcome Assemble(const Pending& pending);
  bool WasFinished(std::uint32_t id) const;

  char m_replyType = 0;
  std::optional<bool> m_sizeField;
  std::vector<Pending> m_pending;  // oldest first
  std::array<std::optional<std::uint32_t>, kMaxPendingReplies> m_finished{};
  std::size_t m_nextFinished = 0;
  // CRC32 of the datagrams of the replies finished last, oldest first, at most
  // kMaxRememberedParts of them.
  static constexpr std::size_t kMaxRememberedParts = 1024;
  std::vector<std::uint32_t> m_finishedParts;
};

}  // namespace vantrix
