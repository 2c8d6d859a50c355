#include <cstdint>
#include <string>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "core/settings/SettingsValuesReader.h"
#include "core/util/ConversionError.h"
#include "gui/ConfigTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/platform/SettingsTargets.h"
#include "gui/text/ColorDisplay.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/SettingLineEdit.h"

using namespace vantrix;
using namespace vantrix::test;

namespace {

QColor ListBackground(const TForm1& form) {
  return form.ListView1()->palette().color(QPalette::Base);
}
QColor ListText(const TForm1& form) {
  return form.ListView1()->palette().color(QPalette::Text);
}

// Shows the main window as the program does and reports whether the start-up ran to its end.
bool Start(TForm1& form) {
  QSignalSpy done(&form, &TForm1::StartupDone);
  form.show();
  return done.count() == 1;
}

// What ApplySettings pushed where, in order.
struct Pushed {
  std::vector<std::string> steps;
  std::int32_t bufferSize = 0;
  bool broadcast = false;
  QColor background;
  QColor text;

  SettingsTargets Targets() {
    return {[this](std::int32_t size, bool enabled) {
              steps.push_back("endpoint");
              bufferSize = size;
              broadcast = enabled;
            },
            [this](const QColor& back, const QColor& fore) {
              steps.push_back("colours");
              background = back;
              text = fore;
            }};
  }
};

}  // namespace

class ConfigStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutAFileTheStartWritesTheDefaults() {
    ConfigFixture fixture;
    QVERIFY(!QFileInfo::exists(fixture.path));
    QVERIFY(Start(fixture.Main()));
    QVERIFY(fixture.Errors().empty());
    QCOMPARE(ReadBytes(fixture.path), std::string("BufferSize=8192\r\n"
                                                  "Broadcast=0\r\n"
                                                  "UDPDelay=5\r\n"
                                                  "PacketLog=1\r\n"
                                                  "Connect=1\r\n"
                                                  "DefaultPort=27015\r\n"
                                                  "Progress=1\r\n"
                                                  "ListColor=clWhite\r\n"
                                                  "TextColor=clBlack\r\n"));
    // The defaults are in force.
    const SettingsReader& settings = fixture.Dialog();
    QCOMPARE(settings.Snapshot().udpDelay, std::string("5"));
    QVERIFY(settings.Snapshot().packetLog);
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
    QCOMPARE(ListText(fixture.Main()), QColor(Qt::black));
  }

  void TheStartAppliesTheFilesColours() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, "ListColor=clNavy\r\nTextColor=$0000FFFF\r\nPacketLog=0\r\n"));
    QVERIFY(Start(fixture.Main()));
    QVERIFY(fixture.Errors().empty());
    QCOMPARE(ListBackground(fixture.Main()), QColor(0, 0, 128));
    QCOMPARE(ListText(fixture.Main()), QColor(255, 255, 0));
    QCOMPARE(fixture.Main().ListView1Icons()->palette().color(QPalette::Base), QColor(0, 0, 128));
    QVERIFY(!fixture.Dialog().Snapshot().packetLog);
    // Nothing is written when the file could be read.
    QCOMPARE(ReadBytes(fixture.path),
             std::string("ListColor=clNavy\r\nTextColor=$0000FFFF\r\nPacketLog=0\r\n"));
  }

  void ABadColourAtStartIsReportedAndTheStartGoesOn() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, "ListColor=clRed\r\nTextColor=bogus\r\nUDPDelay=9\r\n"));
    QVERIFY(Start(fixture.Main()));
    QCOMPARE(fixture.Errors(), std::vector<std::string>{"'bogus' is not a valid integer value"});
    TForm5& dialog = fixture.Dialog();
    // The lines before the bad one are in the controls, the lines after it are not, and
    // nothing was applied.
    QCOMPARE(dialog.ColorBox1()->currentText(), QStringLiteral("Red"));
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("5"));
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
    // The dialog still opens, reports again and shows what was read.
    fixture.OpenDialog();
    QVERIFY(dialog.isVisible());
    QCOMPARE(fixture.Errors().size(), size_t(2));
    QCOMPARE(dialog.ColorBox1()->currentText(), QStringLiteral("Red"));
  }

  void ABadBufferSizeAtStartStopsApplyingBeforeTheColours() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, "BufferSize=abc\r\nListColor=clRed\r\n"));
    QVERIFY(Start(fixture.Main()));
    QCOMPARE(fixture.Errors(), std::vector<std::string>{"'abc' is not a valid integer value"});
    QCOMPARE(fixture.Dialog().Edit1()->text(), QStringLiteral("abc"));
    QCOMPARE(fixture.Dialog().ColorBox1()->currentText(), QStringLiteral("Red"));
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
  }

  void AnUnreadableFileIsReportedAndLeftAlone() {
    ConfigFixture fixture;
    QVERIFY(QDir().mkdir(fixture.path));  // a folder where the file should be
    QVERIFY(Start(fixture.Main()));
    QCOMPARE(fixture.Errors().size(), size_t(1));
    QVERIFY2(fixture.Errors()[0].find("config.ini") != std::string::npos, fixture.Errors()[0].c_str());
    QVERIFY(QFileInfo(fixture.path).isDir());
    QCOMPARE(fixture.Dialog().Edit1()->text(), QStringLiteral("8192"));
  }

  void AFileThatCannotBeCreatedIsReported() {
    ConfigFixture fixture;
    fixture.Dialog().SetConfigFile(ConfigFile(
        fixture.recorded.configFolder.filePath(QStringLiteral("no/such/config.ini")).toStdString()));
    QVERIFY(Start(fixture.Main()));
    QCOMPARE(fixture.Errors().size(), size_t(1));
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
  }

  void ApplyingPushesTheEndpointFirstThenTheColours() {
    SettingsValuesReader settings;
    settings.Values().bufferSize = "4096";
    settings.Values().broadcast = true;
    settings.Values().listColor = clMoneyGreen;
    settings.Values().textColor = clMaroon;
    Pushed pushed;
    ApplySettingsTo(settings, pushed.Targets());
    QCOMPARE(pushed.steps, (std::vector<std::string>{"endpoint", "colours"}));
    QCOMPARE(pushed.bufferSize, 4096);
    QVERIFY(pushed.broadcast);
    QCOMPARE(pushed.background, QColor(0xC0, 0xDC, 0xC0));
    QCOMPARE(pushed.text, QColor(0x80, 0, 0));

    // Sizes keep their meaning; capping the allocation is the endpoint's business.
    for (const auto& [text, value] : std::vector<std::pair<std::string, std::int32_t>>{
             {"2000000000", 2000000000}, {"0", 0}, {"-5", -5}, {"$FF", 255}}) {
      settings.Values().bufferSize = text;
      Pushed again;
      ApplySettingsTo(settings, again.Targets());
      QCOMPARE(again.bufferSize, value);
    }
  }

  void ApplyingStopsAtABadBufferSize() {
    SettingsValuesReader settings;
    settings.Values().bufferSize = "12 ";
    Pushed pushed;
    bool thrown = false;
    try {
      ApplySettingsTo(settings, pushed.Targets());
    } catch (const ConversionError& error) {
      thrown = true;
      QCOMPARE(std::string(error.what()), std::string("'12 ' is not a valid integer value"));
    }
    QVERIFY(thrown);
    QVERIFY(pushed.steps.empty());
  }

  void ColoursWithNothingToPaintGiveTheDesktopsListColours() {
    SettingsValuesReader settings;
    settings.Values().listColor = clNone;
    settings.Values().textColor = clDefault;
    Pushed pushed;
    ApplySettingsTo(settings, pushed.Targets());
    QCOMPARE(pushed.background, QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(pushed.text, QGuiApplication::palette().color(QPalette::Text));
  }

  void SchemeColoursFollowTheDesktopsPalette() {
    // A dark desktop: clWindow is its dark window colour, not the classic white.
    const QPalette before = QGuiApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Base, QColor(0x20, 0x22, 0x24));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE1, 0xE2));
    dark.setColor(QPalette::Highlight, QColor(0x10, 0x50, 0x90));
    dark.setColor(QPalette::Button, QColor(0x33, 0x34, 0x35));
    dark.setColor(QPalette::ToolTipBase, QColor(0x44, 0x45, 0x46));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x70, 0x71, 0x72));
    QGuiApplication::setPalette(dark);
    SettingsValuesReader settings;
    settings.Values().listColor = clWindow;
    settings.Values().textColor = clWindowText;
    Pushed pushed;
    ApplySettingsTo(settings, pushed.Targets());
    QCOMPARE(pushed.background, QColor(0x20, 0x22, 0x24));
    QCOMPARE(pushed.text, QColor(0xE0, 0xE1, 0xE2));
    QGuiApplication::setPalette(before);

    QCOMPARE(ToQColor(clHighlight, Qt::transparent, dark), QColor(0x10, 0x50, 0x90));
    QCOMPARE(ToQColor(clBtnFace, Qt::transparent, dark), QColor(0x33, 0x34, 0x35));
    QCOMPARE(ToQColor(clInfoBk, Qt::transparent, dark), QColor(0x44, 0x45, 0x46));
    QCOMPARE(ToQColor(clGrayText, Qt::transparent, dark), QColor(0x70, 0x71, 0x72));
    // Where no role stands for the colour, the classic scheme's colour, not a byte-swapped FF0000nn.
    for (const ColorValue value :
         {clBackground, clActiveCaption, clInactiveBorder, clGradientActiveCaption}) {
      const std::optional<Rgb> classic = ColorToRgb(value);
      QVERIFY(classic.has_value());
      QVERIFY(!SchemeColorFromPalette(value, dark).has_value());
      QCOMPARE(ToQColor(value, Qt::transparent, dark), QColor(classic->red, classic->green, classic->blue));
    }
    // Plain colours and the colours with nothing to paint are not the palette's.
    QCOMPARE(ToQColor(clWhite, Qt::transparent, dark), QColor(255, 255, 255));
    QCOMPARE(ToQColor(clNone, Qt::red, dark), QColor(Qt::red));
    QVERIFY(!SchemeColorFromPalette(0xFF000105, dark).has_value());
    // Each of the 30 scheme colours gives some colour, and is written back by its name.
    int fromPalette = 0;
    for (const NamedColor& named : PickerColors()) {
      if (named.value >> 24 != 0xFF) continue;
      QVERIFY(ToQColor(named.value, QColor(), dark).isValid());
      if (SchemeColorFromPalette(named.value, dark)) ++fromPalette;
      QCOMPARE(ColorToText(named.value), std::string(named.name));
    }
    QCOMPARE(fromPalette, 20);
  }

  void TheMainWindowAppliesWhatTheDialogsControlsHold() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    dialog.ColorBox1()->SetColor(clYellow);
    dialog.ColorBox2()->SetColor(clPurple);
    fixture.Main().ApplySettings();
    QCOMPARE(ListBackground(fixture.Main()), QColor(255, 255, 0));
    QCOMPARE(ListText(fixture.Main()), QColor(128, 0, 128));
    dialog.Edit1()->SetBytes("x");
    dialog.ColorBox1()->SetColor(clRed);
    bool thrown = false;
    try {
      fixture.Main().ApplySettings();
    } catch (const ConversionError&) {
      thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(ListBackground(fixture.Main()), QColor(255, 255, 0));
  }
};

QTEST_MAIN(ConfigStartupTest)
#include "ConfigStartupTest.moc"
