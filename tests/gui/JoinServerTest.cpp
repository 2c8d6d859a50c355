#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "core/table/RowCheckFacts.h"
#include "gui/FakeServerProcess.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/widgets/PasswordDialog.h"
#include "gui/widgets/SettingLineEdit.h"

using namespace vantrix;
using vantrix::test::Activate;
using vantrix::test::FakeServerProcess;
using vantrix::test::RecordedApplication;

namespace {

using Words = std::vector<std::string>;

// Answers the password dialog (echo off, "Join" and "Cancel"): types `password` and joins,
// or cancels when it is empty.
class PasswordAnswerer final : public DialogRunner {
 public:
  PasswordAnswerer(QString password, int& asked) : m_password(std::move(password)), m_asked(asked) {}
  int Exec(QDialog& dialog) override {
    auto* ask = qobject_cast<PasswordDialog*>(&dialog);
    if (!ask || ask->Edit()->echoMode() != QLineEdit::Password || ask->JoinButton()->text() != u"Join" ||
        ask->CancelButton()->text() != u"Cancel")
      return QDialog::Rejected;
    ++m_asked;
    ask->Edit()->setText(m_password);
    (m_password.isEmpty() ? ask->CancelButton() : ask->JoinButton())->click();
    return dialog.result();
  }

 private:
  QString m_password;
  int& m_asked;
};

}  // namespace

class JoinServerTest : public QObject {
  Q_OBJECT

  RecordedApplication m_recorded;
  std::vector<Words> m_started;  // program and arguments of each start
  int m_asked = 0;

  TForm1& Form() { return m_recorded.app->Form1(); }
  void SetCommand(const char* command) {
    m_recorded.app->Form5().Edit4()->setText(QString::fromUtf8(command));
  }
  void Trigger(const char* name) { Form().MenuAction(QString::fromLatin1(name))->trigger(); }
  void Answer(const char* password) {
    m_recorded.app->SetDialogRunner(std::make_unique<PasswordAnswerer>(QString::fromUtf8(password), m_asked));
  }
  int Select(const std::string& address) {
    const int position = Form().Table().AppendRow(address);
    Form().Table().SetSelectedIndex(position);
    return position;
  }
  std::string Message() { return Form().Status().Panel(2); }

 private slots:
  void init() {
    m_started.clear();
    m_asked = 0;
    Form().Table().Clear();
    Form().Status().SetMessage("");
    SetCommand("xdg-open %l");
    Form().SetDetachedStarter([this](const std::string& program, const Words& arguments) {
      m_started.push_back({program});
      m_started.back().insert(m_started.back().end(), arguments.begin(), arguments.end());
      return true;
    });
  }

  void JoinStartsTheCommandWithTheGamePortOrReportsIt() {
    Trigger("Joinserver1");  // no selection: nothing
    const int position = Select("10.0.0.5:27015");
    Form().CheckFacts().NoteGamePort(Form().Table().IdOf(position), "10.0.0.5:27015", 27016, 27015);
    SetCommand("\"my game\" +connect %a \"-name=%h;x\"");
    Trigger("Joinserver2");  // the list's context menu
    QCOMPARE(m_started, (std::vector<Words>{{"my game", "+connect", "10.0.0.5:27016", "-name=10.0.0.5;x"}}));
    QCOMPARE(Message(), std::string());
    SetCommand("run \"%h");
    Trigger("Joinserver1");
    QCOMPARE(m_started.size(), size_t{1});
    QCOMPARE(Message(), std::string("Error: Cannot start (run \"%h)"));
    Form().SetDetachedStarter({});  // the real one, with a program that is nowhere
    SetCommand("/nonexistent/vantrix-join-test %a");
    Trigger("Joinserver1");
    QCOMPARE(Message(), std::string("Error: Cannot start (/nonexistent/vantrix-join-test %a)"));
  }

  void APasswordServerAsksFirstAndCancelJoinsNothing() {
    Form().Table().SetCell(Select("example.org"), kPCell, "+");
    Answer("");
    Trigger("Joinserver1");
    QCOMPARE(m_asked, 1);
    QVERIFY(m_started.empty());
    Answer("p w/\xC3\xA4");
    Trigger("Joinserver1");
    QCOMPARE(m_started,
             (std::vector<Words>{{"xdg-open", "steam://connect/example.org:27015/p%20w%2F%C3%A4"}}));
  }

  // Only F2..F12 reach the menu from the in-place editor.
  void TheShortcutsDoNothingWhileTheAddressIsEdited() {
    Select("10.0.0.5:27015");
    QVERIFY(Activate(Form()));
    QTreeView* view = Form().ListView1();
    view->edit(view->model()->index(0, 0));
    QLineEdit* editor = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(
        (editor = view->findChild<QLineEdit*>(QStringLiteral("ListView1Editor"))) && editor->isVisible(),
        3000);
    editor->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(editor, Qt::Key_J, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(m_started.empty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  }

  // F9 against a simulated server of today, then the two keys: both go where it answered.
  void AfterACheckOfASimulatedServerTheKeysJoinAndCopy() {
    FakeServerProcess servers(1, {QStringLiteral("--current")});
    const QString error = servers.Start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    Answer("pw");
    m_recorded.app->Form5().ComboBox1()->setCurrentIndex(1);  // "Current"
    const std::string address = "127.0.0.1:" + std::to_string(servers.BasePort());
    Select(address);
    QVERIFY(Activate(Form()));
    QTest::keyClick(Form().ListView1(), Qt::Key_F9);
    QCOMPARE(Form().Table().Cell(0, kWCell), std::string("+"));
    const bool password = Form().Table().Cell(0, kPCell) == "+";
    QTest::keyClick(Form().ListView1(), Qt::Key_J, Qt::ControlModifier);
    QTest::keyClick(Form().ListView1(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    m_recorded.app->Form5().ComboBox1()->setCurrentIndex(0);
    QCOMPARE(m_started,
             (std::vector<Words>{{"xdg-open", "steam://connect/" + address + (password ? "/pw" : "")}}));
    QCOMPARE(m_asked, password ? 1 : 0);
    QCOMPARE(QGuiApplication::clipboard()->text().toStdString(), "steam://connect/" + address);
  }
};

QTEST_MAIN(JoinServerTest)
#include "JoinServerTest.moc"
