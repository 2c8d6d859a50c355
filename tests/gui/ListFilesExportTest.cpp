// The exports to _list.txt, the imports of the other tools' files and the copy of an address
// to the clipboard, through the menu.

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTest>

#include "gui/ListFilesTestSupport.h"
#include "gui/text/ClipboardBytes.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

void FillExamples(ServerTable& table) {
  table.AppendRow(MakeRow("10.0.0.1:27015", "Alpha", "12/20", "eu"));
  table.AppendRow(ServerRow::Blank("10.0.0.2:27016"));  // never queried
  table.AppendRow(MakeRow("h\xe9te:1", "Caf\xe9 | bar", "0/8", "x|y"));
}

struct ExportCase {
  const char* command;
  std::string expected;
};

std::vector<ExportCase> ExportCases() {
  return {
      {"IPName1", "10.0.0.1:27015 - Alpha\r\n10.0.0.2:27016 -  \r\nh\xe9te:1 - Caf\xe9 | bar\r\n"},
      {"IPNamePlayers1",
       "10.0.0.1:27015 - Alpha - 12/20\r\n10.0.0.2:27016 -   -  \r\nh\xe9te:1 - Caf\xe9 | bar - 0/8\r\n"},
      {"IPComment1", "10.0.0.1:27015|eu\r\n10.0.0.2:27016| \r\nh\xe9te:1|x|y\r\n"},
      {"IPNamePlayersComment1",
       "10.0.0.1:27015 - Alpha - 12/20 - eu\r\n10.0.0.2:27016 -   -   -  \r\nh\xe9te:1 - Caf\xe9 | bar - 0/8 "
       "- x|y\r\n"},
  };
}

void SelectWithFocus(TForm1& form, int row) {
  form.ListView1()->selectionModel()->setCurrentIndex(
      form.Model().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::string ClipboardLatin1Bytes() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasFormat(QString::fromLatin1(kLatin1TextMime))) return {};
  return data->data(QString::fromLatin1(kLatin1TextMime)).toStdString();
}

}  // namespace

class ListFilesExportTest : public QObject {
  Q_OBJECT

 private slots:
  void EachExportWritesItsLinesToListTxtInTheWorkingFolder() {
    TempDir dir;
    InFolder inside(dir.Path());
    ScriptedApplication app;
    FillExamples(app.Table());
    app.Table().SetSelectedIndex(1);
    app.Form().SetStatus(3, "before");
    const std::vector<QStringList> before = ViewRows(app.Form());
    for (const ExportCase& exportCase : ExportCases()) {
      Spit(dir / "_list.txt", std::string(4000, 'o'));  // replaced, not appended to
      QVERIFY(app.Trigger(exportCase.command));
      QCOMPARE(Slurp(dir / "_list.txt"), exportCase.expected);
      QCOMPARE(app.Message(), QStringLiteral("before"));
      QCOMPARE(ViewRows(app.Form()), before);
      QCOMPARE(app.Table().SelectedIndex(), 1);
    }
    QVERIFY(app.Errors().empty());
    QVERIFY(app.script->asked.empty());  // no dialog: the name is fixed
  }

  void AnEmptyTableExportsAnEmptyFile() {
    TempDir dir;
    InFolder inside(dir.Path());
    ScriptedApplication app;
    for (const ExportCase& exportCase : ExportCases()) {
      Spit(dir / "_list.txt", "previous\r\n");
      QVERIFY(app.Trigger(exportCase.command));
      QVERIFY(fs::exists(dir / "_list.txt"));
      QCOMPARE(fs::file_size(dir / "_list.txt"), uintmax_t(0));
    }
  }

  void TheExportFollowsTheWorkingFolder() {
    TempDir first;
    TempDir second;
    ScriptedApplication app;
    FillExamples(app.Table());
    {
      InFolder inside(first.Path());
      QVERIFY(app.Trigger("IPName1"));
    }
    {
      InFolder inside(second.Path());
      QVERIFY(app.Trigger("IPComment1"));
    }
    QCOMPARE(Slurp(first / "_list.txt"), ExportCases()[0].expected);
    QCOMPARE(Slurp(second / "_list.txt"), ExportCases()[2].expected);
  }

