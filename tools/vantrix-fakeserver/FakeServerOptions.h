#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fake/FakeMaster.h"
#include "fake/FakeServerProfile.h"

namespace vantrix::fake {

struct FakeServerOptions {
  ServerSetup setup;
  std::uint32_t delayMs = 0;                        // reply delay of every answering server
  std::uint32_t slowMs = 600;                       // reply delay of the slow ones (past the 400 ms time-out)
  int splitParts = 0;                               // rules reply in this many datagrams (0: one datagram)
  std::size_t splitSize = AnswerStyle{}.splitSize;  // newer players and rules replies: data per datagram
  bool compress = false;                            // ... split parts compressed
  bool oldSplit = false;                            // ... split with the older one-byte header
  bool logRequests = false;                         // unknown requests to standard error, in hex
  std::string listFile;                             // plain layout
  std::string vnxFile;                              // record layout
  std::uint16_t masterPort = 0;                     // a master listing the servers on this port (0: none)
  std::uint32_t masterThrottleMs =
      0;  // after a few quick ones, a client's requests closer than this are ignored
  MasterFaults masterFaults;
  double seconds = 0;  // run time; 0: until SIGINT/SIGTERM
  bool help = false;
};

// Parses the command line; throws CommandLineError (a std::invalid_argument) on bad input.
FakeServerOptions ParseOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string UsageText();

}  // namespace vantrix::fake
