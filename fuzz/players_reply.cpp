// A datagram at the players window. The input is the datagram.
// Invariants: the lines are those of a reference walk over the records (whole records only,
// no more than the count byte announces), every name is a zero-free stretch of the datagram,
// and the window's lines grow by exactly the lines decoded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/PlayersWindowState.h"

namespace {

using namespace vantrix;

// The records one by one: index byte, name up to its zero byte, 4-byte score, 4-byte time.
std::vector<std::string> ReferenceLines(std::string_view datagram) {
  std::vector<std::string> lines;
  if (datagram.size() < 6 || datagram.substr(0, 5) != std::string_view("\xFF\xFF\xFF\xFF\x44", 5))
    return lines;
  const std::size_t count = static_cast<std::uint8_t>(datagram[5]);
  std::size_t pos = 6;
  while (lines.size() < count) {
    const std::size_t nameStart = pos + 1;
    if (nameStart > datagram.size()) break;
    const std::size_t nameEnd = datagram.find('\0', nameStart);
    if (nameEnd == std::string_view::npos || nameEnd + 1 + 8 > datagram.size()) break;
    const auto frag = static_cast<unsigned>(static_cast<std::uint8_t>(datagram[nameEnd + 1]));
    lines.push_back("[" + std::to_string(frag) + "] - " +
                    std::string(datagram.substr(nameStart, nameEnd - nameStart)));
    pos = nameEnd + 1 + 8;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view datagram = vantrix::fuzz::AsText(data, size);
  const std::vector<std::string> lines = PlayersWindowState::Decode(datagram);
  VANTRIX_FUZZ_CHECK(lines == ReferenceLines(datagram));
  for (const std::string& line : lines) {
    const std::size_t dash = line.find("] - ");
    VANTRIX_FUZZ_CHECK(line.front() == '[' && dash != std::string::npos && dash <= 4);
    const std::string_view name = std::string_view(line).substr(dash + 4);
    VANTRIX_FUZZ_CHECK(name.find('\0') == std::string_view::npos);
    VANTRIX_FUZZ_CHECK(datagram.find(name) != std::string_view::npos);
  }

  // The window keeps earlier lines and appends; a request clears them.
  PlayersWindowState window;
  window.Receive(datagram);
  const std::vector<std::string> added = window.Receive(datagram);
  VANTRIX_FUZZ_CHECK(added == lines);
  VANTRIX_FUZZ_CHECK(window.Lines().size() == 2 * lines.size());
  window.RequestPlayers("10.0.0.5:27015");
  VANTRIX_FUZZ_CHECK(window.Lines().empty());
  return 0;
}
