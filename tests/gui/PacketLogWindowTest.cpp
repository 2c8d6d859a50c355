#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QAccessible>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTime>

#include "core/time/WallClock.h"
#include "gui/Unit7.h"
#include "gui/platform/DesktopTimeFormat.h"
#include "gui/text/DisplayText.h"

using namespace vantrix;

namespace {

// A clock the test sets; the window keeps a pointer to the time it reads.
class SetClock final : public WallClock {
 public:
  explicit SetClock(std::shared_ptr<TimeOfDay> time) : m_time(std::move(time)) {}
  std::int64_t NowSeconds() const override { return 0; }
  TimeOfDay LocalTimeOfDay() const override { return *m_time; }

 private:
  std::shared_ptr<TimeOfDay> m_time;
};

template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// What the text box shows once it has caught up with the log.
QString Shown(TForm7& form) {
  form.ShowPendingLines();
  return form.Memo1()->toPlainText();
}

int ShownLines(TForm7& form) {
  form.ShowPendingLines();
  return form.Memo1()->blockCount();
}

// The window as the test expects to see it, built the slow and obvious way: the whole text
// of the log, with the line count taken from that text.
class ReferenceLog {
 public:
  void Add(const std::string& datagram) {
    std::string bytes = datagram;
    for (char& c : bytes) {
      if (c == '\0') c = ' ';
    }
    const std::string entry = "12:00:00 - " + bytes;
    // One line per entry: C0 and C1 controls but the tab, and the line and paragraph
    // separators, each show as U+FFFD.
    QString line;
    for (const QChar c : ToDisplay(entry)) {
      const char16_t u = c.unicode();
      const bool control = (u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
      line += control ? QChar(0xFFFD) : c;
    }
    m_text = m_text.isNull() ? line : m_text + QLatin1Char('\n') + line;
    if (m_text.count(QLatin1Char('\n')) + 1 > 2000) m_text = QString();
  }
  QString Text() const { return m_text.isNull() ? QString() : m_text; }

 private:
  QString m_text;
};

}  // namespace

class PacketLogWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void AnEntryIsTheTimeAndTheBytesWithZeroBytesAsSpaces() {
    auto time = std::make_shared<TimeOfDay>(TimeOfDay{21, 34, 5});
    TForm7 form(nullptr, std::make_unique<SetClock>(time));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    form.LogPacket(Bytes("\xFF\xFF\xFF\xFFm127.0.0.1:27015\0My server\0de_dust2\0\x01\x10"));
    QCOMPARE(Shown(form), QStringLiteral("21:34:05 - ") +
                              QString::fromLatin1("\xFF\xFF\xFF\xFFm127.0.0.1:27015 My server de_dust2 ") +
                              QStringLiteral("\uFFFD\uFFFD"));
    *time = TimeOfDay{7, 3, 9};
    form.LogPacket("Caf\xC3\xA9");  // valid UTF-8 is shown as such
    form.LogPacket("<b>not bold</b>");
    const QStringList lines = Shown(form).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1], QStringLiteral("07:03:09 - Caf\u00E9"));
    QCOMPARE(lines[2], QStringLiteral("07:03:09 - <b>not bold</b>"));
    // Plain text only: no character of the log carries bold or any other format.
    QTextBlock block = form.Memo1()->document()->lastBlock();
    QVERIFY(!block.charFormat().font().bold());
    QCOMPARE(block.text(), lines[2]);
  }

  void TheEntryThatMakes2001LinesEmptiesTheLog() {
    auto time = std::make_shared<TimeOfDay>(TimeOfDay{1, 2, 3});
    TForm7 form(nullptr, std::make_unique<SetClock>(time));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    for (int i = 1; i <= 2000; ++i) form.LogPacket("packet " + std::to_string(i));
    QCOMPARE(ShownLines(form), 2000);
    QCOMPARE(form.Memo1()->document()->firstBlock().text(), QStringLiteral("01:02:03 - packet 1"));
    QCOMPARE(form.Memo1()->document()->lastBlock().text(), QStringLiteral("01:02:03 - packet 2000"));
    form.LogPacket("packet 2001");
    QVERIFY(Shown(form).isEmpty());
    QCOMPARE(form.Log().LineCount(), size_t(0));
    form.LogPacket("packet 2002");
    QCOMPARE(Shown(form), QStringLiteral("01:02:03 - packet 2002"));
    QCOMPARE(ShownLines(form), 1);
  }

  void ADatagramWithLineBreaksIsOneLineAndCountsOnce() {
    TForm7 form(nullptr, std::make_unique<SetClock>(std::make_shared<TimeOfDay>()));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    form.LogPacket("a\r\nb\nc\rd\te");
    QCOMPARE(ShownLines(form), 1);
    QCOMPARE(Shown(form), QStringLiteral("00:00:00 - a\uFFFD\uFFFDb\uFFFDc\uFFFDd\te"));
    QCOMPARE(form.Log().LineCount(), size_t(1));
    // 1999 more entries with breaks reach 2000 lines exactly; one more empties the log.
    for (int i = 0; i < 1999; ++i) form.LogPacket("two\nlines");
    QCOMPARE(ShownLines(form), 2000);
    QCOMPARE(form.Log().LineCount(), size_t(2000));
    form.LogPacket("x");
    QVERIFY(Shown(form).isEmpty());
    // UTF-8 that spells a line or paragraph separator cannot break the line either.
    form.LogPacket("A\xE2\x80\xA9Z\xE2\x80\xA8");
    QCOMPARE(ShownLines(form), 1);
    QCOMPARE(Shown(form), QStringLiteral("00:00:00 - A\uFFFDZ\uFFFD"));
  }

  void TheWindowShowsWhatTheSlowReferenceExpects() {
    TForm7 form(nullptr, std::make_unique<SetClock>(std::make_shared<TimeOfDay>(TimeOfDay{12, 0, 0})));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    ReferenceLog reference;
    QRandomGenerator random(20240517);
    const std::vector<std::string> pieces{
        "x",    "yz",           std::string(1, '\0'), "\r",   "\n",   "\r\n", "\xC3\xA9",
        "\xFF", "\xE2\x80\xA9", "\xE2\x80\xA8",       "\xE9", "\x01", " ",    "<i>",
        "\t"};
    for (int round = 0; round < 2500; ++round) {
      std::string datagram;
      const int count = random.bounded(12);
      for (int i = 0; i < count; ++i)
        datagram += pieces[static_cast<size_t>(random.bounded(static_cast<int>(pieces.size())))];
      form.LogPacket(datagram);
      reference.Add(datagram);
      if (Shown(form) != reference.Text()) {
        QFAIL(qPrintable(QStringLiteral("round %1 differs").arg(round)));
      }
      const int lines =
          reference.Text().isEmpty() ? 0 : static_cast<int>(reference.Text().count(QLatin1Char('\n'))) + 1;
      QCOMPARE(static_cast<int>(form.Log().LineCount()), lines);
    }
  }

  void ItLogsWhileHiddenAndKeepsItsLinesOverHidingAndShowing() {
    TForm7 form(nullptr, std::make_unique<SetClock>(std::make_shared<TimeOfDay>()));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    QVERIFY(!form.isVisible());
    form.LogPacket("first");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.LogPacket("second");
    QVERIFY(form.close());
    form.LogPacket("third");
    form.show();
    QCOMPARE(Shown(form), QStringLiteral("00:00:00 - first\n00:00:00 - second\n00:00:00 - third"));
    // A new line scrolls into view when the view was at the bottom.
    for (int i = 0; i < 200; ++i) form.LogPacket("more");
    QTest::qWait(0);
    QScrollBar* bar = form.Memo1()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
  }

  void NewLinesReachTheTextBoxByThemselvesInOneBatch() {
    TForm7 form(nullptr, std::make_unique<SetClock>(std::make_shared<TimeOfDay>(TimeOfDay{10, 0, 0})));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    int insertions = 0;
    connect(form.Memo1()->document(), &QTextDocument::contentsChange, this,
            [&insertions](int, int, int added) { insertions += added > 0 ? 1 : 0; });
    for (int i = 0; i < 50; ++i) form.LogPacket("burst " + std::to_string(i));
    QTRY_COMPARE_WITH_TIMEOUT(form.Memo1()->blockCount(), 50, 5000);
    QCOMPARE(insertions, 1);
    QCOMPARE(form.Memo1()->document()->lastBlock().text(), QStringLiteral("10:00:00 - burst 49"));
    // Emptying the log also drops lines not shown yet.
    for (int i = 0; i < 1951; ++i) form.LogPacket("more");
    QCOMPARE(form.Log().LineCount(), size_t(0));
    QTest::qWait(3 * TForm7::kShowLinesEveryMs);
    QVERIFY(form.Memo1()->toPlainText().isEmpty());
  }

  void TheDefaultClockIsTheLocalTimeInTheLongFormat() {
    TForm7 form;
    form.SetTimeFormat(TimeFormat{});  // read back below as HH:mm:ss
    const QTime before = QTime::currentTime();
    form.LogPacket("now");
    const QTime after = QTime::currentTime();
    const QRegularExpression format(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d) - now$"));
    const QRegularExpressionMatch match = format.match(Shown(form));
    QVERIFY2(match.hasMatch(), qPrintable(Shown(form)));
    const QTime logged(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    QVERIFY(logged.isValid());
    // The system's seconds may trail the precise clock by a tick.
    const QTime start = QTime(before.hour(), before.minute(), before.second()).addSecs(-1);
    if (start <= after) QVERIFY(logged >= start && logged <= after);  // unless midnight passed
    // A clock put in later is used from the next entry on.
    form.SetClock(std::make_unique<SetClock>(std::make_shared<TimeOfDay>(TimeOfDay{23, 59, 59})));
    form.LogPacket("late");
    form.ShowPendingLines();
    QCOMPARE(form.Memo1()->document()->lastBlock().text(), QStringLiteral("23:59:59 - late"));
  }

  void TimesAreWrittenInTheDesktopsLongFormat() {
    const TimeOfDay evening{21, 34, 5};
    QCOMPARE(QString::fromStdString(
                 DesktopTimeFormat(QLocale(QLocale::English, QLocale::UnitedStates)).Format(evening)),
             QStringLiteral("9:34:05 PM"));
    QCOMPARE(
        QString::fromStdString(DesktopTimeFormat(QLocale(QLocale::German, QLocale::Germany)).Format(evening)),
        QStringLiteral("21:34:05"));
    QCOMPARE(QString::fromStdString(DesktopTimeFormat(QLocale::c()).Format(evening)),
             QStringLiteral("21:34:05"));
    // The log is 8-bit text: a locale whose format or AM/PM texts go beyond ASCII still
    // gives an ASCII time with the hour, minutes and seconds.
    for (const QLocale& locale :
         {QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::Arabic, QLocale::Egypt),
          QLocale(QLocale::Korean, QLocale::SouthKorea)}) {
      const std::string text = DesktopTimeFormat(locale).Format(evening);
      QVERIFY2(std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
               text.c_str());
      QVERIFY2(text.find("34:05") != std::string::npos, text.c_str());
    }
    // Newer locale data: a narrow no-break space before AM/PM is a space in the log.
    QCOMPARE(QString::fromStdString(TimeFormatFrom(QStringLiteral("h:mm:ss\u202FAP t"), QStringLiteral("AM"),
                                                   QStringLiteral("PM"))
                                        .Format(evening)),
             QStringLiteral("9:34:05 PM"));
    // Without a format given, the window writes the desktop's own.
    auto time = std::make_shared<TimeOfDay>(evening);
    TForm7 form(nullptr, std::make_unique<SetClock>(time));
    form.LogPacket("x");
    QCOMPARE(Shown(form), QString::fromStdString(DesktopTimeFormat().Format(evening) + " - x"));
  }

  void TheTextBoxIsReadOnlyAndReadableByAssistiveTechnology() {
    TForm7 form(nullptr, std::make_unique<SetClock>(std::make_shared<TimeOfDay>(TimeOfDay{9, 8, 7})));
    form.SetTimeFormat(TimeFormat{});  // the times below are on the 24-hour clock
    QPlainTextEdit* memo = form.Memo1();
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(memo->palette().color(QPalette::Text), QColor(0, 255, 0));
    form.LogPacket(Bytes("\xFF\xFF\xFF\xFFm\0name"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(memo);
    QVERIFY(access);
    QAccessibleTextInterface* text = access->textInterface();
    QVERIFY(text);
    // As soon as the window has caught up, which it does by itself.
    QTRY_COMPARE_WITH_TIMEOUT(text->text(0, text->characterCount()),
                              QStringLiteral("09:08:07 - ") + QString::fromLatin1("\xFF\xFF\xFF\xFFm name"),
                              5000);
    // Typing does not change the log.
    QTest::keyClicks(memo, QStringLiteral("typed"));
    QCOMPARE(Shown(form), QStringLiteral("09:08:07 - ") + QString::fromLatin1("\xFF\xFF\xFF\xFFm name"));
  }
};

QTEST_MAIN(PacketLogWindowTest)
#include "PacketLogWindowTest.moc"
