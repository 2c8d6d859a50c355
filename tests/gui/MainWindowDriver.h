#pragma once

// Drives the main window of a recorded application as a user would: rows, selection, keys.

#include <chrono>
#include <functional>
#include <string>

#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QTest>
#include <QTreeView>

#include "gui/GuiTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/Unit7.h"
#include "gui/model/ServerTableModel.h"

namespace vantrix::test {

// How a byte text from the network should look: UTF-8 when it is valid UTF-8, else Latin-1.
inline QString ShownBytes(const std::string& bytes) {
  const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const QString utf8 = QString::fromUtf8(raw);
  return utf8.toUtf8() == raw ? utf8 : QString::fromLatin1(raw);
}

// Shows the window, makes it active and puts the focus in the list.
inline bool Activate(TForm1& form) {
  form.show();
  QApplication::setActiveWindow(&form);
  if (!QTest::qWaitForWindowActive(&form)) return false;
  form.ListView1()->setFocus();
  return true;
}

// Processes events until `done` holds, at most `limit`.
inline bool ProcessUntil(const std::function<bool()>& done,
                         std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

struct MainWindowDriver {
  RecordedApplication recorded;
  TForm1& Form() { return recorded.app->Form1(); }

  void AddRow(const std::string& address) { Form().Table().AppendRow(address); }
  void Select(int row) {
    Form().ListView1()->selectionModel()->select(
        Form().Model().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  // Turns the packet log on, so that a test can see that nothing reaches it.
  void LogPackets() { recorded.app->Form5().CheckBox2()->setChecked(true); }
  // True when the main window neither logged nor counted any datagram.
  bool MainEndpointSawNothing() {
    recorded.app->Form7().ShowPendingLines();
    return recorded.app->Form7().Memo1()->toPlainText().isEmpty() &&
           Form().StatusPanel(1)->text() == QStringLiteral("recv 0");
  }
  // A key in the main window's list, as the user presses it.
  void PressKey(Qt::Key key) {
    QVERIFY(Activate(Form()));
    QTest::keyClick(Form().ListView1(), key);
  }
};

}  // namespace vantrix::test
