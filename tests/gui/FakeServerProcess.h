#pragma once

// Runs the simulated game servers (build/bin/vantrix-fakeserver) as a child process on
// 127.0.0.1 for the end-to-end tests of the query windows.

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "fake/FakeServerProfile.h"
#include "support/FakeServerLauncher.h"

namespace vantrix::test {

class FakeServerProcess {
 public:
  // `count` servers from a base port chosen at random in a high range; `extra` are more
  // options, e.g. "--split-rules".
  FakeServerProcess(int count, QStringList extra, bool oddNames = false)
      : m_count(count), m_extra(std::move(extra)), m_oddNames(oddNames) {}
  ~FakeServerProcess() { Stop(); }

  // Also runs the simulated master, on the port after the last server, with these options
  // (e.g. "--master-drop", "1").
  void WithMaster(QStringList options = {}) {
    m_master = true;
    m_masterOptions = std::move(options);
  }
  std::uint16_t MasterPort() const { return m_launcher.MasterPort(); }
  FakeServerProcess(const FakeServerProcess&) = delete;
  FakeServerProcess& operator=(const FakeServerProcess&) = delete;

  // Starts the servers and waits (bounded) for their "ready" line. A base port that turns
  // out to be taken is tried again with another, a few times. Returns an error text, or
  // an empty string on success.
  QString Start() {
    FakeServerLauncher::Plan plan;
    plan.count = m_count;
    plan.attempts = 5;
    plan.options = {"--seconds", "120"};
    if (m_oddNames) plan.options.emplace_back("--odd-names");
    for (const QString& option : m_extra) plan.options.push_back(option.toStdString());
    plan.master = m_master;
    // The master's own options follow the port that --master takes.
    for (const QString& option : m_masterOptions) plan.masterOptions.push_back(option.toStdString());
    if (m_launcher.Start(plan)) return {};
    return QString::fromStdString(m_launcher.Error());
  }

  void Stop() { m_launcher.Stop(); }

  std::uint16_t BasePort() const { return m_launcher.BasePort(); }

  // What the servers answer: the same deterministic profiles the process serves.
  std::vector<fake::ServerProfile> Profiles() const {
    fake::ServerSetup setup;
    setup.count = m_count;
    setup.basePort = BasePort();
    setup.oddNames = m_oddNames;
    return fake::MakeProfiles(setup);
  }

 private:
  int m_count;
  QStringList m_extra;
  bool m_oddNames;
  bool m_master = false;
  QStringList m_masterOptions;
  FakeServerLauncher m_launcher;
};

}  // namespace vantrix::test
