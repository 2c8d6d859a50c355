#include "gui/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/util/Version.h"
#include "gui/GuiTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit2.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/platform/MessageBoxErrorReporter.h"

using namespace vantrix;
using vantrix::test::RecordedApplication;

namespace {

bool IsBlack(const QWidget& window) {
  return window.palette().color(QPalette::Window) == QColor(Qt::black) && window.autoFillBackground();
}

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void WindowsExistHiddenInCreationOrderWithTheirCaptions() {
    RecordedApplication recorded;
    const std::vector<QWidget*> windows = recorded.app->Windows();
    const QStringList captions{QStringLiteral("Vantrix " VANTRIX_VERSION),
                               QStringLiteral("Add server"),
                               QStringLiteral("Players"),
                               QStringLiteral("Configuration"),
                               QStringLiteral("About box"),
                               QStringLiteral("Received packets"),
                               QStringLiteral("Rules")};
    const QStringList names{QStringLiteral("Form1"), QStringLiteral("Form2"), QStringLiteral("Form4"),
                            QStringLiteral("Form5"), QStringLiteral("Form6"), QStringLiteral("Form7"),
                            QStringLiteral("Form3")};
    QCOMPARE(windows.size(), size_t(7));
    for (size_t i = 0; i < windows.size(); ++i) {
      QWidget* window = windows[i];
      QCOMPARE(window->windowTitle(), captions[static_cast<int>(i)]);
      QCOMPARE(window->objectName(), names[static_cast<int>(i)]);
      QVERIFY(window->isWindow());
      QVERIFY(!window->isVisible());
      QVERIFY2(IsBlack(*window), qPrintable(names[static_cast<int>(i)]));
      QVERIFY(!window->windowIcon().isNull());
    }
    // The list in creation order is the same set of windows the accessors hand out.
    QCOMPARE(windows[0], static_cast<QWidget*>(&recorded.app->Form1()));
    QCOMPARE(windows[2], static_cast<QWidget*>(&recorded.app->Form4()));
    QCOMPARE(windows[6], static_cast<QWidget*>(&recorded.app->Form3()));
  }

  void MainWindowHasItsSizeFontAndTitleBar() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QCOMPARE(form.width(), 810);
    QCOMPARE(form.height(), 314);
    QCOMPARE(form.minimumWidth(), 810);
    QCOMPARE(form.maximumWidth(), 810);
    QCOMPARE(form.minimumHeight(), 77);
    QVERIFY(form.maximumHeight() > 314);
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QVERIFY(form.font().bold());
    QCOMPARE(form.font().pointSize(), 8);
    QCOMPARE(form.font().styleHint(), QFont::SansSerif);
    // The list: white background and black text until the settings say otherwise.
    QCOMPARE(form.ListView1()->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(form.ListView1()->palette().color(QPalette::Text), QColor(Qt::black));
    form.SetListColors(QColor(0, 0, 128), QColor(Qt::yellow));
    QCOMPARE(form.ListView1()->palette().color(QPalette::Base), QColor(0, 0, 128));
    QCOMPARE(form.ListView1Icons()->palette().color(QPalette::Text), QColor(Qt::yellow));
    // Centred on the screen.
    const QRect screen = form.screen()->availableGeometry();
    QVERIFY(qAbs(form.frameGeometry().center().x() - screen.center().x()) <= 2);
  }

