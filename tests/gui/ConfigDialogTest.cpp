#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "core/settings/Colors.h"
#include "core/settings/SettingsReader.h"
#include "gui/ConfigTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/SettingLineEdit.h"

using namespace vantrix;
using namespace vantrix::test;

namespace {

const std::vector<std::string> kDefaultLines{"BufferSize=8192", "Broadcast=0",       "UDPDelay=5",
                                             "PacketLog=1",     "Connect=1",         "DefaultPort=27015",
                                             "Progress=1",      "ListColor=clWhite", "TextColor=clBlack"};

QColor ListBackground(const TForm1& form) {
  return form.ListView1()->palette().color(QPalette::Base);
}
QColor ListText(const TForm1& form) {
  return form.ListView1()->palette().color(QPalette::Text);
}

void ReplaceText(QLineEdit* edit, const QString& typed) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, typed);
}

// Clicks a check box where its box is drawn.
void ClickBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QLabel* CaptionOf(const QWidget& dialog, const QWidget* control) {
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->buddy() == control) return label;
  }
  return nullptr;
}

int IndexOfColor(const ColorBox& box, ColorValue value) {
  for (int i = 0; i < box.count(); ++i) {
    if (box.ValueAt(i) == value) return i;
  }
  return -1;
}

QColor SwatchCentre(const ColorBox& box, int index) {
  const QImage image = box.itemIcon(index).pixmap(box.iconSize()).toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

class ConfigDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void TheTabsHoldTheirCaptionedControls() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    QTabWidget* tabs = dialog.PageControl1();
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Other"));
    QWidget* general = tabs->widget(0);
    QWidget* other = tabs->widget(1);
    for (QWidget* control : {static_cast<QWidget*>(dialog.Edit1()), static_cast<QWidget*>(dialog.CheckBox1()),
                             static_cast<QWidget*>(dialog.Edit2()), static_cast<QWidget*>(dialog.CheckBox2()),
                             static_cast<QWidget*>(dialog.CheckBox4())})
      QVERIFY2(general->isAncestorOf(control), qPrintable(control->objectName()));
    for (QWidget* control :
         {static_cast<QWidget*>(dialog.Edit3()), static_cast<QWidget*>(dialog.CheckBox3()),
          static_cast<QWidget*>(dialog.ColorBox1()), static_cast<QWidget*>(dialog.ColorBox2()),
          static_cast<QWidget*>(dialog.Edit4())})
      QVERIFY2(other->isAncestorOf(control), qPrintable(control->objectName()));

    QCOMPARE(dialog.CheckBox1()->text(), QStringLiteral("Broadcast enabled"));
    QCOMPARE(dialog.CheckBox2()->text(), QStringLiteral("Packet log"));
    QCOMPARE(dialog.CheckBox3()->text(), QStringLiteral("Show progress"));
    QCOMPARE(dialog.CheckBox4()->text(), QStringLiteral("Check on double click"));
    const std::vector<std::pair<QWidget*, QString>> captions{
        {dialog.Edit1(), QStringLiteral("Buffer size")},
        {dialog.Edit2(), QStringLiteral("UDP Delay")},
        {dialog.Edit3(), QStringLiteral("Default port")},
        {dialog.ColorBox1(), QStringLiteral("List color")},
        {dialog.ColorBox2(), QStringLiteral("Text color")},
        {dialog.Edit4(), QStringLiteral("Join command")},
    };
    for (const auto& [control, caption] : captions) {
      QLabel* label = CaptionOf(dialog, control);
      QVERIFY2(label, qPrintable(caption));
      QCOMPARE(label->text(), caption);
      // The caption is on the same page as its control.
      QCOMPARE(label->parentWidget(), control->parentWidget());
    }
    // "ms" follows the delay field on its row.
    QLabel* unit = dialog.findChild<QLabel*>(QStringLiteral("Label3"));
    QVERIFY(unit);
    QCOMPARE(unit->text(), QStringLiteral("ms"));
    QVERIFY(general->isAncestorOf(unit));
    // Black pages with bright green bold captions.
    for (QWidget* page : {general, other}) {
      QVERIFY(page->autoFillBackground());
      QCOMPARE(page->palette().color(QPalette::Window), QColor(Qt::black));
    }
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
      QVERIFY(label->font().bold());
    }
    QCOMPARE(dialog.CheckBox2()->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QVERIFY(dialog.CheckBox2()->font().bold());
    QCOMPARE(dialog.Button2()->text(), QStringLiteral("Save"));
    QCOMPARE(dialog.Button5()->text(), QStringLiteral("Cancel"));
    QVERIFY(!tabs->isAncestorOf(dialog.Button2()));

    // Every control is named for assistive technology by its caption.
    fixture.OpenDialog();
    QVERIFY(dialog.isVisible());
    for (const auto& [control, caption] : captions) {
      tabs->setCurrentWidget(control->parentWidget());
      QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
      QVERIFY(access);
      QStringList labels;
      for (const auto& [labelling, relation] : access->relations(QAccessible::Label))
        labels << labelling->text(QAccessible::Name);
      QCOMPARE(labels, QStringList{caption});
    }
  }

  void TheFirstOpeningShowsGeneralLaterOnesTheLastTabShown() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Configuration"));
    QCOMPARE(dialog.PageControl1()->currentIndex(), 0);
    dialog.PageControl1()->setCurrentIndex(1);
    QTest::mouseClick(dialog.Button5(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    fixture.OpenDialog();
    QCOMPARE(dialog.PageControl1()->currentIndex(), 1);
    dialog.PageControl1()->setCurrentIndex(0);
    QVERIFY(dialog.close());  // the close box
    fixture.OpenDialog();
    QCOMPARE(dialog.PageControl1()->currentIndex(), 0);
  }

  void TheTabOrderFollowsThePages() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    const QList<QWidget*> expected{dialog.Edit1(),     dialog.CheckBox1(), dialog.Edit2(),
                                   dialog.CheckBox2(), dialog.CheckBox4(), dialog.Edit3(),
                                   dialog.CheckBox3(), dialog.ColorBox1(), dialog.ColorBox2(),
                                   dialog.Button2(),   dialog.Button5()};
    QList<QWidget*> chain;
    QWidget* widget = &dialog;
    for (int step = 0; step < 200; ++step) {
      widget = widget->nextInFocusChain();
      if (widget == &dialog) break;
      if (expected.contains(widget) && !chain.contains(widget)) chain << widget;
    }
    QCOMPARE(chain, expected);

    // And the Tab key moves along it on the page shown.
    fixture.OpenDialog();
    QApplication::setActiveWindow(&dialog);
    dialog.Edit1()->setFocus();
    QTest::keyClick(dialog.Edit1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.CheckBox1()));
  }

  void EachOpeningLoadsTheFileIntoTheControls() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path,
                       "bUfFeRsIzE=4096\r\n"
                       " BufferSize=1\r\n"  // a space before the key: another key
                       "Broadcast=1 \r\n"   // not exactly "1": no change
                       "UDPDelay=12\r\n"
                       "\r\n"
                       "PacketLog=0\r\n"
                       "no equals sign here\r\n"
                       "Connect=0\n"  // a lone LF ends a line too
                       "DefaultPort=27016=x\r\n"
                       "Progress=0\r\n"
                       "ListColor=clRed\r\n"
                       "ListColor=$0000FF00\r\n"  // the second line wins
                       "//ListColor=clBlue\r\n"   // a comment
                       "TextColor=65280\r\n"
                       "Unknown=1\r\n"));
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    QVERIFY(fixture.Errors().empty());
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("4096"));
    QVERIFY(!dialog.CheckBox1()->isChecked());
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("12"));
    QVERIFY(!dialog.CheckBox2()->isChecked());
    QVERIFY(!dialog.CheckBox4()->isChecked());
    QCOMPARE(dialog.Edit3()->text(), QStringLiteral("27016=x"));
    QVERIFY(!dialog.CheckBox3()->isChecked());
    QCOMPARE(dialog.ColorBox1()->currentText(), QStringLiteral("Lime"));
    QCOMPARE(dialog.ColorBox2()->currentText(), QStringLiteral("Lime"));

    // Unsaved edits are replaced by the file's values at the next opening.
    ReplaceText(dialog.Edit2(), QStringLiteral("99"));
    dialog.CheckBox2()->click();
    dialog.ColorBox1()->setCurrentIndex(0);
    QTest::mouseClick(dialog.Button5(), Qt::LeftButton);
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("99"));
    fixture.OpenDialog();
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("12"));
    QVERIFY(!dialog.CheckBox2()->isChecked());
    QCOMPARE(dialog.ColorBox1()->currentText(), QStringLiteral("Lime"));
  }

  void LoadedValuesStayWholeAndAreWrittenBackUnchanged() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path,
                       "BufferSize=123456\r\nUDPDelay=99999999\r\nDefaultPort=27016=\xE9\r\n"
                       "ListColor=$00123456\r\nTextColor=clMoneyGreen\r\n"));
    TForm5& dialog = fixture.Dialog();
    TForm1& main = fixture.Main();
    fixture.OpenDialog();
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("123456"));
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("99999999"));
    QCOMPARE(dialog.Edit3()->text(), QStringLiteral("27016=\u00E9"));  // not UTF-8: shown as Latin-1
    // A colour the picker does not offer: no entry selected, the value kept.
    QCOMPARE(dialog.ColorBox1()->currentIndex(), -1);
    QCOMPARE(dialog.ColorBox1()->Color(), ColorValue{0x00123456});
    QCOMPARE(dialog.ColorBox2()->currentText(), QStringLiteral("Money Green"));

    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QVERIFY(fixture.Errors().empty());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(
        ReadBytes(fixture.path),
        CrLfLines({"BufferSize=123456", "Broadcast=0", "UDPDelay=99999999", "PacketLog=1", "Connect=1",
                   "DefaultPort=27016=\xE9", "Progress=1", "ListColor=$00123456", "TextColor=clMoneyGreen"}));
    QCOMPARE(ListBackground(main), QColor(0x56, 0x34, 0x12));
    QCOMPARE(ListText(main), QColor(0xC0, 0xDC, 0xC0));
  }

  void TypingStopsAtEachFieldsLength() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    ReplaceText(dialog.Edit1(), QStringLiteral("1234567"));
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("12345"));
    ReplaceText(dialog.Edit2(), QStringLiteral("12345"));
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("123"));
    ReplaceText(dialog.Edit3(), QStringLiteral("2701599"));
    QCOMPARE(dialog.Edit3()->text(), QStringLiteral("27015"));
    QCOMPARE(dialog.Snapshot().bufferSize, std::string("12345"));

    // A longer text loaded from the file: typing cannot lengthen it, deleting shortens it,
    // and from then on the limit is the field's own again.
    QVERIFY(WriteBytes(fixture.path, "BufferSize=123456\r\n"));
    dialog.hide();
    fixture.OpenDialog();
    SettingLineEdit* edit = dialog.Edit1();
    QCOMPARE(edit->text(), QStringLiteral("123456"));
    edit->setFocus();
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_7);
    QCOMPARE(edit->text(), QStringLiteral("123456"));
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("12456"));
    QCOMPARE(edit->cursorPosition(), 2);  // editing in the middle keeps its place
    QTest::keyClick(edit, Qt::Key_9);
    QCOMPARE(edit->text(), QStringLiteral("12456"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_8);
    QCOMPARE(edit->text(), QStringLiteral("18456"));
    QCOMPARE(dialog.Snapshot().bufferSize, std::string("18456"));
  }

  void ThePickersOfferTheFiftyColoursAndNothingElse() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    for (ColorBox* box : {dialog.ColorBox1(), dialog.ColorBox2()}) {
      QVERIFY(!box->isEditable());
      QCOMPARE(box->count(), 50);
      const auto picker = PickerColors();
      for (int i = 0; i < box->count(); ++i) {
        const NamedColor& color = picker[static_cast<size_t>(i)];
        QCOMPARE(box->itemText(i), QString::fromLatin1(color.displayName.data(),
                                                       static_cast<qsizetype>(color.displayName.size())));
        QCOMPARE(box->ValueAt(i), color.value);
      }
    }
    ColorBox& box = *dialog.ColorBox1();
    QCOMPARE(box.itemText(0), QStringLiteral("Black"));
    QCOMPARE(box.itemText(15), QStringLiteral("White"));
    QCOMPARE(box.itemText(16), QStringLiteral("Money Green"));
    // The swatches paint the colour, bytes swapped from 00BBGGRR.
    QCOMPARE(SwatchCentre(box, IndexOfColor(box, clRed)), QColor(255, 0, 0));
    QCOMPARE(SwatchCentre(box, IndexOfColor(box, clNavy)), QColor(0, 0, 128));
    QCOMPARE(SwatchCentre(box, IndexOfColor(box, clSkyBlue)), QColor(0xA6, 0xCA, 0xF0));
    QCOMPARE(SwatchCentre(box, IndexOfColor(box, clWhite)), QColor(255, 255, 255));

    // Defaults: white list, black text; the keyboard moves to the next colour.
    QCOMPARE(box.currentText(), QStringLiteral("White"));
    QCOMPARE(dialog.ColorBox2()->currentText(), QStringLiteral("Black"));
    fixture.OpenDialog();
    dialog.PageControl1()->setCurrentIndex(1);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentText(), QStringLiteral("Money Green"));
    QCOMPARE(dialog.Snapshot().listColor, clMoneyGreen);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(access);
    QCOMPARE(access->text(QAccessible::Value), QStringLiteral("Money Green"));

    // A value not offered leaves no entry selected; choosing an entry then takes it.
    box.SetColor(0x00010203);
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.Color(), ColorValue{0x00010203});
    box.setCurrentIndex(IndexOfColor(box, clTeal));
    QCOMPARE(box.Color(), clTeal);
  }

  void CancelLeavesTheChangedPacketLogInForceUntilTheNextOpening() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, CrLfLines(kDefaultLines)));
    TForm5& dialog = fixture.Dialog();
    const SettingsReader& settings = dialog;
    fixture.OpenDialog();
    QVERIFY(settings.Snapshot().packetLog);
    ClickBox(dialog.CheckBox2());
    dialog.ColorBox1()->setCurrentIndex(IndexOfColor(*dialog.ColorBox1(), clRed));
    QTest::mouseClick(dialog.Button5(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    // The changed box is what the packet handler reads; nothing was written or applied.
    QVERIFY(!settings.Snapshot().packetLog);
    QCOMPARE(ReadBytes(fixture.path), CrLfLines(kDefaultLines));
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
    fixture.OpenDialog();
    QVERIFY(settings.Snapshot().packetLog);
    QCOMPARE(settings.Snapshot().listColor, clWhite);

    // The close box acts like Cancel.
    ReplaceText(dialog.Edit2(), QStringLiteral("40"));
    QVERIFY(dialog.close());
    QCOMPARE(settings.Snapshot().udpDelay, std::string("40"));
    QCOMPARE(ReadBytes(fixture.path), CrLfLines(kDefaultLines));
  }

  void SaveWritesTheNineLinesAndAppliesTheColoursAtOnce() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    TForm1& main = fixture.Main();
    fixture.OpenDialog();  // no file yet: the defaults are written
    QCOMPARE(ReadBytes(fixture.path), CrLfLines(kDefaultLines));
    ClickBox(dialog.CheckBox1());
    ReplaceText(dialog.Edit3(), QStringLiteral("27020"));
    dialog.ColorBox1()->setCurrentIndex(IndexOfColor(*dialog.ColorBox1(), clMoneyGreen));
    dialog.ColorBox2()->setCurrentIndex(IndexOfColor(*dialog.ColorBox2(), clNavy));
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QVERIFY(fixture.Errors().empty());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(ReadBytes(fixture.path),
             CrLfLines({"BufferSize=8192", "Broadcast=1", "UDPDelay=5", "PacketLog=1", "Connect=1",
                        "DefaultPort=27020", "Progress=1", "ListColor=clMoneyGreen", "TextColor=clNavy"}));
    QCOMPARE(ListBackground(main), QColor(0xC0, 0xDC, 0xC0));
    QCOMPARE(ListText(main), QColor(0, 0, 128));
    QCOMPARE(main.ListView1Icons()->palette().color(QPalette::Base), QColor(0xC0, 0xDC, 0xC0));
  }

  void ASaveThatCannotCreateTheFileSaysSoAndTheDialogStaysOpen() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, CrLfLines(kDefaultLines)));
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    // A folder now stands where the file was.
    QVERIFY(QFile::remove(fixture.path));
    QVERIFY(QDir().mkdir(fixture.path));
    dialog.ColorBox1()->setCurrentIndex(IndexOfColor(*dialog.ColorBox1(), clRed));
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QCOMPARE(fixture.Main().StatusPanel(2)->text(), QStringLiteral("Error: Cannot save config.ini file"));
    QVERIFY(dialog.isVisible());
    QVERIFY(fixture.Errors().empty());
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));  // nothing applied
    QVERIFY(QFileInfo(fixture.path).isDir());
  }

  void AWriteFailureIsReportedTheOldFileSurvivesAndTheDialogStaysOpen() {
    ConfigFixture fixture;
    const std::string old = CrLfLines(kDefaultLines);
    QVERIFY(WriteBytes(fixture.path, old));
    TForm5& dialog = fixture.Dialog();
    // A disk that fills up after 40 bytes.
    dialog.SetConfigFile(ConfigFile(fixture.path.toStdString(), WriteLimit{40}));
    fixture.OpenDialog();
    dialog.ColorBox1()->setCurrentIndex(IndexOfColor(*dialog.ColorBox1(), clRed));
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QCOMPARE(fixture.Errors().size(), size_t(1));
    QVERIFY(dialog.isVisible());
    QCOMPARE(ReadBytes(fixture.path), old);
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
  }

  void ABadBufferSizeIsSavedThenReportedAndTheDialogStaysOpen() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    ReplaceText(dialog.Edit1(), QStringLiteral("abc"));
    dialog.ColorBox1()->setCurrentIndex(IndexOfColor(*dialog.ColorBox1(), clRed));
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QCOMPARE(*fixture.recorded.errors, std::vector<std::string>{"'abc' is not a valid integer value"});
    QVERIFY(dialog.isVisible());
    const std::string written = ReadBytes(fixture.path);
    QVERIFY2(written.starts_with("BufferSize=abc\r\n"), written.c_str());
    QVERIFY(written.find("ListColor=clRed\r\n") != std::string::npos);
    // Applying stopped at its first step: the colours were not pushed.
    QCOMPARE(ListBackground(fixture.Main()), QColor(Qt::white));
  }

  void TheSettingsAreReadFromTheControlsAtTheMomentOfUse() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    const SettingsReader& settings = dialog;
    // The defaults before anything is loaded.
    QCOMPARE(settings.Snapshot().bufferSize, std::string("8192"));
    QVERIFY(!settings.Snapshot().broadcast);
    QCOMPARE(settings.Snapshot().udpDelay, std::string("5"));
    QVERIFY(settings.Snapshot().packetLog);
    QVERIFY(settings.Snapshot().connect);
    QCOMPARE(settings.Snapshot().defaultPort, std::string("27015"));
    QVERIFY(settings.Snapshot().progress);
    QCOMPARE(settings.Snapshot().listColor, clWhite);
    QCOMPARE(settings.Snapshot().textColor, clBlack);

    // Each box drives its own setting and no other.
    const std::vector<std::pair<QCheckBox*, bool Settings::*>> boxes{
        {dialog.CheckBox1(), &Settings::broadcast},
        {dialog.CheckBox2(), &Settings::packetLog},
        {dialog.CheckBox3(), &Settings::progress},
        {dialog.CheckBox4(), &Settings::connect},
    };
    for (const auto& [box, read] : boxes) {
      std::vector<bool> before;
      for (const auto& other : boxes) before.push_back(settings.Snapshot().*other.second);
      box->toggle();
      for (size_t i = 0; i < boxes.size(); ++i) {
        const bool expected = boxes[i].first == box ? !before[i] : before[i];
        QCOMPARE(settings.Snapshot().*boxes[i].second, expected);
      }
    }
    ReplaceText(dialog.Edit2(), QStringLiteral("17"));
    ReplaceText(dialog.Edit3(), QStringLiteral("2"));
    dialog.Edit3()->insert(QStringLiteral("\u00E9"));  // typed text becomes UTF-8
    QCOMPARE(settings.Snapshot().udpDelay, std::string("17"));
    QCOMPARE(settings.Snapshot().defaultPort, std::string("2\xC3\xA9"));
    QCOMPARE(settings.Snapshot().bufferSize, std::string("8192"));
  }

  void AMissingFileAtOpeningIsWrittenWithTheDefaultsAndTheEditsStay() {
    ConfigFixture fixture;
    TForm5& dialog = fixture.Dialog();
    ReplaceText(dialog.Edit2(), QStringLiteral("42"));
    fixture.OpenDialog();
    QCOMPARE(ReadBytes(fixture.path), CrLfLines(kDefaultLines));
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("42"));
    QVERIFY(fixture.Errors().empty());
  }

  void ABadColourAtOpeningIsReportedAndTheDialogShowsWhatWasRead() {
    ConfigFixture fixture;
    QVERIFY(WriteBytes(fixture.path, "UDPDelay=77\r\nListColor=nonsense\r\nUDPDelay=88\r\n"));
    TForm5& dialog = fixture.Dialog();
    fixture.OpenDialog();
    QCOMPARE(*fixture.recorded.errors, std::vector<std::string>{"'nonsense' is not a valid integer value"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("77"));  // the line before the bad one
    QCOMPARE(dialog.ColorBox1()->currentText(), QStringLiteral("White"));
    // The user mends the file's value by saving.
    QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(ReadBytes(fixture.path).find("ListColor=clWhite\r\n") != std::string::npos);
  }
};

QTEST_MAIN(ConfigDialogTest)
#include "ConfigDialogTest.moc"
