#include "support/FloodSocketState.h"

#include <fstream>
#include <sstream>
#include <string>

namespace vantrix::test {

std::optional<FloodSocketState> ReadFloodSocketState(std::uint16_t port) {
  std::ifstream table("/proc/net/udp");
  std::string line;
  std::getline(table, line);  // the heading
  // sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode
  // ref pointer drops, the addresses as hex "AAAAAAAA:PPPP".
  for (int rows = 0; rows < 100000 && std::getline(table, line); ++rows) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode, ref, pointer;
    long drops = 0;
    if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >>
          inode >> ref >> pointer >> drops))
      continue;
    const std::size_t colon = local.find(':');
    if (colon == std::string::npos || std::stoul(local.substr(colon + 1), nullptr, 16) != port) continue;
    const std::size_t split = queues.find(':');
    if (split == std::string::npos) continue;
    return FloodSocketState{std::stoul(queues.substr(split + 1), nullptr, 16), drops};
  }
  return std::nullopt;
}

}  // namespace vantrix::test
