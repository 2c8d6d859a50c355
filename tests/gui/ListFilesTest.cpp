// New, Open, Import and Save through the menu, with the file dialogs answered by a script.

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "core/lists/FileDialogs.h"
#include "core/lists/ListFile.h"
#include "gui/ListFilesTestSupport.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

// What the panel and the table looked like when a posted call got its turn.
struct Seen {
  bool ran = false;
  QString message;
  int count = -1;
  bool inUpdate = false;
};

void WatchNextTurn(ScriptedApplication& app, Seen& seen) {
  QTimer::singleShot(0, &app.Form(), [&app, &seen] {
    seen = {true, app.Message(), app.Table().Count(), app.Table().InUpdate()};
  });
}

void Fill(ServerTable& table, int rows) {
  for (int i = 0; i < rows; ++i)
    table.AppendRow(
        MakeRow("192.0.2." + std::to_string(i) + ":27015", "old " + std::to_string(i), "1/8", "c"));
}

// Texts a list file holds: printable bytes, high bytes of other encodings, "|", spaces,
// and now and then the bytes that would break a line or end the file.
std::string RandomText(std::mt19937& random, bool breaking) {
  static const std::string kAlphabet = "abcXYZ019 .:|-_/+\x80\xe9\xff\xd0\xb0";
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  std::string text;
  for (int n = length(random); n > 0; --n) text += kAlphabet[pick(random)];
  if (breaking && random() % 4 == 0) {
    static const char kBreakers[] = {'\r', '\n', '\x1a'};
    text.insert(text.size() / 2, 1, kBreakers[random() % 3]);
  }
  return text;
}

std::vector<ServerRow> RandomRows(unsigned seed, int count, bool addressBars) {
  std::mt19937 random(seed);
  std::vector<ServerRow> rows;
  for (int i = 0; i < count; ++i) {
    ServerRow row;
    std::string address = "10.1." + std::to_string(i) + "." + RandomText(random, false);
    if (!addressBars) std::erase(address, '|');
    row.address = address;
    for (CellText& cell : row.cells) cell = RandomText(random, true);
    if (i % 5 == 0) row.cells[kPingCell] = " ";
    rows.push_back(row);
  }
  return rows;
}

// A cell as it must come back from a file: the three line-breaking bytes become spaces.
std::string Mended(std::string text) {
  for (char& byte : text) {
    if (byte == '\r' || byte == '\n' || byte == '\x1a') byte = ' ';
  }
  return text;
}

// The texts a label showed each time it was painted.
class PaintedTexts : public QObject {
 public:
  explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
  QStringList texts;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_label && event->type() == QEvent::Paint) texts << m_label->text();
    return false;
  }

 private:
  QLabel* m_label;
};

}  // namespace

class ListFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenRecordFileShowsItsRowsAfterOneYield() {
    ScriptedApplication app;
    Fill(app.Table(), 2);
    const fs::path path = DataDir() / "lists" / "records.vnx";
    app.script->Answer(path, 1);
    Seen seen;
    WatchNextTurn(app, seen);
    QVERIFY(app.Trigger("Openfromfile1"));

    // The one yield came after the message and before the first record, inside the bracket.
    QVERIFY(seen.ran);
    QCOMPARE(seen.message, QString::fromStdString("Processing file " + path.string()));
    QCOMPARE(seen.count, 0);
    QVERIFY(seen.inUpdate);

