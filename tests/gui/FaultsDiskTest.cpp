// A disk that fills up: every write of the windows ("Save file...", the configuration
// dialog's "Save", the four exports) meets a disk that takes only so many bytes. Whatever the
// byte at which it fails, the old list and config.ini stay whole, an export keeps what it
// wrote, the failure reaches the general error report with the program's text, and nothing
// looks like success.

#include <filesystem>
#include <string>
#include <vector>

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QTest>
#include <QTreeView>

#include "core/lists/Exports.h"
#include "core/lists/ListFile.h"
#include "core/settings/ConfigFile.h"
#include "core/settings/SettingsText.h"
#include "gui/ConfigTestSupport.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/widgets/ColorBox.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;
namespace fs = std::filesystem;

namespace {

size_t EntriesIn(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

void Fill(ServerTable& table, int rows) {
  for (int i = 0; i < rows; ++i) {
    table.AppendRow(MakeRow("10.2.0." + std::to_string(i) + ":27015", "name " + std::to_string(i),
                            std::to_string(i) + "/16", "comment " + std::to_string(i)));
  }
}

// The byte counts at which a disk of `total` bytes is tried: every one for short files,
// else the edges and a spread between them.
std::vector<size_t> Limits(size_t total) {
  std::vector<size_t> limits;
  const size_t step = total <= 256 ? 1 : total / 97;
  for (size_t limit = 0; limit < total; limit += step) limits.push_back(limit);
  limits.push_back(total - 1);
  return limits;
}

// The program's text for a disk that is full.
bool IsDiskFullText(const std::string& text, const fs::path& file) {
  return text.starts_with("Write error on ") && text.find(file.string()) != std::string::npos &&
         text.ends_with(": No space left on device");
}

const char* const kExportCommands[] = {"IPName1", "IPNamePlayers1", "IPComment1", "IPNamePlayersComment1"};
const ExportFormat kExportFormats[] = {ExportFormat::kIpName, ExportFormat::kIpNamePlayers,
                                       ExportFormat::kIpComment, ExportFormat::kIpNamePlayersComment};

}  // namespace

class FaultsDiskTest : public QObject {
  Q_OBJECT

 private slots:
  void SaveOnAFullDiskKeepsTheOldListAndIsReported() {
    ScriptedApplication app;
    Fill(app.Table(), 40);
    TempDir dir;
    const fs::path file = dir / "servers.vnx";
    const std::string old = "192.0.2.1:27015\r\n old name\r\n";
    for (const int filter : {1, 2}) {
      const size_t total =
          (filter == 1 ? FormatRecordLayout(app.Table()) : FormatPlainLayout(app.Table())).size();
      for (const size_t limit : Limits(total)) {
        Spit(file, old);
        app.Form().SetStatus(3, "before");
        const size_t errorsBefore = app.Errors().size();
        app.Form().SetWriteLimit(WriteLimit{limit});
        app.script->Answer(file, filter);
        QVERIFY(app.Trigger("Saveto1"));
        QCOMPARE(app.Errors().size(), errorsBefore + 1);
        QVERIFY2(IsDiskFullText(app.Errors().back(), file), app.Errors().back().c_str());
        QCOMPARE(Slurp(file), old);
        QCOMPARE(EntriesIn(dir.Path()), size_t(1));  // no temporary file left behind
        QCOMPARE(app.Message(), QStringLiteral("before"));
        QCOMPARE(app.Table().Count(), 40);
        QVERIFY(!app.Table().InUpdate());
      }
      // A disk with room for the whole list: saved, nothing reported.
      app.Form().SetWriteLimit(WriteLimit{total});
      app.script->Answer(file, filter);
      const size_t errorsBefore = app.Errors().size();
      QVERIFY(app.Trigger("Saveto1"));
      QCOMPARE(app.Errors().size(), errorsBefore);
      QCOMPARE(Slurp(file).size(), total);
    }
  }

