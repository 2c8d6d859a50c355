#pragma once

// The simulated game servers (build/bin/vantrix-fakeserver) as a child process on 127.0.0.1:
// the one launcher of every test and benchmark that needs servers on the other side of a
// real socket.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/io/UniqueFd.h"

namespace vantrix::test {

class FakeServerLauncher {
 public:
  // Where and how long: the base port is drawn from [lowestPort, highestPort - count), a
  // stretch that other runs may hold parts of, so a start that fails is tried again.
  struct Plan {
    int count = 1;
    std::vector<std::string> options;  // further options, e.g. "--split-rules"
    int lowestPort = 20000;
    int highestPort = 60000;
    int attempts = 8;
    std::chrono::milliseconds readyWithin{10000};
    bool master = false;                     // a simulated master on the port after the last server
    std::vector<std::string> masterOptions;  // after the master's port, e.g. "--master-drop", "1"
  };
  // What the servers say they did when they were stopped.
  struct Counts {
    long requests = 0;
    long datagrams = 0;
  };

  FakeServerLauncher() = default;
  ~FakeServerLauncher();
  FakeServerLauncher(const FakeServerLauncher&) = delete;
  FakeServerLauncher& operator=(const FakeServerLauncher&) = delete;

  // Starts the servers and waits, bounded, for their "ready" line. False when no attempt got
  // that far; Error() says why.
  bool Start(const Plan& plan);
  // Stops them (SIGTERM, then SIGKILL after ten seconds) and reads their closing report;
  // none when they were not running, had to be killed or said nothing.
  std::optional<Counts> Stop();

  std::uint16_t BasePort() const { return m_basePort; }
  std::uint16_t MasterPort() const { return static_cast<std::uint16_t>(m_basePort + m_count); }
  const std::string& Error() const { return m_error; }

 private:
  bool Launch(const Plan& plan);
  bool Running() const { return m_pid > 0; }
  // Waits up to `limit` for the child's end; its wait status, or nullopt.
  std::optional<int> Reap(std::chrono::milliseconds limit);
  std::string ErrorOutput() const;

  pid_t m_pid = -1;
  UniqueFd m_out;  // standard output: the "ready" line
  UniqueFd m_err;  // standard error, an unlinked file so that it never blocks the servers
  int m_count = 0;
  std::uint16_t m_basePort = 0;
  std::string m_error;
};

}  // namespace vantrix::test
