#include "gui/platform/OuterFrameSize.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "gui/GuiTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"

using namespace vantrix;
using vantrix::test::RecordedApplication;

namespace {

QPoint DesktopCentre(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  return screen->availableGeometry().center();
}

}  // namespace

class OuterFrameSizeTest : public QObject {
  Q_OBJECT

 private slots:
  void AFrameShrinksTheWindowSoTheOuterSizeIsKept() {
    QWidget window;
    auto* sizer = new OuterFrameSize(window, {QSize(810, 314), QSize(810, 77), QSize(810, QWIDGETSIZE_MAX)});
    // No frame known yet: the window's own size is the outer one.
    QCOMPARE(window.size(), QSize(810, 314));
    QCOMPARE(window.minimumSize(), QSize(810, 77));
    QCOMPARE(window.maximumWidth(), 810);
    QVERIFY(!sizer->FrameApplied());
    // A frame with a 30-pixel title bar and 4-pixel borders.
    sizer->Apply(QMargins(4, 30, 4, 4));
    QVERIFY(sizer->FrameApplied());
    QCOMPARE(window.size(), QSize(802, 280));
    QCOMPARE(window.minimumSize(), QSize(802, 43));
    QCOMPARE(window.maximumWidth(), 802);
    QCOMPARE(window.maximumHeight(), QWIDGETSIZE_MAX);  // the height stays free
    QCOMPARE(OuterFrameSize::Inner(QSize(20, 10), QMargins(15, 15, 15, 15)), QSize(0, 0));
  }

  void TheWindowsStartAtTheirOuterSizesCentred() {
    RecordedApplication recorded;
    Application& app = *recorded.app;
    const QList<QPair<QWidget*, QSize>> windows{{&app.Form1(), QSize(810, 314)},
                                                {&app.Form4(), QSize(230, 294)},
                                                {&app.Form3(), QSize(322, 329)},
                                                {&app.Form7(), QSize(301, 367)}};
    for (const auto& [window, outer] : windows) {
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window));
      QCOMPARE(window->frameGeometry().size(), outer);
      // A window wider than the test's small screen may be nudged a pixel or two onto it.
      QVERIFY2((window->frameGeometry().center() - DesktopCentre(*window)).manhattanLength() <= 2,
               qPrintable(window->objectName()));
      window->hide();
    }
    // The main window's width is fixed, its height free down to 77, all outer.
    TForm1& main = app.Form1();
    const QSize frame = main.frameGeometry().size() - main.size();
    QCOMPARE(main.minimumSize() + frame, QSize(810, 77));
    QCOMPARE(main.maximumWidth() + frame.width(), 810);
    // The about box's size is its client area, as before.
    QCOMPARE(app.Form6().size(), QSize(183, 103));
  }
};

QTEST_MAIN(OuterFrameSizeTest)
#include "OuterFrameSizeTest.moc"
