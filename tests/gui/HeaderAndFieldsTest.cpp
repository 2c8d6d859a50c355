// What the window explains and shows: the columns' tooltips and descriptions, the sort
// indicator, and a frame around every field of every dialog in the black look.

#include <algorithm>
#include <filesystem>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "core/lists/ListFile.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit8.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;

namespace {

// Hands each dialog to a check instead of running it.
struct InspectingDialogRunner final : DialogRunner {
  std::function<void(QDialog&)> inspect;
  int Exec(QDialog& dialog) override {
    inspect(dialog);
    return QDialog::Rejected;
  }
};

// Whether every side of the field's outer two pixels shows something brighter than black.
bool FrameVisible(QWidget& field) {
  const QImage image = field.grab().toImage();
  const auto bright = [&](int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return std::max({c.red(), c.green(), c.blue()}) >= 0x40;
  };
  bool sides[4] = {};
  for (int d = 0; d < 2; ++d) {
    for (int x = 0; x < image.width(); ++x) {
      sides[0] = sides[0] || bright(x, d);
      sides[1] = sides[1] || bright(x, image.height() - 1 - d);
    }
    for (int y = 0; y < image.height(); ++y) {
      sides[2] = sides[2] || bright(d, y);
      sides[3] = sides[3] || bright(image.width() - 1 - d, y);
    }
  }
  return std::all_of(std::begin(sides), std::end(sides), [](bool side) { return side; });
}

// Each visible input field of the shown dialog, without and with the focus; counts them.
void CheckFields(QDialog& dialog, int& checked) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  for (QWidget* field : dialog.findChildren<QWidget*>()) {
    const bool inner = qobject_cast<QComboBox*>(field->parentWidget()) ||
                       qobject_cast<QAbstractSpinBox*>(field->parentWidget());
    if (!field->isVisible() || (!qobject_cast<QComboBox*>(field) && !qobject_cast<QAbstractSpinBox*>(field) &&
                                (!qobject_cast<QLineEdit*>(field) || inner)))
      continue;
    const QByteArray name = (dialog.objectName() + QLatin1Char('.') + field->objectName()).toLatin1();
    QVERIFY2(FrameVisible(*field), name.constData());
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QVERIFY2(FrameVisible(*field), QByteArray(name + " focused").constData());
    ++checked;
  }
  dialog.hide();
}

}  // namespace

class HeaderAndFieldsTest : public QObject {
  Q_OBJECT

 private slots:
  void HeadersExplainTheirColumnsToTheEyeAndToScreenReaders() {
    const QStringList expected{
        QStringLiteral("IP address: host and port, as typed or loaded"),
        QStringLiteral("Server name: the name the server reports"),
        QStringLiteral("Map: the map being played"),
        QStringLiteral("Ping: milliseconds from request to reply"),
        QStringLiteral("Players: players / maximum"),
        QStringLiteral("Comment: your note, saved in the list file"),
        QStringLiteral("W: answered (+) or not (-)"),
        QStringLiteral("D: server type: D dedicated, L listen, P proxy (relay)"),
        QStringLiteral("S: operating system: L Linux, W Windows, M macOS"),
        QStringLiteral("P: password (+) or none (-)"),
    };
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QVERIFY(Activate(form));
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(form.ListView1());
    QStringList descriptions;
    for (int i = 0; i < tree->childCount(); ++i)
      if (tree->child(i)->role() == QAccessible::ColumnHeader)
        descriptions << tree->child(i)->text(QAccessible::Description);
    QCOMPARE(descriptions, expected);
    const QAbstractItemModel* model = form.ListView1()->header()->model();
    for (int column = 0; column < kColumnCount; ++column)
      QCOMPARE(model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(), expected[column]);
    QCOMPARE(model->headerData(6, Qt::Horizontal).toString(), QStringLiteral("W"));  // captions stay
  }

  void TheSortedColumnShowsUntilTheNextHeaderClick() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    for (const char* address : {"b:1", "a:1", "c:1"}) app.Table().AppendRow(address);
    QVERIFY(Activate(form));
    QHeaderView* header = form.ListView1()->header();
    QVERIFY(!header->isSortIndicatorShown());
    const auto clickShows = [&](int column, Qt::SortOrder order) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
      return header->isSortIndicatorShown() && header->sortIndicatorSection() == column &&
             header->sortIndicatorOrder() == order;
    };
    QVERIFY(clickShows(0, Qt::AscendingOrder));
    QVERIFY(clickShows(0, Qt::DescendingOrder));
    QVERIFY(app.Table().Address(0) == "c:1");  // the sorting itself is the table's, as before
    QVERIFY(clickShows(3, Qt::AscendingOrder));
    QVERIFY(clickShows(3, Qt::AscendingOrder));  // "Ping" always sorts ascending
    QVERIFY(clickShows(2, Qt::AscendingOrder));
    // New, paste, Open and a check's cells leave it where it is.
    QVERIFY(app.Trigger("NewF11"));
    QGuiApplication::clipboard()->setText(QStringLiteral("10.0.0.1:27015\r\n"));
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
    QTemporaryDir folder;
    const std::filesystem::path list = std::filesystem::path(folder.path().toStdString()) / "l.vnx";
    Spit(list, FormatRecordLayout(app.Table()));
    app.script->Answer(list, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    QCOMPARE(app.Table().Count(), 1);
    app.Table().SetCell(0, kWCell, "+");
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
  }

  void EveryFieldOfEveryDialogKeepsAVisibleFrame() {
    RecordedApplication recorded;
    auto runner = std::make_unique<InspectingDialogRunner>();
    int checked = 0;
    bool masterShown = false;
    runner->inspect = [&](QDialog& dialog) {
      masterShown = qobject_cast<TForm8*>(&dialog) != nullptr;
      CheckFields(dialog, checked);
    };
    recorded.app->SetDialogRunner(std::move(runner));
    QVERIFY(Activate(recorded.app->Form1()));
    CheckFields(recorded.app->Form2(), checked);
    TForm5& settings = recorded.app->Form5();
    for (int page = 0; page < settings.PageControl1()->count(); ++page) {
      settings.PageControl1()->setCurrentIndex(page);
      CheckFields(settings, checked);
    }
    recorded.app->Form1().MenuAction(QStringLiteral("Importfrommasterserver1"))->trigger();
    QVERIFY(masterShown);
    QVERIFY2(checked >= 12, qPrintable(QString::number(checked)));  // editor, settings, master import
  }
};

QTEST_MAIN(HeaderAndFieldsTest)
#include "HeaderAndFieldsTest.moc"
