#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// Puts replies that come in several datagrams back together. Every part starts with
// FE FF FF FF and a 32-bit reply id, then one of two headers:
//   newer: total byte, number byte, 16-bit split size (12 bytes in all); when the id's top
//          bit is set the joined data is compressed: part 0's data begins with the 32-bit
//          decompressed size and its 32-bit CRC32, followed by one bzip2 stream;
//   older: one byte with the part number in its upper and the total in its lower four bits
//          (9 bytes in all), never compressed.
// Which header a reply uses shows in its part 0 alone: in the older layout its first data
// byte is the FF of the reply's header, in the newer one that byte is the part number 0,
// and its data begins with FF FF FF FF (or, compressed, with a bzip2 stream after the size
// and CRC). Parts that come before part 0 are held as they are until then.
// Parts may come in any order and more than once; a part already held is ignored.
// Caps: at most kMaxParts parts and kMaxReplyBytes bytes per reply (also after
// decompression), at most kMaxPendingReplies replies collected side by side (the oldest
// is dropped for a newer one).
class SplitReplyAssembler {
 public:
  static constexpr int kMaxParts = 32;
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
  enum class Layout { kUnknown, kOld, kNew };
  struct Pending {
    std::uint32_t id = 0;
    Layout layout = Layout::kUnknown;
    int total = 0;
    int present = 0;
    std::size_t bytes = 0;
    std::vector<std::string> early;   // parts held until part 0 shows the layout
    std::vector<std::uint32_t> seen;  // CRC32 of every datagram taken for this reply
    std::vector<std::optional<std::string>> parts;
  };

  static Layout LayoutOfFirstPart(std::string_view datagram) noexcept;
  Pending& Find(std::uint32_t id);
  std::optional<std::string> AddPart(Pending& pending, std::string_view datagram);
  std::optional<std::string> HoldEarly(Pending& pending, std::string_view datagram);
  Outcome Finish(std::uint32_t id, Outcome outcome);
  static Outcome Assemble(const Pending& pending);
  bool WasFinished(std::uint32_t id) const;

  std::vector<Pending> m_pending;  // oldest first
  std::array<std::optional<std::uint32_t>, kMaxPendingReplies> m_finished{};
  std::size_t m_nextFinished = 0;
  // CRC32 of the datagrams of the replies finished last, oldest first, at most
  // kMaxParts * kMaxPendingReplies of them.
  std::vector<std::uint32_t> m_finishedParts;
};

}  // namespace vantrix
