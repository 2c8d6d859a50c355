#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/AskedWindowState.h"
#include "core/protocol/RequestTarget.h"

namespace vantrix {

// The rules window's data: the lines shown ("name - value", in reply order) and the reply
// collected so far. Every datagram that reaches the window is handed to Receive.
//
// How a datagram is taken:
// - A split part (FE FF FF FF, 32-bit request number, packet byte with the part number in
//   its upper four bits and the total in its lower four) whose byte is usable (total >= 2,
//   part < total, and part 0 starting with the marker) is kept with the other parts of its request
//   number, in any order; a part already held is ignored. Once all parts are there, their data (each after
//   its 9-byte header) is joined in part order and decoded as one reply. Up to kMaxPendingReplies request
//   numbers are collected side by side (the oldest is dropped for a newer one), and a reply already decoded
//   is not decoded again.
// - A datagram that starts with the marker FF FF FF FF 45 is a whole reply: decoded at once.
// - Anything else goes through the buffer A: a datagram holding the marker elsewhere
//   replaces A; any other datagram appends its bytes after the first 9 to A, and A is
//   then decoded from after its marker and 2-byte count (without a marker, after its first
//   6 bytes). This is also how split parts with an unusable packet byte are put together,
//   such as servers that number their packets 0, 1 or 1, 2; a part of the same request
//   already held as a numbered first part is then taken back into A before this one.
// Decoding reads the zero-ended name and value pairs after the marker and count: a pair
// with an empty name is skipped, a name without a value gives "name - " and ends decoding.
//
// Caps, since anyone can send to the window: A never holds more than kMaxBuffer bytes nor
// more than kMaxContinuations datagrams after the last one holding the marker; past either
// cap A is dropped and collection starts over with the datagram at hand. The split parts
// collected never hold more than kMaxBuffer bytes together; the oldest reply is dropped to
// make room, and a reply that alone would pass the cap is dropped.
class RulesCollector : public AskedWindowState {
 public:
  static constexpr std::size_t kMaxBuffer = 64 * 1024;
  static constexpr int kMaxContinuations = 16;
  static constexpr std::size_t kMaxPendingReplies = 4;

  // FF FF FF FF 'V' "Source Engine Query" 00, 25 bytes.
  static std::string_view Request();

  // The lines of the pairs in `rules` (the bytes after the marker and count); `rules`
  // keeps what was not consumed: an unended trailing name or value.
  static std::vector<std::string> DecodePairs(std::string& rules);

  // Clears the lines and gives where to send Request(): nullopt when the address has no
  // ":"; a bad port text throws ConversionError (the lines stay cleared). The buffer A is
  // kept, but split parts collected before the request are dropped: a part sent after
  // the request is never joined with one from before it, and the request numbers already
  // decoded are forgotten.
  std::optional<RequestTarget> RequestRules(std::string_view address);

  // Takes one datagram from any sender; returns the lines it added.
  std::vector<std::string> Receive(std::string_view datagram);

  // The current protocol: see AskedWindowState; every RequestRules starts a new exchange.
  RulesCollector() : AskedWindowState(ExchangeKind::kRules) {}

  // Bytes held between datagrams: in A, and in the split parts collected.
  std::size_t BufferSize() const { return m_buffer.size(); }
  std::size_t PendingBytes() const;

 protected:
  std::vector<std::string> CurrentLines(std::string_view reply) const override;

 private:
  struct SplitReply {
    std::uint32_t requestNumber = 0;
    int total = 0;
    int present = 0;
    std::size_t bytes = 0;
    std::vector<std::optional<std::string>> parts;
  };

  std::vector<std::string> TakeSplitPart(std::uint32_t requestNumber, int part, int total,
                                         std::string_view data);
  std::vector<std::string> TakeIntoBuffer(std::string_view datagram);
  void AdoptPendingHead(std::uint32_t requestNumber);
  void RememberDecoded(std::uint32_t requestNumber);
  bool WasDecoded(std::uint32_t requestNumber) const;

  std::string m_buffer;  // A
  int m_continuations = 0;
  std::vector<SplitReply> m_pending;     // oldest first
  std::vector<std::uint32_t> m_decoded;  // request numbers already decoded, newest last
};

}  // namespace vantrix
