// Odd files through the window: FIFOs where a list or config.ini should be, a folder given
// as a list file, a file that vanishes after it was chosen, a line of a hundred megabytes
// and a file of NUL bytes. The window never hangs or crashes, says what happened, and
// shows what it read.

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include "core/settings/ConfigFile.h"
#include "core/settings/Settings.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/Unit5.h"
#include "gui/model/ServerTableModel.h"
#include "support/FifoUnblocker.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

constexpr size_t kHugeLine = size_t{100} << 20;

QString CannotOpen(const fs::path& path) {
  return QString::fromStdString("Error: Cannot open file (" + path.string() + ")");
}

QString Locked(const fs::path& path) {
  return QString::fromStdString("Error: File is locked (" + path.string() + ")");
}

// Chooses the file and deletes it before the command opens it.
class VanishingChooser final : public FileChooser {
 public:
  VanishingChooser(fs::path file, int filter) : m_file(std::move(file)), m_filter(filter) {}
  std::optional<FileChoice> Choose(const FileDialogInfo&, int) override {
    fs::remove(m_file);
    return FileChoice{m_file.string(), m_filter};
  }

 private:
  fs::path m_file;
  int m_filter;
};

// Shows the window and waits until its start-up has run, bounded.
bool ShowAndStart(TForm1& form) {
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return false;
  QCoreApplication::processEvents();
  return true;
}

// Paints the list as the screen would and tells how long it took.
qint64 PaintMilliseconds(TForm1& form) {
  QElapsedTimer timer;
  timer.start();
  const QImage image = form.ListView1()->viewport()->grab().toImage();
  return image.isNull() ? -1 : timer.elapsed();
}

}  // namespace

class FaultsFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }

  void AFifoChosenInTheDialogsIsRefusedAtOnce() {
    ScriptedApplication app;
    TempDir dir;
    const fs::path fifo = dir / "servers.txt";
    QVERIFY(MakeFifo(fifo));
    struct Command {
      const char* name;
      int filter;
      QString message;
      bool empties;
    };
    const Command commands[] = {
        {"Openfromfile1", 1, CannotOpen(fifo), true},
        {"Openfromfile1", 2, CannotOpen(fifo), true},
        {"Importfromfile1", 3, CannotOpen(fifo), false},
        {"Orbisk20inifile1", 1, QString::fromStdString("File locked: " + fifo.string()), false},
        {"txtTrelvanox1421", 2, QString::fromStdString("File is locked: " + fifo.string()), false},
    };
    for (const Command& command : commands) {
      app.Table().Clear();
      app.Table().AppendRow("10.0.0.1:27015");
      app.script->Answer(fifo, command.filter);
      bool triggered = false;
      QVERIFY2(!BlockedOnFifo(fifo, [&] { triggered = app.Trigger(command.name); }), command.name);
      QVERIFY(triggered);
      QCOMPARE(app.Message(), command.message);
      QCOMPARE(app.Table().Count(), command.empties ? 0 : 1);
      QVERIFY(app.Errors().empty());
    }
    // Saving to it with nobody reading: reported as a file that cannot be created.
    app.script->Answer(fifo, 1);
    QVERIFY(!BlockedOnFifo(fifo, [&] { app.Trigger("Saveto1"); }));
    QCOMPARE(app.Message(), Locked(fifo));
    QVERIFY(fs::is_fifo(fifo));
  }

  void AFifoAtStartIsSkippedAndTheStartUpGoesOn() {
    // config.ini is a FIFO and the first list argument too: both are reported, neither
    // blocks, the FIFO stays, and nothing after them is loaded.
    TempDir dir;
    const fs::path fifoList = dir / "first.txt";
    QVERIFY(MakeFifo(fifoList));
    const fs::path second = dir / "second.txt";
    Spit(second, "10.0.0.2:27015\r\n");
    RecordedApplication recorded({fifoList.string(), second.string()});
    const fs::path config = recorded.configFolder.filePath(QStringLiteral("config.ini")).toStdString();
    QVERIFY(MakeFifo(config));
    TForm1& form = recorded.app->Form1();
    bool shown = false;
    QVERIFY(!BlockedOnFifo(config,
                           [&] { QVERIFY(!BlockedOnFifo(fifoList, [&] { shown = ShowAndStart(form); })); }));
    QVERIFY(shown);
    QCOMPARE(recorded.errors->size(), size_t(1));
    QVERIFY2(recorded.errors->front().find(config.string()) != std::string::npos,
             recorded.errors->front().c_str());
    QVERIFY(fs::is_fifo(config));
    QCOMPARE(form.StatusPanel(3)->text(), CannotOpen(fifoList));
    QCOMPARE(form.Table().Count(), 0);
    QVERIFY(recorded.app->Form5().Snapshot() == Settings{});
  }

  void AFolderGivenAsAListFileIsReported() {
    ScriptedApplication app;
    TempDir dir;
    const fs::path folder = dir / "servers.vnx";
    fs::create_directory(folder);
    for (const char* command : {"Openfromfile1", "Importfromfile1"}) {
      for (const int filter : {1, 2}) {
        app.Table().Clear();
        app.Table().AppendRow("10.0.0.1:27015");
        const size_t before = app.Errors().size();
        app.script->Answer(folder, filter);
        QVERIFY(app.Trigger(command));
        // A folder is a path that is not a readable file, reported like any other.
        QCOMPARE(app.Errors().size(), before);
        QCOMPARE(app.Message(), CannotOpen(folder));
        QCOMPARE(app.Table().Count(), std::string(command) == "Openfromfile1" ? 0 : 1);
        QVERIFY(!app.Table().InUpdate());
      }
    }
    // Saving onto the folder touches nothing inside it.
    Spit(folder / "inside", "kept");
    app.script->Answer(folder, 1);
    QVERIFY(app.Trigger("Saveto1"));
    QCOMPARE(app.Message(), Locked(folder));
    QCOMPARE(Slurp(folder / "inside"), std::string("kept"));
  }

  void AFileThatVanishesAfterItWasChosenIsReported() {
    ScriptedApplication app;
    TempDir dir;
    const fs::path file = dir / "servers.vnx";
    for (const int filter : {1, 2}) {
      Spit(file, "10.0.0.5:27015\r\n");
      app.Table().AppendRow("10.0.0.1:27015");
      app.recorded.app->SetFileChooser(std::make_unique<VanishingChooser>(file, filter));
      QVERIFY(app.Trigger("Openfromfile1"));
      QCOMPARE(app.Message(), CannotOpen(file));
      QCOMPARE(app.Table().Count(), 0);
      QVERIFY(app.Errors().empty());
    }
  }

  void AHundredMegabyteLineOpensAsOneRowAndPaints() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    QVERIFY(ShowAndStart(form));
    TempDir dir;
    const fs::path file = dir / "one line.txt";
    QVERIFY(test::SpitRepeated(file, "10.0.0.1:27015|", kHugeLine, 'c'));
    QElapsedTimer timer;
    timer.start();
    for (const int filter : {2, 1}) {
      app.script->Answer(file, filter);
      QVERIFY(app.Trigger("Openfromfile1"));
      QCOMPARE(app.Table().Count(), 1);
      QCOMPARE(app.Message(), QStringLiteral("Idle..."));
      QVERIFY(app.Errors().empty());
      const QAbstractItemModel* model = form.ListView1()->model();
      QCOMPARE(model->rowCount(), 1);
      if (filter == 2) {
        QCOMPARE(app.Table().Address(0), std::string("10.0.0.1:27015"));
        QCOMPARE(app.Table().Cell(0, kCommentCell).size(), kHugeLine);
      } else {
        QCOMPARE(app.Table().Address(0).size(), kHugeLine + 15);
      }
      QVERIFY(PaintMilliseconds(form) >= 0);
      form.ListView1()->setCurrentIndex(model->index(0, 0));
      QCoreApplication::processEvents();
      QCOMPARE(app.Table().SelectedIndex(), 0);
    }
    app.Trigger("NewF11");
    QCOMPARE(app.Table().Count(), 0);
    // A guard against a hang, not a speed target.
    QVERIFY2(timer.elapsed() < 120000, qPrintable(QString::number(timer.elapsed())));
  }

  void AFileOfNulBytesOpensAsOneRowAndPaints() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    QVERIFY(ShowAndStart(form));
    TempDir dir;
    const fs::path file = dir / "zeros.vnx";
    const size_t size = 200000;
    QVERIFY(test::SpitRepeated(file, "", size, '\0'));
    for (const int filter : {1, 3}) {
      app.script->Answer(file, filter);
      QVERIFY(app.Trigger("Openfromfile1"));
      QCOMPARE(app.Table().Count(), 1);
      QVERIFY(app.Table().Address(0) == std::string(size, '\0'));
      const QString shown =
          form.ListView1()->model()->data(form.ListView1()->model()->index(0, 0)).toString();
      QCOMPARE(shown.size(), qsizetype(size));
      QVERIFY(PaintMilliseconds(form) >= 0);
    }
    // Saved again, the bytes come back unchanged.
    const fs::path saved = dir / "saved.vnx";
    app.script->Answer(saved, 1);
    QVERIFY(app.Trigger("Saveto1"));
    QVERIFY(app.Errors().empty());
    QCOMPARE(fs::file_size(saved), size + 2 + 9 * 3);  // the address line, nine blank cells
  }
};

QTEST_MAIN(FaultsFilesTest)
#include "FaultsFilesTest.moc"
