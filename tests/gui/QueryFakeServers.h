#pragma once

// The simulated game servers as a child process on 127.0.0.1, for the end-to-end tests of
// the info query and the check runs.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>

#include "fake/FakeServerProfile.h"
#include "support/TestData.h"

namespace vantrix::test {

class QueryFakeServers {
 public:
  struct Counts {
    long requests = 0;
    long datagrams = 0;
  };

  QueryFakeServers() = default;
  QueryFakeServers(const QueryFakeServers&) = delete;
  QueryFakeServers& operator=(const QueryFakeServers&) = delete;
  ~QueryFakeServers() {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }

  // Starts `setup.count` servers on a free stretch of high ports (setup.basePort is chosen
  // here) and waits for the "ready" line. `extra` are further options. False when no
  // attempt got as far as "ready"; Error() says why.
  bool Start(fake::ServerSetup setup, const QStringList& extra = {}) {
    constexpr int kAttempts = 8;
    // Below the system's ephemeral range, so that no endpoint of the program sits there.
    constexpr int kLowestPort = 20000;
    constexpr int kHighestPort = 32000;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      const int span = kHighestPort - kLowestPort - setup.count;
      setup.basePort = static_cast<std::uint16_t>(kLowestPort + QRandomGenerator::global()->bounded(span));
      QStringList arguments{QStringLiteral("--count"), QString::number(setup.count),
                            QStringLiteral("--base-port"), QString::number(setup.basePort)};
      if (setup.silentCount > 0)
        arguments << QStringLiteral("--silent") << QString::number(setup.silentCount);
      if (setup.slowCount > 0) arguments << QStringLiteral("--slow") << QString::number(setup.slowCount);
      if (setup.oddNames) arguments << QStringLiteral("--odd-names");
      arguments << extra;
      if (Launch(arguments)) {
        m_setup = setup;
        return true;
      }
    }
    return false;
  }

  // Starts the servers again on the ports of the last Start, after Stop.
  bool Restart(const QStringList& extra = {}) {
    QStringList arguments{QStringLiteral("--count"), QString::number(m_setup.count),
                          QStringLiteral("--base-port"), QString::number(m_setup.basePort)};
    return Launch(arguments << extra);
  }

  const fake::ServerSetup& Setup() const { return m_setup; }
  // What the servers are set to answer, the same profiles the process serves.
  std::vector<fake::ServerProfile> Profiles() const { return fake::MakeProfiles(m_setup); }
  const std::string& Error() const { return m_error; }

  // Stops the servers (SIGTERM) and reads what they report having done; none when the
  // process did not end cleanly or said nothing.
  std::optional<Counts> Stop() {
    if (m_process.state() == QProcess::NotRunning) return std::nullopt;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
      m_process.kill();
      m_process.waitForFinished(5000);
      return std::nullopt;
    }
    const QString report = QString::fromLocal8Bit(m_process.readAllStandardError());
    static const QRegularExpression kReport(QStringLiteral("(\\d+) requests, (\\d+) datagrams sent"));
    const QRegularExpressionMatch match = kReport.match(report);
    if (!match.hasMatch()) return std::nullopt;
    return Counts{match.captured(1).toLong(), match.captured(2).toLong()};
  }

 private:
  bool Launch(const QStringList& arguments) {
    m_process.setProgram(QString::fromStdString((BinDir() / "vantrix-fakeserver").string()));
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
      m_error = "cannot start vantrix-fakeserver: " + m_process.errorString().toStdString();
      return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      if (m_process.canReadLine()) {
        const QByteArray line = m_process.readLine();
        if (line.startsWith("ready")) return true;
        continue;
      }
      if (m_process.state() == QProcess::NotRunning) break;
      m_process.waitForReadyRead(100);
    }
    m_error = "vantrix-fakeserver did not get ready: " + m_process.readAllStandardError().toStdString();
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
    return false;
  }

  QProcess m_process;
  fake::ServerSetup m_setup;
  std::string m_error;
};

}  // namespace vantrix::test
