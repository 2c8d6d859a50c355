#include "core/protocol/SplitPartHeader.h"

#include "core/protocol/ByteCursor.h"

namespace vantrix {

std::size_t SplitHeaderSize(SplitLayout layout) noexcept {
  switch (layout) {
    case SplitLayout::kOld:
      return 9;
    case SplitLayout::kNewNoSize:
      return 10;
    case SplitLayout::kNew:
      return 12;
  }
  return 12;
}

bool IsSplitPart(std::string_view datagram) noexcept {
  return datagram.size() >= SplitHeaderSize(SplitLayout::kOld) && datagram.starts_with(kSplitPrefix);
}

std::optional<SplitPartHeader> ReadSplitPartHeader(std::string_view datagram, SplitLayout layout) noexcept {
  if (!IsSplitPart(datagram) || datagram.size() < SplitHeaderSize(layout)) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(kSplitPrefix.size());
  SplitPartHeader header;
  header.id = *cursor.ReadUInt32LE();
  header.size = SplitHeaderSize(layout);
  const std::uint8_t first = *cursor.ReadByte();
  if (layout == SplitLayout::kOld) {
    header.number = first >> 4;
    header.total = first & 0x0F;
  } else {
    header.total = first;
    header.number = *cursor.ReadByte();
  }
  return header;
}

}  // namespace vantrix
