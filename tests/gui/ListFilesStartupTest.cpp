// The list files named as program arguments, loaded when the main window is first shown.

#include <filesystem>
#include <string>
#include <vector>

#include <QSignalSpy>
#include <QTest>

#include "core/util/Texts.h"
#include "gui/ListFilesTestSupport.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

// a.txt in the plain layout with an empty line, b.VNX with one whole record.
struct StartupFiles {
  TempDir dir;
  fs::path a = dir / "a.txt";
  fs::path b = dir / "b.VNX";
  StartupFiles() {
    Spit(a, "10.0.0.1:27015|alpha\r\n\r\n10.0.0.2:27016\r\n");
    Spit(b, "10.0.0.3:27017\r\nGamma\r\naztec\r\n77\r\n3/16\r\nmine\r\n+\r\nL\r\nD\r\n \r\n");
  }
};

// Shows the main window, which runs the start-up once; returns how often it said it had.
int ShowOnce(TForm1& form) {
  QSignalSpy done(&form, &TForm1::StartupDone);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return -1;
  form.hide();
  form.show();  // a second show runs nothing again
  return static_cast<int>(done.count());
}

std::vector<std::string> StartupRows() {
  return {"10.0.0.1:27015", "10.0.0.2:27016", "10.0.0.3:27017"};
}

}  // namespace

class ListFilesStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void ArgumentsAreLoadedInOrderEachInItsLayout() {
    StartupFiles files;
    InFolder inside(files.dir.Path());
    // "servers" holds no "." and is skipped, although a file of that name exists here.
    Spit(files.dir / "servers", "192.0.2.99:1\r\n");
    ScriptedApplication app({files.a.string(), "servers", files.b.string()});
    QCOMPARE(app.Table().Count(), 0);  // nothing before the first show
    QCOMPARE(ShowOnce(app.Form()), 1);

    QCOMPARE(Addresses(app.Table()), StartupRows());
    const std::vector<QStringList> rows = ViewRows(app.Form());
    QCOMPARE(rows, Shown(app.Table()));
    QCOMPARE(rows[0][5], QStringLiteral("alpha"));
    QCOMPARE(rows[1][5], QStringLiteral(" "));
    QCOMPARE(rows[2], (QStringList{QStringLiteral("10.0.0.3:27017"), QStringLiteral("Gamma"),
                                   QStringLiteral("aztec"), QStringLiteral("77"), QStringLiteral("3/16"),
                                   QStringLiteral("mine"), QStringLiteral("+"), QStringLiteral("L"),
                                   QStringLiteral("D"), QStringLiteral(" ")}));
    QCOMPARE(app.Message(), QString::fromLatin1(kLoadedText));
    QCOMPARE(app.Form().Status().Panel(3), std::string(kLoadedText));
    QVERIFY(app.Errors().empty());
    QVERIFY(app.script->asked.empty());
    QCOMPARE(app.Table().SortColumn(), -1);  // loaded rows are not sorted
  }

  void LoadingStopsAtAFileThatCannotBeOpened() {
    StartupFiles files;
    const fs::path missing = files.dir / "missing.txt";
    ScriptedApplication app({files.a.string(), missing.string(), files.b.string()});
    QCOMPARE(ShowOnce(app.Form()), 1);
    QCOMPARE(Addresses(app.Table()), (std::vector<std::string>{"10.0.0.1:27015", "10.0.0.2:27016"}));
    QCOMPARE(app.Message(), QString::fromStdString("Error: Cannot open file (" + missing.string() + ")"));
    QVERIFY(app.Errors().empty());
  }

  void TheFirstArgumentFailingLoadsNothing() {
    StartupFiles files;
    ScriptedApplication app({(files.dir / "gone.vnx").string(), files.a.string()});
    QCOMPARE(ShowOnce(app.Form()), 1);
    QCOMPARE(app.Table().Count(), 0);
    QVERIFY(app.Message().startsWith(QStringLiteral("Error: Cannot open file (")));
  }

  void ArgumentsAreRawBytes() {
    StartupFiles files;
    // A file name that is not UTF-8 reaches the file system as it came.
    const std::string name = (files.dir.Path().string() + "/caf\xe9.txt");
    Spit(fs::path(name), "10.0.0.9:27015\r\n");
    const std::string missing = files.dir.Path().string() + "/\xff\xfe.vnx";
    ScriptedApplication app({name, missing});
    QCOMPARE(ShowOnce(app.Form()), 1);
    QCOMPARE(Addresses(app.Table()), (std::vector<std::string>{"10.0.0.9:27015"}));
    QCOMPARE(app.Form().Status().Panel(3), "Error: Cannot open file (" + missing + ")");
  }

  void AFolderAmongTheArgumentsStopsTheLoadingThere() {
    StartupFiles files;
    const fs::path folder = files.dir / "folder.d";
    fs::create_directory(folder);
    ScriptedApplication app({files.a.string(), folder.string(), files.b.string()});
    QCOMPARE(ShowOnce(app.Form()), 1);  // the start-up still completes
    QVERIFY(app.Errors().empty());
    QCOMPARE(app.Form().Status().Panel(3), "Error: Cannot open file (" + folder.string() + ")");
    QCOMPARE(Addresses(app.Table()), (std::vector<std::string>{"10.0.0.1:27015", "10.0.0.2:27016"}));
    QVERIFY(!app.Table().InUpdate());
    QCOMPARE(ViewRows(app.Form()), Shown(app.Table()));
  }

  void NoArgumentsLeaveTheStartText() {
    ScriptedApplication app;
    QCOMPARE(ShowOnce(app.Form()), 1);
    QCOMPARE(app.Table().Count(), 0);
    QCOMPARE(app.Message(), QString::fromLatin1(kLoadedText));
  }
};

QTEST_MAIN(ListFilesStartupTest)
#include "ListFilesStartupTest.moc"