  void GorvaneExportOpensBackWithItsComments() {
    TempDir dir;
    InFolder inside(dir.Path());
    ScriptedApplication app;
    FillExamples(app.Table());
    const std::vector<std::string> addresses = Addresses(app.Table());
    std::vector<std::string> comments;
    for (const ServerRow& row : app.Table().Rows()) comments.push_back(row.cells[kCommentCell].Str());
    QVERIFY(app.Trigger("IPComment1"));
    app.script->Answer(dir / "_list.txt", 2);
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(Addresses(app.Table()), addresses);
    for (int i = 0; i < app.Table().Count(); ++i) {
      QCOMPARE(app.Table().Cell(i, kCommentCell), comments[static_cast<size_t>(i)]);
      QCOMPARE(app.Table().Cell(i, kNameCell), std::string(" "));
    }
  }

  void AnExportThatCannotBeWrittenGoesToTheErrorReport() {
    TempDir dir;
    InFolder inside(dir.Path());
    ScriptedApplication app;
    FillExamples(app.Table());
    fs::create_directory(dir / "_list.txt");
    app.Form().SetStatus(3, "before");
    QVERIFY(app.Trigger("IPName1"));
    QCOMPARE(app.Errors().size(), size_t(1));
    QVERIFY(app.Errors()[0].find("_list.txt") != std::string::npos);
    QCOMPARE(app.Message(), QStringLiteral("before"));
    QCOMPARE(app.Table().Count(), 3);
    // The program goes on: the next export into a writable folder works.
    fs::remove(dir / "_list.txt");
    QVERIFY(app.Trigger("IPName1"));
    QCOMPARE(Slurp(dir / "_list.txt"), ExportCases()[0].expected);
    QCOMPARE(app.Errors().size(), size_t(1));
  }

  void OrbiskImportAppendsTheFavourites() {
    ScriptedApplication app;
    app.Table().AppendRow(MakeRow("192.0.2.1:1", "kept", "1/2", "c"));
    app.Form().SetStatus(3, "before");
    const fs::path path = DataDir() / "imports" / "orbisk.ini";
    for (int round = 0; round < 2; ++round) {
      app.script->Answer(path, 1);
      QVERIFY(app.Trigger("Orbisk20inifile1"));
    }
    QCOMPARE(Addresses(app.Table()),
             (std::vector<std::string>{"192.0.2.1:1", "10.0.0.1:27015", "10.0.0.2:b=27016", "10.0.0.1:27015",
                                       "10.0.0.2:b=27016"}));
    QCOMPARE(app.Table().Cell(0, kNameCell), std::string("kept"));
    for (int i = 1; i < app.Table().Count(); ++i) {
      for (int cell = 0; cell < kCellCount; ++cell) QCOMPARE(app.Table().Cell(i, cell), std::string(" "));
    }
    QCOMPARE(ViewRows(app.Form()), Shown(app.Table()));
    QCOMPARE(app.Message(), QStringLiteral("before"));
    QCOMPARE(app.script->asked[0].name, std::string("OpenDialog2"));

    TempDir dir;
    const fs::path missing = dir / "orbisk.ini";
    app.script->Answer(missing, 1);
    QVERIFY(app.Trigger("Orbisk20inifile1"));
    QCOMPARE(app.Message(), QString::fromStdString("File locked: " + missing.string()));
    QCOMPARE(app.Table().Count(), 5);
    QVERIFY(app.Errors().empty());
  }

  void TrelvanoxImportAppendsItsServerLines() {
    ScriptedApplication app;
    app.Form().SetStatus(3, "before");
    app.script->Answer(DataDir() / "imports" / "trelvanox.txt", 2);
    QVERIFY(app.Trigger("txtTrelvanox1421"));
    QCOMPARE(Addresses(app.Table()), (std::vector<std::string>{"10.0.0.1:27015", "10.0.0.2:27016", "ame=x",
                                                               "", "", "10.0.0.3:27017"}));
    QCOMPARE(ViewRows(app.Form()), Shown(app.Table()));
    QCOMPARE(app.Message(), QStringLiteral("before"));
    QCOMPARE(app.script->asked[0].name, std::string("OpenDialog3"));

    TempDir dir;
    const fs::path missing = dir / "servers.txt";
    app.script->Answer(missing, 1);
    QVERIFY(app.Trigger("txtTrelvanox1421"));
    QCOMPARE(app.Message(), QString::fromStdString("File is locked: " + missing.string()));
    QCOMPARE(app.Table().Count(), 6);
    // A folder named as the file is a file that cannot be opened; rows stay.
    app.script->Answer(dir.Path(), 1);
    QVERIFY(app.Trigger("txtTrelvanox1421"));
    QVERIFY(app.Errors().empty());
    QCOMPARE(app.Message(), QString::fromStdString("File is locked: " + dir.Path().string()));
    QCOMPARE(app.Table().Count(), 6);
  }

