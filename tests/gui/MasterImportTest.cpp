// "Import from master server..." in the main window, against the simulated master of
// vantrix-fakeserver (a child process on 127.0.0.1) and a Web API served on loopback.

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/master/MasterImportSettings.h"
#include "gui/FakeServerProcess.h"
#include "gui/MainWindowDriver.h"
#include "gui/MasterImportCommand.h"
#include "gui/Unit1.h"
#include "gui/Unit8.h"
#include "gui/model/ServerTableModel.h"

using namespace vantrix;
using vantrix::test::FakeServerProcess;
using vantrix::test::MainWindowDriver;
using vantrix::test::ProcessUntil;

namespace {

// Fills the master dialog when it is shown and confirms it; notes the fields it was
// shown with. Other dialogs are refused.
class MasterDialogRunner final : public DialogRunner {
 public:
  std::function<void(TForm8&)> fill;
  std::vector<MasterImportSettings> shownWith;
  bool confirm = true;

  int Exec(QDialog& dialog) override {
    auto* form = qobject_cast<TForm8*>(&dialog);
    if (!form) return QDialog::Rejected;
    shownWith.push_back(form->Fields());
    if (fill) fill(*form);
    return confirm ? QDialog::Accepted : QDialog::Rejected;
  }
};

// Notes each new text of the message panel whenever events are processed.
class PanelWatcher {
 public:
  explicit PanelWatcher(QLabel& label) : m_label(label) {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, &label, [this] { Look(); });
    m_timer.start();
  }
  void Look() {
    const QString text = m_label.text();
    if (m_texts.isEmpty() || m_texts.last() != text) m_texts << text;
  }
  const QStringList& Texts() const { return m_texts; }

 private:
  QLabel& m_label;
  QTimer m_timer;
  QStringList m_texts;
};

// One HTTP exchange at a time on 127.0.0.1: notes the request line, answers with the
// status and body it was given, then closes.
class LoopbackWebApi : public QObject {
 public:
  int status = 200;
  QByteArray body;
  QStringList requestLines;

  LoopbackWebApi() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Serve(*socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  std::string Base() const {
    return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) +
           "/IGameServersService/GetServerList/v1/";
  }

 private:
  void Serve(QTcpSocket& socket) {
    m_pending[&socket] += socket.readAll();
    const QByteArray& request = m_pending[&socket];
    if (!request.contains("\r\n\r\n")) return;
    requestLines << QString::fromLatin1(request.left(request.indexOf("\r\n")));
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) +
                       " X\r\nContent-Type: application/json\r\n"
                       "Connection: close\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\n\r\n" + body;
    socket.write(reply);
    socket.disconnectFromHost();
    m_pending.remove(&socket);
  }

  QTcpServer m_server;
  QHash<QTcpSocket*, QByteArray> m_pending;
};

struct MasterWindow {
  MainWindowDriver driver;
  MasterDialogRunner* dialogs = nullptr;
  QTemporaryDir configHome;

  MasterWindow() {
    auto runner = std::make_unique<MasterDialogRunner>();
    dialogs = runner.get();
    driver.recorded.app->SetDialogRunner(std::move(runner));
    Command().SetSettingsPath(configHome.filePath(QStringLiteral("vantrix/master-import.ini")).toStdString());
  }
  TForm1& Form() { return driver.Form(); }
  MasterImportCommand& Command() { return Form().MasterImport(); }
  QString Message() { return Form().StatusPanel(2)->text(); }
  bool WaitForEnd(int seconds = 20) {
    return ProcessUntil([this] { return !Command().Running(); }, std::chrono::seconds(seconds));
  }
  // Ctrl+F5 in the main window, with the dialog filled for this master.
  void ImportFrom(std::uint16_t masterPort, std::function<void(TForm8&)> more = {}) {
    dialogs->fill = [masterPort, more](TForm8& form) {
      form.Edit1()->setText(QStringLiteral("127.0.0.1:%1").arg(masterPort));
      form.Edit3()->clear();
      if (more) more(form);
    };
    QVERIFY(test::Activate(Form()));
    QTest::keyClick(Form().ListView1(), Qt::Key_F5, Qt::ControlModifier);
  }
};

std::string Address(std::uint16_t port) {
  return "127.0.0.1:" + std::to_string(port);
}

}  // namespace

class MasterImportTest : public QObject {
  Q_OBJECT