    QCOMPARE(app.Message(), QStringLiteral("Idle..."));
    QVERIFY(!app.Table().InUpdate());
    QVERIFY(app.Errors().empty());
    // The old rows are gone; the file's three records are shown whole.
    ServerTable expected;
    ParseRecordLayout(Slurp(path), expected);
    QCOMPARE(expected.Count(), 3);
    QCOMPARE(ViewRows(app.Form()), Shown(expected));
    const std::vector<QStringList> rows = ViewRows(app.Form());
    QCOMPARE(rows[0][0], QStringLiteral("10.0.0.1:27015"));
    QCOMPARE(rows[0][1], QStringLiteral("Alpha server"));
    QCOMPARE(rows[0][9], QStringLiteral("P"));
    QCOMPARE(rows[1][2], QString());             // an empty line inside a record is an empty cell
    QCOMPARE(rows[2][3], QStringLiteral("77"));  // the last record is cut short...
    QCOMPARE(rows[2][4], QString());             // ...and its missing cells are empty
    QCOMPARE(rows[2][9], QString());
    QCOMPARE(app.script->asked.size(), size_t(1));
    QCOMPARE(app.script->asked[0].name, std::string("OpenDialog1"));
    QCOMPARE(app.script->asked[0].title, std::string("Open file"));
  }

  void TheProcessingMessageIsPaintedBeforeTheRecordsAreRead() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    PaintedTexts painted(form.StatusPanel(3));
    const fs::path path = DataDir() / "lists" / "records.vnx";
    app.script->Answer(path, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(painted.texts, QStringList{QString::fromStdString("Processing file " + path.string())});
    QTRY_VERIFY(painted.texts.size() == 2);
    QCOMPARE(painted.texts.back(), QStringLiteral("Idle..."));
  }

  void OpenPlainFileKeepsEmptyLinesAndDoesNotYield() {
    ScriptedApplication app;
    const fs::path path = DataDir() / "lists" / "plain.txt";
    app.script->Answer(path, 2);
    Seen seen;
    WatchNextTurn(app, seen);
    QVERIFY(app.Trigger("Openfromfile1"));
    QVERIFY(!seen.ran);  // nothing else ran while the file was read
    QCOMPARE(app.Message(), QStringLiteral("Idle..."));
    ServerTable expected;
    ParsePlainLayout(Slurp(path), expected, false);
    QCOMPARE(expected.Count(), 7);
    QCOMPARE(ViewRows(app.Form()), Shown(expected));
    const std::vector<QStringList> rows = ViewRows(app.Form());
    QCOMPARE(rows[0][0], QStringLiteral("10.0.0.1:27015"));
    QCOMPARE(rows[0][5], QStringLiteral("clan server|eu"));
    QCOMPARE(rows[1][0], QString());  // an empty line is a row with an empty address
    QCOMPARE(rows[1][1], QStringLiteral(" "));
    QCOMPARE(rows[3][0], QString());
    QCOMPARE(rows[3][5], QStringLiteral("x"));
    QCoreApplication::processEvents();
    QVERIFY(seen.ran);
    QCOMPARE(seen.count, 7);
  }

  void LayoutFollowsTheConfirmedFilterNotTheExtension() {
    ScriptedApplication app;
    const fs::path records = DataDir() / "lists" / "records.vnx";
    const fs::path plain = DataDir() / "lists" / "plain.txt";
    for (int filter : {2, 3}) {
      app.script->Answer(records, filter);
      QVERIFY(app.Trigger("Openfromfile1"));
      ServerTable expected;
      ParsePlainLayout(Slurp(records), expected, false);
      QCOMPARE(ViewRows(app.Form()), Shown(expected));
    }
    app.script->Answer(plain, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    ServerTable grouped;
    ParseRecordLayout(Slurp(plain), grouped);
    QCOMPARE(ViewRows(app.Form()), Shown(grouped));
    QCOMPARE(app.Table().Count(), 1);  // seven lines make one record
  }

  void CancelledDialogsChangeNothing() {
    ScriptedApplication app;
    Fill(app.Table(), 3);
    app.Form().SetStatus(3, "before");
    const std::vector<QStringList> before = ViewRows(app.Form());
    for (const char* command :
         {"Openfromfile1", "Importfromfile1", "Saveto1", "Orbisk20inifile1", "txtTrelvanox1421"}) {
      app.script->Cancel();
      QVERIFY(app.Trigger(command));
      QCOMPARE(ViewRows(app.Form()), before);
      QCOMPARE(app.Message(), QStringLiteral("before"));
    }
    // A dialog that closes with an empty name is a cancel too.
    app.script->Answer(fs::path(), 2);
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(ViewRows(app.Form()), before);
    QCOMPARE(app.script->asked.size(), size_t(6));
    QVERIFY(app.Errors().empty());
    // None of them remembered a filter.
    app.script->Cancel();
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(app.script->asked.back().preselectedFilter, 1);
  }

  void OpenOfAMissingFileEmptiesTheTableAndSaysSo() {
    ScriptedApplication app;
    TempDir dir;
    Fill(app.Table(), 2);
    const fs::path missing = dir / "missing.vnx";
    app.script->Answer(missing, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(app.Table().Count(), 0);
    QCOMPARE(app.Form().ListView1()->model()->rowCount(), 0);
    QCOMPARE(app.Message(), QString::fromStdString("Error: Cannot open file (" + missing.string() + ")"));
    QVERIFY(app.Errors().empty());
    // Import of it leaves the table as it is, with the same message.
    Fill(app.Table(), 2);
    app.Form().SetStatus(3, "before");
    app.script->Answer(missing, 2);
    QVERIFY(app.Trigger("Importfromfile1"));
    QCOMPARE(app.Table().Count(), 2);
    QCOMPARE(app.Message(), QString::fromStdString("Error: Cannot open file (" + missing.string() + ")"));
  }

  void SaveThenOpenGivesTheRecordsBack() {
    ScriptedApplication app;
    TempDir dir;
    const std::vector<ServerRow> rows = RandomRows(7, 40, true);
    for (const ServerRow& row : rows) app.Table().AppendRow(row);
    app.Table().AppendRow(MakeRow("", "nameless", "0/1", "empty address"));
    app.Form().SetStatus(3, "before");
    // The extension says plain; the filter says record, and the filter decides.
    const fs::path path = dir / "servers.txt";
    app.script->Answer(path, 1);
    QVERIFY(app.Trigger("Saveto1"));
    QCOMPARE(app.Message(), QStringLiteral("before"));  // no message on success
    QVERIFY(fs::file_size(path) > 0);
    QVERIFY(app.Trigger("NewF11"));
    QCOMPARE(app.Table().Count(), 0);

    app.script->Answer(path, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    QVERIFY(app.Errors().empty());
    ServerTable expected;
    for (ServerRow row : rows) {
      row.address = Mended(row.address.Str());
      for (CellText& cell : row.cells) cell = Mended(cell.Str());
      expected.AppendRow(row);
    }
    // An empty address is written as a blank, so the records after it stay in step.
    expected.AppendRow(MakeRow(" ", "nameless", "0/1", "empty address"));
    QCOMPARE(ViewRows(app.Form()), Shown(expected));
    for (int i = 0; i < expected.Count(); ++i) {
      QCOMPARE(app.Table().Address(i), expected.Address(i));
      for (int cell = 0; cell < kCellCount; ++cell)
        QCOMPARE(app.Table().Cell(i, cell), expected.Cell(i, cell));
    }
  }

  void SaveThenOpenPlainGivesTheAddressesBack() {
    for (int filter : {2, 3}) {
      ScriptedApplication app;
      TempDir dir;
      const std::vector<ServerRow> rows = RandomRows(11u + static_cast<unsigned>(filter), 30, false);
      for (const ServerRow& row : rows) app.Table().AppendRow(row);
      const fs::path path = dir / "servers.vnx";
      Spit(path, std::string(5000, 'x'));  // an older, longer file is replaced, not overwritten in part
      app.script->Answer(path, filter);
      QVERIFY(app.Trigger("Saveto1"));
      app.script->Answer(path, filter);
      QVERIFY(app.Trigger("Openfromfile1"));
      QCOMPARE(app.Table().Count(), static_cast<int>(rows.size()));
      for (int i = 0; i < app.Table().Count(); ++i) {
        QCOMPARE(app.Table().Address(i), Mended(rows[static_cast<size_t>(i)].address.Str()));
        for (int cell = 0; cell < kCellCount; ++cell) QCOMPARE(app.Table().Cell(i, cell), std::string(" "));
      }
      QCOMPARE(ViewRows(app.Form()), Shown(app.Table()));
    }
  }

  void ImportAppendsAndWritesNoMessage() {
    ScriptedApplication app;
    Fill(app.Table(), 2);
    const std::vector<QStringList> before = ViewRows(app.Form());
    app.Form().SetStatus(3, "before");
    const fs::path plain = DataDir() / "lists" / "plain.txt";
    const fs::path records = DataDir() / "lists" / "records.vnx";
    app.script->Answer(plain, 2);
    QVERIFY(app.Trigger("Importfromfile1"));
    app.script->Answer(records, 1);
    QVERIFY(app.Trigger("Importfromfile1"));
    app.script->Answer(plain, 3);
    QVERIFY(app.Trigger("Importfromfile1"));
    QCOMPARE(app.Message(), QStringLiteral("before"));
    QVERIFY(app.Errors().empty());

    ServerTable expected;
    Fill(expected, 2);
    ParsePlainLayout(Slurp(plain), expected, true);  // Import skips empty lines
    ParseRecordLayout(Slurp(records), expected);
    ParsePlainLayout(Slurp(plain), expected, true);
    QCOMPARE(expected.Count(), 2 + 5 + 3 + 5);
    const std::vector<QStringList> rows = ViewRows(app.Form());
    QCOMPARE(rows, Shown(expected));
    QCOMPARE(rows[0], before[0]);
    QCOMPARE(rows[2][0], QStringLiteral("10.0.0.1:27015"));
    QCOMPARE(rows[3][0], QStringLiteral("10.0.0.1"));  // no port is added
    // The same file twice holds every server twice.
    QCOMPARE(rows[2], rows[10]);
  }

  void SaveToAFolderSaysTheFileIsLocked() {
    ScriptedApplication app;
    TempDir dir;
    Fill(app.Table(), 2);
    const fs::path folder = dir / "folder.vnx";
    fs::create_directory(folder);
    Spit(folder / "inside", "kept");
    for (int filter : {1, 2}) {
      app.Form().SetStatus(3, "before");
      app.script->Answer(folder, filter);
      QVERIFY(app.Trigger("Saveto1"));
      QCOMPARE(app.Message(), QString::fromStdString("Error: File is locked (" + folder.string() + ")"));
      QVERIFY(fs::is_directory(folder));
      QCOMPARE(Slurp(folder / "inside"), std::string("kept"));
    }
    // A file in a folder that does not exist cannot be created either; nothing else appears.
    const fs::path nowhere = dir / "no" / "list.vnx";
    app.script->Answer(nowhere, 1);
    QVERIFY(app.Trigger("Saveto1"));
    QCOMPARE(app.Message(), QString::fromStdString("Error: File is locked (" + nowhere.string() + ")"));
    QVERIFY(!fs::exists(dir / "no"));
    QCOMPARE(app.Table().Count(), 2);
    QVERIFY(app.Errors().empty());
    QCOMPARE(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  }

  void AFolderOpenedAsAListIsAFileThatCannotBeOpened() {
    ScriptedApplication app;
    TempDir dir;
    const std::string cannotOpen = "Error: Cannot open file (" + dir.Path().string() + ")";
    Fill(app.Table(), 2);
    app.script->Answer(dir.Path(), 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    QVERIFY(app.Errors().empty());
    QCOMPARE(app.Message(), QString::fromStdString(cannotOpen));
    QCOMPARE(app.Table().Count(), 0);  // Open had emptied it before opening
    QVERIFY(!app.Table().InUpdate());

    // Import keeps the rows that were there, in either layout, and the list still follows.
    Fill(app.Table(), 3);
    for (int filter : {1, 2}) {
      app.Form().SetStatus(3, "before");
      app.script->Answer(dir.Path(), filter);
      QVERIFY(app.Trigger("Importfromfile1"));
      QCOMPARE(app.Table().Count(), 3);
      QCOMPARE(app.Message(), QString::fromStdString(cannotOpen));
      QVERIFY(!app.Table().InUpdate());
    }
    QVERIFY(app.Errors().empty());
    app.script->Answer(DataDir() / "lists" / "plain.txt", 2);
    QVERIFY(app.Trigger("Importfromfile1"));
    QCOMPARE(app.Table().Count(), 8);
    QCOMPARE(ViewRows(app.Form()), Shown(app.Table()));
  }

  void NewEmptiesTheTableWithoutAQuestion() {
    ScriptedApplication app;
    Fill(app.Table(), 4);
    app.Table().SetSelectedIndex(2);
    app.Form().SetStatus(3, "before");
    QVERIFY(app.Trigger("NewF11"));
    QCOMPARE(app.Table().Count(), 0);
    QCOMPARE(app.Table().SelectedIndex(), -1);
    QCOMPARE(app.Form().ListView1()->model()->rowCount(), 0);
    QCOMPARE(app.Message(), QStringLiteral("before"));
    QVERIFY(app.script->asked.empty());
    QVERIFY(app.recorded.dialogs->empty());
  }

  void EachDialogRemembersTheFilterConfirmedLast() {
    ScriptedApplication app;
    TempDir dir;
    const fs::path plain = DataDir() / "lists" / "plain.txt";
    const auto& asked = app.script->asked;
    app.script->Answer(plain, 2);
    QVERIFY(app.Trigger("Openfromfile1"));
    app.script->Answer(plain, 3);
    QVERIFY(app.Trigger("Importfromfile1"));  // shares Open's dialog
    app.script->Answer(dir / "a.vnx", 2);
    QVERIFY(app.Trigger("Saveto1"));  // its own
    app.script->Cancel();
    QVERIFY(app.Trigger("Openfromfile1"));
    app.script->Answer(dir / "b.vnx", 9);  // an index the dialog does not have counts as the first
    QVERIFY(app.Trigger("Saveto1"));
    // Plain lines gave empty addresses; the record layout writes them as blanks.
    std::vector<QStringList> savedRows = Shown(app.Table());
    for (QStringList& row : savedRows) {
      if (row[0].isEmpty()) row[0] = QStringLiteral(" ");
    }
    app.script->Cancel();
    QVERIFY(app.Trigger("Saveto1"));
    app.script->Answer(DataDir() / "imports" / "orbisk.ini", 2);
    QVERIFY(app.Trigger("Orbisk20inifile1"));
    app.script->Cancel();
    QVERIFY(app.Trigger("Orbisk20inifile1"));
    app.script->Cancel();
    QVERIFY(app.Trigger("txtTrelvanox1421"));

    const std::vector<std::pair<std::string, int>> expected{
        {"OpenDialog1", 1}, {"OpenDialog1", 2}, {"SaveDialog1", 1}, {"OpenDialog1", 3}, {"SaveDialog1", 2},
        {"SaveDialog1", 1}, {"OpenDialog2", 1}, {"OpenDialog2", 2}, {"OpenDialog3", 1}};
    QCOMPARE(asked.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      QCOMPARE(asked[i].name, expected[i].first);
      QCOMPARE(asked[i].preselectedFilter, expected[i].second);
    }
    // Each command asks the dialog it owns, with that dialog's own texts.
    QCOMPARE(asked[0].title, std::string("Open file"));
    QCOMPARE(asked[0].kind, FileDialogKind::kOpen);
    QCOMPARE(asked[0].filter,
             std::string("Файлы Vantrix (*.vnx)|*.vnx|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"));
    QCOMPARE(asked[0].defaultExtension, std::string("*.txt"));
    QCOMPARE(asked[2].title, std::string("Save file"));
    QCOMPARE(asked[2].kind, FileDialogKind::kSave);
    QCOMPARE(asked[2].filter, asked[0].filter);
    QCOMPARE(asked[6].title, std::string("Open file"));
    QCOMPARE(asked[6].filter, std::string("Файлы Orbisk (*.ini)|*.ini|Все файлы (*.*)|*.*"));
    QCOMPARE(asked[6].defaultExtension, std::string("*.ini"));
    QCOMPARE(asked[8].title, std::string("Open file"));
    QCOMPARE(asked[8].filter, std::string("Файлы Trelvanox (*.txt)|*.txt|Все файлы (*.*)|*.*"));
    QCOMPARE(asked[8].defaultExtension, std::string("*.txt"));
    // The file saved with the out-of-range index was written in the first filter's layout.
    ServerTable reread;
    ParseRecordLayout(Slurp(dir / "b.vnx"), reread);
    QCOMPARE(Shown(reread), savedRows);
  }

  void ShortcutsReachTheCommands() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ListView1()->setFocus();
    const fs::path records = DataDir() / "lists" / "records.vnx";
    app.script->Answer(records, 1);
    QTest::keyClick(form.ListView1(), Qt::Key_F3);
    QCOMPARE(app.Table().Count(), 3);
    app.script->Answer(records, 1);
    QTest::keyClick(form.ListView1(), Qt::Key_F5);
    QCOMPARE(app.Table().Count(), 6);
    TempDir dir;
    app.script->Answer(dir / "saved.vnx", 1);
    QTest::keyClick(form.ListView1(), Qt::Key_F4);
    ServerTable saved;
    ParseRecordLayout(Slurp(dir / "saved.vnx"), saved);
    QCOMPARE(saved.Count(), 6);
    QCOMPARE(Shown(saved), Shown(app.Table()));
    QTest::keyClick(form.ListView1(), Qt::Key_F2);
    QCOMPARE(app.Table().Count(), 0);
  }
};

QTEST_MAIN(ListFilesTest)
#include "ListFilesTest.moc"