  void ClipboardGetsTheFocusedRowsAddress() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    form.Table().AppendRow(ServerRow::Blank("10.0.0.1:27015"));
    form.Table().AppendRow(ServerRow::Blank("10.0.0.2:27016"));
    form.Table().AppendRow(ServerRow::Blank("10.0.0.3:27017"));
    QClipboard* clipboard = QGuiApplication::clipboard();

    // No selection: nothing happens, even with a row holding the focus.
    clipboard->setText(QStringLiteral("before"));
    form.ListView1()->selectionModel()->setCurrentIndex(form.Model().index(2, 0),
                                                        QItemSelectionModel::NoUpdate);
    form.SetStatus(3, "quiet");
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(clipboard->text(), QStringLiteral("before"));
    QCOMPARE(app.Message(), QStringLiteral("quiet"));

    SelectWithFocus(form, 1);
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(clipboard->text(), QStringLiteral("10.0.0.2:27016"));  // no line end, nothing else

    // Selected and focused rows apart: the focused row's address goes.
    form.ListView1()->selectionModel()->setCurrentIndex(form.Model().index(2, 3),
                                                        QItemSelectionModel::NoUpdate);
    QCOMPARE(form.Table().SelectedIndex(), 1);
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(clipboard->text(), QStringLiteral("10.0.0.3:27017"));

    // No row with the focus: the selected row's.
    form.ListView1()->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    QCOMPARE(form.Table().SelectedIndex(), 1);
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(clipboard->text(), QStringLiteral("10.0.0.2:27016"));
    QCOMPARE(app.Message(), QStringLiteral("quiet"));
  }

  void ClipboardKeepsTheAddressBytes() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    const std::string latin1 = "caf\xe9.example:27015";
    const std::string utf8 = "\xd1\x81\xd0\xb5\xd1\x80\xd0\xb2\xd0\xb5\xd1\x80:27015";
    form.Table().AppendRow(ServerRow::Blank(latin1));
    form.Table().AppendRow(ServerRow::Blank(utf8));
    QClipboard* clipboard = QGuiApplication::clipboard();

    SelectWithFocus(form, 0);
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(ClipboardLatin1Bytes(), latin1);
    QCOMPARE(clipboard->text(), QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())));

    SelectWithFocus(form, 1);
    QVERIFY(app.Trigger("Saveselectedtoclipboard1"));
    QCOMPARE(clipboard->text(), QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    QCOMPARE(clipboard->text().toUtf8().toStdString(), utf8);
    QVERIFY(ClipboardLatin1Bytes().empty());  // valid UTF-8 is offered as text only
    QVERIFY(app.Errors().empty());
  }

  void ClipboardWriteReportsAMissingClipboard() {
    QVERIFY(!WriteClipboardBytes(nullptr, "10.0.0.1:27015"));
    QVERIFY(WriteClipboardBytes(QGuiApplication::clipboard(), "10.0.0.1:27015"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("10.0.0.1:27015"));
  }

  void CtrlCCopiesTheAddressNotTheCell() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    form.Table().AppendRow(MakeRow("10.0.0.7:27015", "Name", "1/2", "c"));
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.ListView1()->setFocus();
    // The focus on the name cell: the view's own copy would take that cell.
    form.ListView1()->selectionModel()->setCurrentIndex(
        form.Model().index(0, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(form.ListView1(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("10.0.0.7:27015"));
  }
};

QTEST_MAIN(ListFilesExportTest)
#include "ListFilesExportTest.moc"
