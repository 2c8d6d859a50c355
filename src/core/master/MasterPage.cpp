#include "core/master/MasterPage.h"

#include <string>

namespace vantrix {

namespace {

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]);
}

// Addresses that cannot be a server: unspecified, broadcast, or no port to ask.
bool IsUsable(const MasterAddress& address) {
  return address.ip != 0 && address.ip != 0xFFFFFFFFu && address.port != 0;
}

}  // namespace

MasterPage DecodeMasterPage(std::string_view datagram) {
  MasterPage page;
  if (!datagram.starts_with(kMasterPageHeader)) {
    page.error = MasterPage::Error::kWrongHeader;
    return page;
  }
  const std::string_view entries = datagram.substr(kMasterPageHeader.size());
  if (entries.size() % kMasterEntrySize != 0) page.error = MasterPage::Error::kOddLength;
  const std::size_t count = entries.size() / kMasterEntrySize;
  page.addresses.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = i * kMasterEntrySize;
    MasterAddress address;
    address.ip = Byte(entries, at) << 24 | Byte(entries, at + 1) << 16 | Byte(entries, at + 2) << 8 |
                 Byte(entries, at + 3);
    address.port = static_cast<std::uint16_t>(Byte(entries, at + 4) << 8 | Byte(entries, at + 5));
    if (address.ip == 0 && address.port == 0) {
      page.ended = true;
      break;
    }
    if (IsUsable(address)) {
      page.addresses.push_back(address);
    } else {
      ++page.skipped;
    }
  }
  return page;
}

std::string EncodeMasterPage(const std::vector<MasterAddress>& addresses, bool ended) {
  std::string page(kMasterPageHeader);
  page.reserve(page.size() + (addresses.size() + 1) * kMasterEntrySize);
  auto put = [&page](const MasterAddress& address) {
    for (int shift = 24; shift >= 0; shift -= 8) page += static_cast<char>((address.ip >> shift) & 0xFF);
    page += static_cast<char>(address.port >> 8);
    page += static_cast<char>(address.port & 0xFF);
  };
  for (const MasterAddress& address : addresses) put(address);
  if (ended) put(MasterAddress{});
  return page;
}

}  // namespace vantrix
