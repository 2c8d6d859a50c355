// A changed list at the end: kept by "Exit" and the close box unless it is what was last
// opened, saved or loaded at start, and named by the next start.

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

#include "core/lists/ListFile.h"
#include "core/table/ListChangeTracker.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

enum class Step { kNothing, kPaste, kPasteThenSave, kOpen, kDelete, kQuietRefresh, kCheckCells };

std::vector<fs::path> KeptLists(const fs::path& folder) {
  std::vector<fs::path> kept;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == ".vnx") kept.push_back(entry.path());
  return kept;
}

void Paste(TForm1& form, const char* text) {
  QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
  QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

class KeptListTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_files;
  fs::path m_list;

  fs::path Files() const { return m_files.path().toStdString(); }

 private slots:
  void initTestCase() {
    ServerTable table;
    table.AppendRow(MakeRow("10.0.0.1:27015", "one", "1/8", "home"));
    table.AppendRow(MakeRow("10.0.0.2:27015", "two", "2/8", " "));
    m_list = Files() / "start.vnx";
    Spit(m_list, FormatRecordLayout(table));
  }

  void OnlyAChangedListIsKept_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("kept");
    QTest::newRow("as loaded at start") << int(Step::kNothing) << false << false;
    QTest::newRow("pasted rows, Exit") << int(Step::kPaste) << false << true;
    QTest::newRow("pasted rows, close box") << int(Step::kPaste) << true << true;
    QTest::newRow("pasted, then saved") << int(Step::kPasteThenSave) << false << false;
    QTest::newRow("pasted, then a file opened") << int(Step::kOpen) << false << false;
    QTest::newRow("a row deleted") << int(Step::kDelete) << true << true;
    QTest::newRow("cells of an automatic refresh") << int(Step::kQuietRefresh) << false << false;
    QTest::newRow("cells of a check") << int(Step::kCheckCells) << false << true;
  }

  void OnlyAChangedListIsKept() {
    QFETCH(int, step);
    QFETCH(bool, closeBox);
    QFETCH(bool, kept);
    QTemporaryDir state;
    const fs::path folder = fs::path(state.path().toStdString()) / "vantrix";
    ScriptedApplication app({m_list.string()});
    TForm1& form = app.Form();
    form.KeepUnsavedListsIn(folder);
    QVERIFY(Activate(form));
    QCOMPARE(app.Table().Count(), 2);
    switch (static_cast<Step>(step)) {
      case Step::kNothing:
        break;
      case Step::kPaste:
        Paste(form, "10.0.0.3:27015\r\n10.0.0.4:27015|eu\r\n");
        break;
      case Step::kPasteThenSave:
        Paste(form, "10.0.0.3:27015\r\n");
        app.script->Answer(Files() / "saved.vnx", 1);
        QVERIFY(app.Trigger("Saveto1"));
        break;
      case Step::kOpen:
        Paste(form, "10.0.0.3:27015\r\n");
        app.script->Answer(m_list, 1);
        QVERIFY(app.Trigger("Openfromfile1"));
        break;
      case Step::kDelete:
        app.Table().SetSelectedIndex(1);
        QVERIFY(app.Trigger("DeleteserverF61"));
        QCOMPARE(app.Table().Count(), 1);
        break;
      case Step::kQuietRefresh: {
        const ListChangeTracker::QuietScope refresh(form.Changes());
        app.Table().SetCell(0, kPingCell, "15");
        app.Table().SetCell(0, kWCell, "+");
        break;
      }
      case Step::kCheckCells:
        app.Table().SetCell(0, kWCell, "-");
        break;
    }
    if (closeBox) {
      form.close();
    } else {
      QVERIFY(app.Trigger("Exit1"));
    }
    QCOMPARE(app.recorded.endCount, 1);
    QVERIFY(app.Errors().empty());
    const std::vector<fs::path> lists = KeptLists(folder);
    QCOMPARE(int(lists.size()), kept ? 1 : 0);
    if (!kept) return;
    // The rows as they were at the end, in the record layout.
    QCOMPARE(Slurp(lists.front()), FormatRecordLayout(app.Table()));
    QVERIFY(lists.front().filename().string().starts_with("unsaved-"));
  }

  void TheNextStartNamesTheKeptListOnce() {
    QTemporaryDir state;
    const fs::path folder = fs::path(state.path().toStdString()) / "vantrix";
    fs::path kept;
    {
      ScriptedApplication first;
      first.Form().KeepUnsavedListsIn(folder);
      QVERIFY(Activate(first.Form()));
      Paste(first.Form(), "10.0.0.7:27015\r\n10.0.0.8:27015\r\n10.0.0.9:27015\r\n");
      QVERIFY(first.Trigger("Exit1"));
      QCOMPARE(int(KeptLists(folder).size()), 1);
      kept = KeptLists(folder).front();
    }
    {
      // A start whose loading failed keeps its error; the note waits.
      ScriptedApplication failed({(Files() / "missing.txt").string()});
      failed.Form().KeepUnsavedListsIn(folder);
      QVERIFY(Activate(failed.Form()));
      QVERIFY(failed.Message().startsWith(QStringLiteral("Error: Cannot open file (")));
    }
    {
      ScriptedApplication second;
      second.Form().KeepUnsavedListsIn(folder);
      QVERIFY(Activate(second.Form()));
      QCOMPARE(second.Message(), QStringLiteral("Unsaved list of 3 servers kept in ") +
                                     QString::fromStdString(kept.string()) +
                                     QStringLiteral(" (F3 opens it)"));
      QCOMPARE(second.Table().Count(), 0);
      // F3 on it brings the rows back; its message replaces the note.
      second.script->Answer(kept, 1);
      QVERIFY(second.Trigger("Openfromfile1"));
      QCOMPARE(second.Table().Count(), 3);
      QCOMPARE(second.Message(), QStringLiteral("Idle..."));
    }
    ScriptedApplication third;
    third.Form().KeepUnsavedListsIn(folder);
    QVERIFY(Activate(third.Form()));
    QCOMPARE(third.Message(), QStringLiteral("Vantrix 1.19 loaded"));
  }
};

QTEST_MAIN(KeptListTest)
#include "KeptListTest.moc"