  void AnExportOnAFullDiskKeepsWhatItWroteAndIsReported() {
    ScriptedApplication app;
    Fill(app.Table(), 30);
    TempDir dir;
    const InFolder inside(dir.Path());
    const fs::path file = kExportFileName;
    for (size_t i = 0; i < std::size(kExportCommands); ++i) {
      const std::string full = FormatExport(app.Table(), kExportFormats[i]);
      for (const size_t limit : Limits(full.size())) {
        Spit(file, "previous export\r\n");
        const size_t errorsBefore = app.Errors().size();
        app.Form().SetWriteLimit(WriteLimit{limit});
        QVERIFY(app.Trigger(kExportCommands[i]));
        QCOMPARE(app.Errors().size(), errorsBefore + 1);
        QVERIFY2(IsDiskFullText(app.Errors().back(), file), app.Errors().back().c_str());
        // The export writes in place: the first `limit` bytes are there, the old text is not.
        QCOMPARE(Slurp(file), full.substr(0, limit));
        QCOMPARE(app.Table().Count(), 30);
      }
      app.Form().SetWriteLimit(WriteLimit{full.size()});
      const size_t errorsBefore = app.Errors().size();
      QVERIFY(app.Trigger(kExportCommands[i]));
      QCOMPARE(app.Errors().size(), errorsBefore);
      QCOMPARE(Slurp(file), full);
    }
  }

  void ConfigSaveOnAFullDiskKeepsTheOldFileAndAppliesNothing() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    const std::string old = "BufferSize=4096\r\nListColor=clYellow\r\nUDPDelay=9\r\n";
    Settings changed;
    changed.bufferSize = "2048";
    changed.udpDelay = "12";
    changed.listColor = clRed;
    changed.packetLog = false;
    const std::string full = SettingsToText(changed);
    fixture.Main().SetStatus(3, "before");
    for (const size_t limit : Limits(full.size())) {
      QVERIFY(WriteBytes(fixture.path, old));
      dialog.SetConfigFile(ConfigFile(fixture.path.toStdString(), WriteLimit{limit}));
      fixture.OpenDialog();
      QVERIFY(dialog.isVisible());
      dialog.ShowSettings(changed);
      const QColor background = fixture.Main().ListView1()->palette().color(QPalette::Base);
      const size_t errorsBefore = fixture.Errors().size();
      QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
      QCOMPARE(fixture.Errors().size(), errorsBefore + 1);
      const std::string& error = fixture.Errors().back();
      QVERIFY2(IsDiskFullText(error, fixture.path.toStdString()), error.c_str());
      QCOMPARE(ReadBytes(fixture.path), old);
      QCOMPARE(EntriesIn(fixture.recorded.configFolder.path().toStdString()), size_t(1));
      QVERIFY2(dialog.isVisible(), "a failed save does not close the dialog");
      QCOMPARE(fixture.Main().ListView1()->palette().color(QPalette::Base), background);
      QCOMPARE(fixture.Main().StatusPanel(3)->text(), QStringLiteral("before"));
      dialog.Button5Click();
    }
    // With room for the file the same save goes through and is applied.
    QVERIFY(WriteBytes(fixture.path, old));
    dialog.SetConfigFile(ConfigFile(fixture.path.toStdString(), WriteLimit{full.size()}));
    fixture.OpenDialog();
    dialog.ShowSettings(changed);
    const size_t errorsBefore = fixture.Errors().size();
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QCOMPARE(fixture.Errors().size(), errorsBefore);
    QCOMPARE(ReadBytes(fixture.path), full);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(fixture.Main().ListView1()->palette().color(QPalette::Base), QColor(Qt::red));
  }

  void StartupDefaultsOnAFullDiskAreReportedAndLeaveNoFile() {
    // No config.ini at start: the default file cannot be written; the start-up reports it,
    // leaves no half file and goes on with the defaults in the controls.
    RecordedApplication recorded;
    const QString path = recorded.configFolder.filePath(QStringLiteral("config.ini"));
    recorded.app->Form5().SetConfigFile(ConfigFile(path.toStdString(), WriteLimit{30}));
    TForm1& form = recorded.app->Form1();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(!recorded.errors->empty(), 10000);
    QCOMPARE(recorded.errors->size(), size_t(1));
    QVERIFY2(IsDiskFullText(recorded.errors->front(), path.toStdString()), recorded.errors->front().c_str());
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(EntriesIn(recorded.configFolder.path().toStdString()), size_t(0));
    QVERIFY(recorded.app->Form5().Snapshot() == Settings{});
  }
};

QTEST_MAIN(FaultsDiskTest)
#include "FaultsDiskTest.moc"