  void StatusBarHasThreePanelsWithTheirStartTexts() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QStatusBar* bar = form.StatusBar1();
    QCOMPARE(bar->height(), 19);
    QVERIFY(!bar->isSizeGripEnabled());
    QVERIFY(bar->font().bold());
    QCOMPARE(form.StatusPanel(0)->text(), QStringLiteral("0/0"));
    QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("recv 0"));
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Vantrix " VANTRIX_VERSION " loaded"));
    QCOMPARE(form.StatusPanel(0)->width(), 55);
    QCOMPARE(form.StatusPanel(1)->width(), 75);
    for (int panel = 0; panel < 3; ++panel) QCOMPARE(form.StatusPanel(panel)->textFormat(), Qt::PlainText);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The message panel stretches to the right edge.
    QVERIFY(form.StatusPanel(2)->width() > 500);
    // SetStatus 3 and 2 both write the message panel; data is shown as plain text.
    form.SetStatus(3, "<b>Error: x</b>");
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("<b>Error: x</b>"));
    form.SetStatus(2, "Idle...");
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
    form.SetStatus(1, "recv 5");
    QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("recv 5"));
  }

  void TimerIsAStoppedSingleShotOf400Ms() {
    RecordedApplication recorded;
    QTimer* timer = recorded.app->Form1().Timer1();
    QCOMPARE(timer->interval(), 400);
    QVERIFY(timer->isSingleShot());
    QVERIFY(!timer->isActive());
  }

  void SecondaryWindowsHaveTheirShapes() {
    RecordedApplication recorded;
    Application& app = *recorded.app;
    // Tool windows, resizable.
    for (QWidget* tool : {static_cast<QWidget*>(&app.Form3()), static_cast<QWidget*>(&app.Form4()),
                          static_cast<QWidget*>(&app.Form7())}) {
      QCOMPARE(tool->windowType(), Qt::Tool);
      QVERIFY(tool->minimumSize() != tool->maximumSize());
    }
    QCOMPARE(app.Form4().size(), QSize(230, 294));
    QCOMPARE(app.Form3().size(), QSize(322, 329));
    QCOMPARE(app.Form7().size(), QSize(301, 367));
    QVERIFY(app.Form3().Memo1()->isReadOnly());
    QCOMPARE(app.Form3().Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(app.Form7().Memo1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(app.Form4().ListBox1() != nullptr);
    // Modal dialogs of fixed size with a close box only.
    for (QDialog* dialog : {static_cast<QDialog*>(&app.Form2()), static_cast<QDialog*>(&app.Form5()),
                            static_cast<QDialog*>(&app.Form6())}) {
      QVERIFY(dialog->isModal());
      QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
      QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
      QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
      QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    }
    QCOMPARE(app.Form6().size(), QSize(183, 103));
    QCOMPARE(app.Form2().Button1()->text(), QStringLiteral("Add"));
  }

  void ClosingASecondaryWindowOnlyHidesIt() {
    RecordedApplication recorded;
    TForm7& log = recorded.app->Form7();
    log.Memo1()->setPlainText(QStringLiteral("kept"));
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    QVERIFY(log.close());
    QVERIFY(!log.isVisible());
    log.show();
    QCOMPARE(log.Memo1()->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(recorded.endCount, 0);
  }

  void FormShowRunsOnceAndClosingTheMainWindowEndsTheProgram() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    QSignalSpy started(&form, &TForm1::StartupDone);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.hide();
    form.show();
    QCOMPARE(started.count(), 1);
    // Without arguments nothing is loaded and the message panel keeps its start text.
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Vantrix " VANTRIX_VERSION " loaded"));
    QCOMPARE(form.Table().Count(), 0);
    form.close();
    QCOMPARE(recorded.endCount, 1);
    // Nothing was asked: no dialog was shown on the way out.
    QVERIFY(recorded.dialogs->empty());
  }

  void CommandErrorsGoToTheErrorReportAndTheProgramGoesOn() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.RunCommand([] { throw std::runtime_error("'abc' is not a valid integer value"); });
    form.RunCommand([] {});
    QCOMPARE(recorded.errors->size(), size_t(1));
    QCOMPARE(recorded.errors->front(), std::string("'abc' is not a valid integer value"));
  }

  void TheMessageBoxReportShowsTheTextAsPlainText() {
    MessageBoxErrorReporter reporter;
    QString seen;
    Qt::TextFormat format = Qt::RichText;
    QTimer::singleShot(0, this, [&] {
      for (int i = 0; i < 100 && seen.isEmpty(); ++i) {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          seen = box->text();
          format = box->textFormat();
          box->accept();
          return;
        }
        QTest::qWait(20);
      }
    });
    reporter.Report("<i>bad</i> value");
    QCOMPARE(seen, QStringLiteral("<i>bad</i> value"));
    QCOMPARE(format, Qt::PlainText);
  }
};

QTEST_MAIN(ApplicationTest)
#include "ApplicationTest.moc"
