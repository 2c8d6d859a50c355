// What the window explains and shows: the columns' tooltips and descriptions, the sort
// indicator, and frames around every field of every dialog in the black look.

#include <algorithm>
#include <functional>
#include <memory>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "core/lists/ListFile.h"
#include "gui/ListFilesTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit2.h"
#include "gui/Unit5.h"
#include "gui/Unit8.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace vantrix::test;

namespace {

const QStringList kDescriptions{
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

// Shows each dialog it is given to a check, then closes it.
class InspectingDialogRunner final : public DialogRunner {
 public:
  std::function<void(QDialog&)> inspect;
  int Exec(QDialog& dialog) override {
    if (inspect) inspect(dialog);
    return QDialog::Rejected;
  }
};

// The input fields of a window; a combo box's or spin box's own text line is part of it.
QList<QWidget*> InputFields(QWidget& window) {
  QList<QWidget*> fields;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const bool inner = qobject_cast<QComboBox*>(widget->parentWidget()) ||
                       qobject_cast<QAbstractSpinBox*>(widget->parentWidget());
    if (qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
        (qobject_cast<QLineEdit*>(widget) && !inner))
      fields << widget;
  }
  return fields;
}

// Whether every side of the field's outer two pixels shows something brighter than the
// black window around it.
bool FrameVisible(QWidget& field) {
  const QImage image = field.grab().toImage();
  const auto bright = [&](int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return std::max({c.red(), c.green(), c.blue()}) >= 0x40;
  };
  bool top = false, bottom = false, left = false, right = false;
  const int w = image.width();
  const int h = image.height();
  for (int d = 0; d < 2; ++d) {
    for (int x = 0; x < w; ++x) {
      top = top || bright(x, d);
      bottom = bottom || bright(x, h - 1 - d);
    }
    for (int y = 0; y < h; ++y) {
      left = left || bright(d, y);
      right = right || bright(w - 1 - d, y);
    }
  }
  return w > 4 && h > 4 && top && bottom && left && right;
}

// Checks the visible fields of a shown dialog, each without and with the focus.
void CheckFields(QDialog& dialog, int& checked) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  for (QWidget* field : InputFields(dialog)) {
    if (!field->isVisible()) continue;
    QVERIFY2(FrameVisible(*field), qPrintable(dialog.objectName() + QLatin1Char('.') + field->objectName()));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QVERIFY2(FrameVisible(*field), qPrintable(dialog.objectName() + QLatin1Char('.') + field->objectName() +
                                              QStringLiteral(" focused")));
    ++checked;
  }
  dialog.hide();
}

}  // namespace

class HeaderAndFieldsTest : public QObject {
  Q_OBJECT

 private slots:
  void HeadersExplainTheirColumnsToTheEyeAndToScreenReaders() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QVERIFY(Activate(form));
    QHeaderView* header = form.ListView1()->header();
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(form.ListView1());
    QVERIFY(tree);
    QStringList captions;
    QStringList descriptions;
    for (int i = 0; i < tree->childCount(); ++i) {
      QAccessibleInterface* child = tree->child(i);
      if (!child || child->role() != QAccessible::ColumnHeader) continue;
      captions << child->text(QAccessible::Name);
      descriptions << child->text(QAccessible::Description);
    }
    QCOMPARE(descriptions, kDescriptions);
    QCOMPARE(captions.value(6), QStringLiteral("W"));  // the captions stay
    for (int column = 0; column < kColumnCount; ++column)
      QCOMPARE(header->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(),
               kDescriptions[column]);
  }

  void TheSortedColumnShowsUntilTheNextHeaderClick() {
    ScriptedApplication app;
    TForm1& form = app.Form();
    for (const char* address : {"b:1", "a:1", "c:1"})
      app.Table().AppendRow(MakeRow(address, "n", "1/8", " "));
    QVERIFY(Activate(form));
    QHeaderView* header = form.ListView1()->header();
    QVERIFY(!header->isSortIndicatorShown());
    const auto click = [&](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    const auto shows = [&](int column, Qt::SortOrder order) {
      return header->isSortIndicatorShown() && header->sortIndicatorSection() == column &&
             header->sortIndicatorOrder() == order;
    };
    click(0);
    QVERIFY(shows(0, Qt::AscendingOrder));
    QVERIFY(app.Table().Address(0) == "a:1");
    click(0);
    QVERIFY(shows(0, Qt::DescendingOrder));
    QVERIFY(app.Table().Address(0) == "c:1");  // the sorting itself is the table's, as before
    click(3);
    QVERIFY(shows(3, Qt::AscendingOrder));
    click(3);
    QVERIFY(shows(3, Qt::AscendingOrder));  // "Ping" always sorts ascending
    click(2);
    QVERIFY(shows(2, Qt::AscendingOrder));

    // New, paste, Open and a check's cells leave it where it is.
    QVERIFY(app.Trigger("NewF11"));
    QGuiApplication::clipboard()->setText(QStringLiteral("10.0.0.1:27015\r\n"));
    QTest::keyClick(form.ListView1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(app.Table().Count(), 1);
    QTemporaryDir folder;
    const std::filesystem::path list = std::filesystem::path(folder.path().toStdString()) / "l.vnx";
    Spit(list, FormatRecordLayout(app.Table()));
    app.script->Answer(list, 1);
    QVERIFY(app.Trigger("Openfromfile1"));
    app.Table().SetCell(0, kWCell, "+");
    QVERIFY(shows(2, Qt::AscendingOrder));
  }

  void EveryFieldOfEveryDialogKeepsAVisibleFrame() {
    RecordedApplication recorded;
    auto runner = std::make_unique<InspectingDialogRunner>();
    InspectingDialogRunner& inspecting = *runner;
    recorded.app->SetDialogRunner(std::move(runner));
    TForm1& form = recorded.app->Form1();
    QVERIFY(Activate(form));
    int checked = 0;
    CheckFields(recorded.app->Form2(), checked);
    TForm5& settings = recorded.app->Form5();
    for (int page = 0; page < settings.PageControl1()->count() && !QTest::currentTestFailed(); ++page) {
      settings.PageControl1()->setCurrentIndex(page);
      CheckFields(settings, checked);
    }
    if (QTest::currentTestFailed()) return;
    bool masterShown = false;
    inspecting.inspect = [&](QDialog& dialog) {
      masterShown = qobject_cast<TForm8*>(&dialog) != nullptr;
      CheckFields(dialog, checked);
    };
    form.MenuAction(QStringLiteral("Importfrommasterserver1"))->trigger();
    QVERIFY(masterShown);
    // Editor, configuration (both pages) and master import: a dozen fields at least.
    QVERIFY2(checked >= 12, qPrintable(QString::number(checked)));
  }
};

QTEST_MAIN(HeaderAndFieldsTest)
#include "HeaderAndFieldsTest.moc"
