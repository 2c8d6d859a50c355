#pragma once

#include <memory>
#include <string_view>

#include <QStringList>
#include <QWidget>

#include "core/packetlog/PacketLog.h"
#include "core/packetlog/PacketLogObserver.h"
#include "core/time/ReplaceableWallClock.h"

class QPlainTextEdit;
class QTimer;

namespace vantrix {

// The received-packets window: a resizable tool window with one read-only text box that
// shows the packet log, one line per entry. It logs whether or not it is shown. New lines
// reach the text box together, within kShowLinesEveryMs: one insertion and one repaint per
// batch instead of per datagram keep logging cheap at high packet rates.
class TForm7 final : public QWidget, private PacketLogObserver {
  Q_OBJECT

 public:
  static constexpr int kShowLinesEveryMs = 50;

  // `clock` gives the time of arrival; nullptr means the desktop's local time.
  explicit TForm7(QWidget* parent = nullptr, std::unique_ptr<WallClock> clock = nullptr);
  ~TForm7() override;

  QPlainTextEdit* Memo1() const { return m_memo1; }
  const vantrix::PacketLog& Log() const { return m_log; }

  // Appends the entry for one datagram: its time of arrival, " - " and its bytes with zero
  // bytes shown as spaces. The main window's datagram handler calls it for every datagram
  // when the PacketLog setting is on.
  void LogPacket(std::string_view datagram);

  void SetClock(std::unique_ptr<WallClock> clock) { m_clock.Replace(std::move(clock)); }
  // How the times are written (the desktop's long time format unless a test says otherwise).
  void SetTimeFormat(TimeFormat format) { m_log.SetTimeFormat(std::move(format)); }

  // Puts the lines logged but not yet shown into the text box now.
  void ShowPendingLines();

 private:
  void EntryAppended(std::string_view entry) override;
  void LogCleared() override;

  QPlainTextEdit* m_memo1;
  QTimer* m_pendingTimer;
  QStringList m_pendingLines;
  ReplaceableWallClock m_clock;
  vantrix::PacketLog m_log{m_clock};
};

}  // namespace vantrix
