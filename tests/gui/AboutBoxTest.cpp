#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTest>

#include "core/util/Version.h"
#include "gui/Unit6.h"

using namespace vantrix;

namespace {

QList<QLabel*> AllLabels(const TForm6& about) {
  QList<QLabel*> labels{about.Label1()};
  for (int line = 0; line < TForm6::kCreditLineCount; ++line) labels << about.CreditLine(line);
  return labels;
}

// The names of the dialog's accessible children, as a screen reader walks them.
QStringList AccessibleNames(QWidget& window) {
  QStringList names;
  QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window);
  if (!root) return names;
  for (int i = 0; i < root->childCount(); ++i) {
    if (QAccessibleInterface* child = root->child(i)) names << child->text(QAccessible::Name);
  }
  return names;
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryTextIsReadableByAssistiveTechnology() {
    TForm6 about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QStringList names = AccessibleNames(about);
    QVERIFY2(names.contains(QStringLiteral("Vantrix " VANTRIX_VERSION)),
             qPrintable(names.join(QLatin1Char('|'))));
    QStringList credits;
    for (int line = 0; line < TForm6::kCreditLineCount; ++line) {
      const QString text = about.CreditLine(line)->text();
      QVERIFY(!text.trimmed().isEmpty());
      QVERIFY2(names.contains(text), qPrintable(text));
      credits << text;
    }
    credits.removeDuplicates();
    QCOMPARE(credits.size(), TForm6::kCreditLineCount);
    QVERIFY(names.contains(QStringLiteral("Program icon")));
  }

  void TheTitleIsLargerAndEveryTextBrightGreenBoldOnBlack() {
    TForm6 about;
    QCOMPARE(about.Label1()->text(), QStringLiteral("Vantrix " VANTRIX_VERSION));
    QCOMPARE(about.Label1()->font().pixelSize(), 13);
    for (int line = 0; line < TForm6::kCreditLineCount; ++line)
      QCOMPARE(about.CreditLine(line)->font().pixelSize(), 11);
    for (QLabel* label : AllLabels(about)) {
      QVERIFY(label->font().bold());
      QCOMPARE(label->textFormat(), Qt::PlainText);
      QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    }
    QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(about.autoFillBackground());
  }

  void TheIconSitsRightOfTheTitleAndEveryLineFitsTheBox() {
    TForm6 about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QRect client = about.rect();
    QCOMPARE(client.size(), QSize(183, 103));
    QLabel* icon = about.Image1();
    QCOMPARE(icon->pixmap().size(), QSize(41, 41));
    QVERIFY(!icon->pixmap().toImage().isNull());
    QCOMPARE(icon->size(), QSize(41, 41));
    QVERIFY(client.contains(icon->geometry()));
    QVERIFY(icon->geometry().left() >= about.Label1()->geometry().right());
    QVERIFY(qAbs(icon->geometry().center().y() - about.Label1()->geometry().center().y()) <= 2);
    const QList<QLabel*> labels = AllLabels(about);
    for (QLabel* label : labels) {
      QVERIFY2(client.contains(label->geometry()), qPrintable(label->text()));
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
               qPrintable(label->text()));
      QVERIFY2(label->fontMetrics().height() <= label->contentsRect().height(), qPrintable(label->text()));
      QVERIFY2(!label->geometry().intersects(icon->geometry()), qPrintable(label->text()));
    }
    // The credit lines follow one another below the title, without overlapping.
    for (int i = 1; i < labels.size(); ++i) {
      QVERIFY(labels[i]->geometry().top() > labels[i - 1]->geometry().top());
      QVERIFY(!labels[i]->geometry().intersects(labels[i - 1]->geometry()));
    }
  }

  void ItHasNoButtonsAndOnlyACloseBox() {
    TForm6 about;
    QVERIFY(about.findChildren<QAbstractButton*>().isEmpty());
    QVERIFY(about.isModal());
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QCOMPARE(about.windowTitle(), QStringLiteral("About box"));
    const Qt::WindowFlags flags = about.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                       Qt::WindowContextHelpButtonHint)));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(about.close());
    QVERIFY(!about.isVisible());
  }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
