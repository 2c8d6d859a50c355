#pragma once

// The simulated game servers as a child process on 127.0.0.1, for the end-to-end tests of
// the info query and the check runs.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "fake/FakeServerProfile.h"
#include "support/FakeServerLauncher.h"

namespace vantrix::test {

class QueryFakeServers {
 public:
  using Counts = FakeServerLauncher::Counts;

  QueryFakeServers() = default;
  QueryFakeServers(const QueryFakeServers&) = delete;
  QueryFakeServers& operator=(const QueryFakeServers&) = delete;

  // Starts `setup.count` servers on a free stretch of high ports (setup.basePort is chosen
  // here) and waits for the "ready" line. `extra` are further options. False when no
  // attempt got as far as "ready"; Error() says why.
  bool Start(fake::ServerSetup setup, const QStringList& extra = {}) {
    FakeServerLauncher::Plan plan;
    plan.count = setup.count;
    // Below the system's ephemeral range, so that no endpoint of the program sits there.
    plan.lowestPort = 20000;
    plan.highestPort = 32000;
    plan.readyWithin = std::chrono::seconds(15);
    if (setup.silentCount > 0)
      plan.options.insert(plan.options.end(), {"--silent", std::to_string(setup.silentCount)});
    if (setup.slowCount > 0)
      plan.options.insert(plan.options.end(), {"--slow", std::to_string(setup.slowCount)});
    if (setup.oddNames) plan.options.emplace_back("--odd-names");
    for (const QString& option : extra) plan.options.push_back(option.toStdString());
    if (!m_launcher.Start(plan)) return false;
    setup.basePort = m_launcher.BasePort();
    m_setup = setup;
    m_plan = plan;
    return true;
  }

  // Starts the servers again on the ports of the last Start, after Stop.
  bool Restart(const QStringList& extra = {}) {
    FakeServerLauncher::Plan plan = m_plan;
    // The one stretch that starts at the last base port.
    plan.lowestPort = m_setup.basePort;
    plan.highestPort = m_setup.basePort + m_setup.count + 1;
    for (const QString& option : extra) plan.options.push_back(option.toStdString());
    return m_launcher.Start(plan);
  }

  const fake::ServerSetup& Setup() const { return m_setup; }
  // What the servers are set to answer, the same profiles the process serves.
  std::vector<fake::ServerProfile> Profiles() const { return fake::MakeProfiles(m_setup); }
  const std::string& Error() const { return m_launcher.Error(); }

  // Stops the servers (SIGTERM) and reads what they report having done; none when the
  // process did not end cleanly or said nothing.
  std::optional<Counts> Stop() { return m_launcher.Stop(); }

 private:
  FakeServerLauncher m_launcher;
  FakeServerLauncher::Plan m_plan;
  fake::ServerSetup m_setup;
};

}  // namespace vantrix::test