 private slots:
  void MenuEntryFollowsTheOtherToolsSubmenu() {
    MainWindowDriver driver;
    QAction* action = driver.Form().MenuAction(QStringLiteral("Importfrommasterserver1"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("Import from master server..."));
    QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F5));
    QMenu* list = driver.Form().findChild<QMenu*>(QStringLiteral("List1"));
    QVERIFY(list);
    const QList<QAction*> entries = list->actions();
    QMenu* tools = list->findChild<QMenu*>(QStringLiteral("Exportto1"));
    QVERIFY(tools);
    const qsizetype at = entries.indexOf(tools->menuAction());
    QVERIFY(at >= 0 && at + 1 < entries.size());
    QCOMPARE(entries[at + 1], action);
  }

  // Two pages, then the end marker: the rows come in the master's order after the rows
  // already there, without the address already in the list, in one reset of the view.
  void TwoPagesThenTheEndMarker() {
    FakeServerProcess servers(300, {});
    servers.WithMaster();
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    MasterWindow window;
    window.driver.AddRow("other:1");
    window.driver.AddRow(Address(servers.BasePort() + 5));
    QSignalSpy resets(&window.Form().Model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&window.Form().Model(), &QAbstractItemModel::rowsInserted);
    PanelWatcher panel(*window.Form().StatusPanel(2));

    window.ImportFrom(servers.MasterPort(), [](TForm8& form) {
      form.ComboBox1()->setCurrentIndex(form.ComboBox1()->findData(0x03));
      form.Edit2()->setText(QStringLiteral("\\gamedir\\cstrike"));
    });
    // The command returned at once: the pages come while the window goes on.
    QVERIFY(window.Command().Running());
    QVERIFY(window.WaitForEnd());

    const ServerTable& table = window.Form().Table();
    QCOMPARE(table.Count(), 2 + 299);
    int row = 2;
    for (int i = 0; i < 300; ++i) {
      if (i == 5) continue;
      QCOMPARE(table.Address(row), Address(static_cast<std::uint16_t>(servers.BasePort() + i)));
      for (int cell = 0; cell < kCellCount; ++cell) QCOMPARE(table.Cell(row, cell), std::string(" "));
      ++row;
    }
    QCOMPARE(resets.count(), 1);
    QCOMPARE(inserts.count(), 0);
    panel.Look();
    QVERIFY2(panel.Texts().contains(QStringLiteral("Master server: 231 servers")),
             qPrintable(panel.Texts().join(QLatin1Char('|'))));
    QCOMPARE(window.Message(), QStringLiteral("Idle..."));
    // Nothing is checked by itself.
    QCOMPARE(table.Cell(2, kWCell), std::string(" "));

    // The fields are remembered for the next time, in a file only the user may read.
    const std::string path = window.Command().SettingsPath().string();
    struct stat info {};
    QCOMPARE(stat(path.c_str(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);
    window.dialogs->confirm = false;
    window.Form().Importfrommasterserver1Click();
    QCOMPARE(window.dialogs->shownWith.size(), std::size_t{2});
    const MasterImportSettings again = window.dialogs->shownWith[1];
    QCOMPARE(again.address, Address(servers.MasterPort()));
    QCOMPARE(again.region, std::uint8_t{0x03});
    QCOMPARE(again.filter, std::string("\\gamedir\\cstrike"));
    QCOMPARE(table.Count(), 301);  // cancelled dialog: nothing happens
  }

  // Esc while a page is awaited: the import ends with what came.
  void EscapeKeepsWhatArrived() {
    FakeServerProcess servers(300, {});
    servers.WithMaster({QStringLiteral("--master-drop"), QStringLiteral("1")});
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    MasterWindow window;
    window.ImportFrom(servers.MasterPort());
    QVERIFY(ProcessUntil([&] { return window.Message() == QStringLiteral("Master server: 231 servers"); }));
    QVERIFY(window.Command().Running());
    QTest::keyClick(window.Form().ListView1(), Qt::Key_Escape);
    QVERIFY(!window.Command().Running());
    QCOMPARE(window.Form().Table().Count(), 231);
    QCOMPARE(window.Message(), QStringLiteral("Idle..."));
  }

  // A page of garbage: a clear message, and the first page's servers stay.
  void GarbageSaysSoAndKeepsWhatCame() {
    FakeServerProcess servers(300, {});
    servers.WithMaster({QStringLiteral("--master-garbage"), QStringLiteral("1")});
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    MasterWindow window;
    window.ImportFrom(servers.MasterPort());
    QVERIFY(window.WaitForEnd());
    QCOMPARE(window.Form().Table().Count(), 231);
    QCOMPARE(
        window.Message(),
        QStringLiteral("Error: Master server sent a reply that is not a server list (231 servers received)"));
  }

  void WebApiListAndRefusedKey() {
    LoopbackWebApi api;
    api.body = R"({"response":{"servers":[{"addr":"10.0.0.5:27015","name":"a"},{"addr":"10.0.0.6:27016"},
                   {"addr":"bad"},{"addr":"10.0.0.5:27015"}]}})";
    MasterWindow window;
    window.Command().SetWebApiBase(api.Base());
    window.ImportFrom(1, [](TForm8& form) {
      form.Edit3()->setText(QStringLiteral("SECRET"));
      form.Edit2()->setText(QStringLiteral("\\appid\\10"));
      form.SpinEdit1()->setValue(100);
    });
    QVERIFY(window.WaitForEnd());
    QCOMPARE(window.Message(), QStringLiteral("Idle..."));
    QCOMPARE(window.Form().Table().Count(), 2);
    QCOMPARE(window.Form().Table().Address(1), std::string("10.0.0.6:27016"));
    QCOMPARE(api.requestLines.size(), 1);
    QVERIFY2(api.requestLines[0].contains(QStringLiteral("?key=SECRET&filter=%5Cappid%5C10&limit=100")),
             qPrintable(api.requestLines[0]));

    api.status = 403;
    api.body = "<html>Forbidden</html>";
    window.Form().Importfrommasterserver1Click();
    QVERIFY(window.WaitForEnd());
    QCOMPARE(window.Message(), QStringLiteral("Error: Web API refused the key (HTTP 403)"));
    QCOMPARE(window.Form().Table().Count(), 2);

    api.status = 200;
    api.body = "{\"response\":";
    window.Form().Importfrommasterserver1Click();
    QVERIFY(window.WaitForEnd());
    QVERIFY2(window.Message().startsWith(QStringLiteral("Error: Web API reply is not JSON")),
             qPrintable(window.Message()));
  }

  // A master that cannot be found or reached ends at once with a message.
  void UnreachableMaster() {
    MasterWindow window;
    window.ImportFrom(1, [](TForm8& form) { form.Edit1()->setText(QStringLiteral("no port:")); });
    QVERIFY(window.WaitForEnd());
    QVERIFY2(window.Message().startsWith(QStringLiteral("Error: Master server address is not host:port")),
             qPrintable(window.Message()));
    QCOMPARE(window.Form().Table().Count(), 0);
  }
};

QTEST_MAIN(MasterImportTest)
#include "MasterImportTest.moc"
