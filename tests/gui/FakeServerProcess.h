#pragma once

// Runs the simulated game servers (build/bin/vantrix-fakeserver) as a child process on
// 127.0.0.1 for the end-to-end tests of the query windows.

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "fake/FakeServerProfile.h"

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
  std::uint16_t MasterPort() const { return static_cast<std::uint16_t>(m_basePort + m_count); }
  FakeServerProcess(const FakeServerProcess&) = delete;
  FakeServerProcess& operator=(const FakeServerProcess&) = delete;

  // Starts the servers and waits (bounded) for their "ready" line. A base port that turns
  // out to be taken is tried again with another, a few times. Returns an error text, or
  // an empty string on success.
  QString Start() {
    const QString program = QStringLiteral(VANTRIX_BIN_DIR "/vantrix-fakeserver");
    if (!QFileInfo::exists(program)) return QStringLiteral("missing ") + program;
    QString error;
    for (int attempt = 0; attempt < 5; ++attempt) {
      m_basePort = static_cast<std::uint16_t>(QRandomGenerator::global()->bounded(20000, 60000));
      QStringList arguments{QStringLiteral("--count"),     QString::number(m_count),
                            QStringLiteral("--base-port"), QString::number(m_basePort),
                            QStringLiteral("--seconds"),   QStringLiteral("120")};
      if (m_oddNames) arguments << QStringLiteral("--odd-names");
      arguments << m_extra;
      if (m_master)
        arguments << QStringLiteral("--master") << QString::number(MasterPort()) << m_masterOptions;
      m_process.start(program, arguments);
      if (!m_process.waitForStarted(5000)) return QStringLiteral("cannot start ") + program;
      error = WaitForReady();
      if (error.isEmpty()) return {};
      Stop();
    }
    return error;
  }

  void Stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }

  std::uint16_t BasePort() const { return m_basePort; }

  // What the servers answer: the same deterministic profiles the process serves.
  std::vector<fake::ServerProfile> Profiles() const {
    fake::ServerSetup setup;
    setup.count = m_count;
    setup.basePort = m_basePort;
    setup.oddNames = m_oddNames;
    return fake::MakeProfiles(setup);
  }

 private:
  QString WaitForReady() {
    QByteArray output;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
      if (m_process.state() == QProcess::NotRunning)
        return QStringLiteral("exited: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
      m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(deadline.remainingTime(), 500)));
      output += m_process.readAllStandardOutput();
      if (output.contains("ready ")) return {};
    }
    return QStringLiteral("no ready line within 10 s");
  }

  int m_count;
  QStringList m_extra;
  bool m_oddNames;
  std::uint16_t m_basePort = 0;
  bool m_master = false;
  QStringList m_masterOptions;
  QProcess m_process;
};

}  // namespace vantrix::test
