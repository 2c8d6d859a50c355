// The info query reads its settings from the configuration dialog's controls at the
// moment of use, the endpoint takes BufferSize and Broadcast when the settings apply, and
// the packet log gets the datagrams while PacketLog is on. Servers are plain sockets on
// 127.0.0.1.

#include <chrono>
#include <functional>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/protocol/InfoRequest.h"
#include "core/query/QueryEngine.h"
#include "gui/ConfigTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/Unit7.h"
#include "gui/widgets/SettingLineEdit.h"
#include "net/TIdUDPServer.h"
#include "support/NetPeer.h"
#include "support/NetWatchdog.h"

using namespace vantrix;
using namespace vantrix::test;
using namespace std::chrono_literals;

namespace {

bool Start(TForm1& form) {
  QSignalSpy done(&form, &TForm1::StartupDone);
  form.show();
  return done.count() == 1;
}

// Lets events run for a while, to see that nothing more arrives.
void ProcessFor(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace

class QuerySettingsTest : public QObject {
  Q_OBJECT

 private slots:
  // The start applies config.ini's BufferSize and Broadcast to the endpoint, and later
  // applications replace them; the buffer size decides which datagrams get through.
  void EndpointTakesBufferSizeAndBroadcastWhenSettingsApply() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, "BufferSize=1024\r\nBroadcast=1\r\n"));
    TForm1& form = fixture.Main();
    QVERIFY(Start(form));
    QVERIFY(fixture.Errors().empty());
    TIdUDPServer& endpoint = form.IdUDPServer1();
    QCOMPARE(endpoint.BufferSize(), 1024);
    QVERIFY(endpoint.BroadcastEnabled());

    NetPeer peer;
    const std::uint16_t port = endpoint.LocalPort();
    QVERIFY(peer.SendTo(port, std::string(1500, 'x')));  // longer than the buffer: dropped
    QVERIFY(peer.SendTo(port, std::string(1024, 'y')));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() >= 1; }));
    ProcessFor(100ms);
    QCOMPARE(form.Engine().ReceivedCount(), 1);

    Settings settings;
    settings.bufferSize = "2048";
    settings.broadcast = false;
    fixture.Dialog().ShowSettings(settings);
    form.ApplySettings();
    QCOMPARE(endpoint.BufferSize(), 2048);
    QVERIFY(!endpoint.BroadcastEnabled());
    QVERIFY(peer.SendTo(port, std::string(1500, 'z')));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 2; }));
  }

  // Connect, DefaultPort, UDPDelay and Progress come from the dialog's controls as they
  // are when a command needs them, without "Save" or a new start.
  void ChecksReadTheDialogsControlsAtTheMomentOfUse() {
    ConfigFixture fixture;
    TForm1& form = fixture.Main();
    QVERIFY(Start(form));
    TForm5& dialog = fixture.Dialog();
    NetPeer server;
    // No port in the address: the port comes from "Default port".
    form.Table().AppendRow("127.0.0.1");
    dialog.Edit3()->setText(QString::number(server.Port()));
    dialog.Edit2()->setText(QStringLiteral("abc"));  // not a number: 5 ms slices

    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTreeView* view = form.ListView1();
    const QPoint centre = view->visualRect(view->model()->index(0, 0)).center();
    dialog.CheckBox4()->setChecked(false);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(form.Table().SelectedIndex(), 0);
    QVERIFY(!server.Receive(100ms).has_value());

    dialog.CheckBox4()->setChecked(true);
    {
      NetWatchdog watchdog(15s, "a double click on a silent server");
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    const auto request = server.Receive(1s);
    QVERIFY(request.has_value());
    QCOMPARE(request->bytes, std::string(kInfoRequest));
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("-"));

    // "Show progress" off: a run shows only "Idle..." at its end.
    dialog.CheckBox3()->setChecked(false);
    QStringList texts;
    QTimer look;
    look.setInterval(0);
    connect(&look, &QTimer::timeout, &form, [&] {
      const QString text = form.StatusPanel(2)->text();
      if (texts.isEmpty() || texts.last() != text) texts << text;
    });
    look.start();
    {
      NetWatchdog watchdog(15s, "check all on a silent server");
      form.CheckallF121Click();
    }
    look.stop();
    QVERIFY(server.Receive(1s).has_value());
    QVERIFY(!texts.join(QLatin1Char('|')).contains(QStringLiteral("Checking servers")));
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
  }

  // With "Packet log" on every datagram goes to the packet log before it is counted; with
  // it off the count still goes on and the log stays as it was.
  void PacketLogFollowsItsCheckBox() {
    ConfigFixture fixture;
    TForm1& form = fixture.Main();
    QVERIFY(Start(form));
    TForm7& log = fixture.recorded.app->Form7();
    QVERIFY(fixture.Dialog().CheckBox2()->isChecked());
    NetPeer peer;
    const std::uint16_t port = form.IdUDPServer1().LocalPort();

    QVERIFY(peer.SendTo(port, std::string("\xFF\xFF\xFF\xFF"
                                          "A\x00"
                                          "b",
                                          7)));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 1; }));
    QCOMPARE(log.Log().Entries().size(), size_t(1));
    const std::string& entry = log.Log().Entries()[0];
    QVERIFY2(entry.size() >= 7 && entry.compare(entry.size() - 7, 7,
                                                "\xFF\xFF\xFF\xFF"
                                                "A b") == 0,
             entry.c_str());

    fixture.Dialog().CheckBox2()->setChecked(false);
    QVERIFY(peer.SendTo(port, "second"));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 2; }));
    QCOMPARE(log.Log().Entries().size(), size_t(1));
    QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("recv 2"));
  }
};

QTEST_MAIN(QuerySettingsTest)
#include "QuerySettingsTest.moc"
