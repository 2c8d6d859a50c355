#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/master/MasterAddress.h"

namespace vantrix {

// The header every page of the master's list starts with.
inline constexpr std::string_view kMasterPageHeader = "\xFF\xFF\xFF\xFF\x66\x0A";
inline constexpr std::size_t kMasterEntrySize = 6;

// One decoded page: 6-byte entries (four address bytes, then the port big-endian) after
// the header. The entry 0.0.0.0:0 ends the list; entries after it are not read.
struct MasterPage {
  enum class Error {
    kNone,
    kWrongHeader,  // not a page at all: nothing is read
    kOddLength,    // bytes left over after the last whole entry: the whole entries are read
  };
  Error error = Error::kNone;
  std::vector<MasterAddress> addresses;  // the usable entries, in page order
  bool ended = false;                    // the end marker came
  std::size_t skipped = 0;               // entries no server can have (0.0.0.0, broadcast, port 0)
};

MasterPage DecodeMasterPage(std::string_view datagram);

// The entries of a page in order, the end marker last when `ended`; the simulated master
// and the tests build pages with it.
std::string EncodeMasterPage(const std::vector<MasterAddress>& addresses, bool ended);

}  // namespace vantrix
