// A changed list at the end: kept by "Exit" and the close box unless it is what was last
// opened, saved or loaded at start, and named by the next start.

#include <filesystem>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

#include "core/lists/ListFile.h"
#include "core/lists/UnsavedLists.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

class KeptListTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  fs::path Dir() const { return m_dir.path().toStdString(); }

  // A window on start.vnx whose changed list is kept in Dir()/state.
  std::unique_ptr<ScriptedApplication> Start(std::vector<std::string> arguments,
                                             const char* paste = nullptr) {
    auto app = std::make_unique<ScriptedApplication>(std::move(arguments));
    app->Form().KeepUnsavedListsIn(Dir() / "state");
    if (!Activate(app->Form())) return nullptr;
    if (paste) {
      QGuiApplication::clipboard()->setText(QString::fromLatin1(paste));
      QTest::keyClick(app->Form().ListView1(), Qt::Key_V, Qt::ControlModifier);
    }
    return app;
  }

 private slots:
  void init() {
    fs::remove_all(Dir() / "state");
    ServerTable table;
    table.AppendRow(MakeRow("10.0.0.1:27015", "one", "1/8", "home"));
    Spit(Dir() / "start.vnx", FormatRecordLayout(table));
  }

  void OnlyAChangedListIsKept_data() {
    QTest::addColumn<QString>("paste");
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("kept");
    QTest::newRow("as loaded at start") << QString() << QStringLiteral("Exit1") << false;
    QTest::newRow("pasted, Exit") << QStringLiteral("10.0.0.3:27015\r\n") << QStringLiteral("Exit1") << true;
    QTest::newRow("pasted, close box") << QStringLiteral("10.0.0.3:27015\r\n") << QString() << true;
    QTest::newRow("pasted, saved") << QStringLiteral("10.0.0.3:27015\r\n") << QStringLiteral("Saveto1")
                                   << false;
    QTest::newRow("pasted, opened") << QStringLiteral("10.0.0.3:27015\r\n") << QStringLiteral("Openfromfile1")
                                    << false;
  }

  void OnlyAChangedListIsKept() {
    QFETCH(QString, paste);
    QFETCH(QString, then);
    QFETCH(bool, kept);
    auto app = Start({(Dir() / "start.vnx").string()}, paste.isEmpty() ? nullptr : qPrintable(paste));
    QVERIFY(app);
    app->script->Answer(Dir() / "start.vnx", 1);  // what Save and Open are given
    if (then.isEmpty()) {
      app->Form().close();
    } else {
      QVERIFY(app->Trigger(qPrintable(then)));
      if (then != QStringLiteral("Exit1")) QVERIFY(app->Trigger("Exit1"));
    }
    QCOMPARE(app->recorded.endCount, 1);
    const auto notice = UnsavedLists(Dir() / "state").TakeNotice();
    QCOMPARE(notice.has_value(), kept);
  }

  void TheNextStartNamesTheKeptListOnce() {
    Start({}, "10.0.0.7:27015\r\n10.0.0.8:27015\r\n")->Trigger("Exit1");
    fs::path kept;
    for (const auto& entry : fs::directory_iterator(Dir() / "state"))
      if (entry.path().extension() == ".vnx") kept = entry.path();
    QVERIFY(!kept.empty());
    // A start whose loading failed keeps its error; the note waits for the next one.
    QVERIFY(Start({(Dir() / "missing.txt").string()})->Message().startsWith(QStringLiteral("Error: ")));
    auto next = Start({});
    QCOMPARE(next->Message(), QStringLiteral("Unsaved list of 2 servers kept in ") +
                                  QString::fromStdString(kept.string()) + QStringLiteral(" (F3 opens it)"));
    next->script->Answer(kept, 1);
    QVERIFY(next->Trigger("Openfromfile1"));
    QCOMPARE(next->Table().Count(), 2);
    QCOMPARE(Start({})->Message(), QStringLiteral("Vantrix 1.19 loaded"));
  }
};

QTEST_MAIN(KeptListTest)
#include "KeptListTest.moc"
