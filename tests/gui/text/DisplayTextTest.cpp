#include "gui/text/DisplayText.h"

#include <random>
#include <string>

#include <QStringDecoder>
#include <QTest>

using namespace vantrix;

namespace {

// Reference: Qt's own decoder replaces every ill-formed sequence, so bytes are valid
// UTF-8 exactly when decoding and encoding again gives them back.
bool ReferenceValid(const std::string& bytes) {
  const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  const QString decoded = decoder.decode(raw);
  return decoded.toUtf8() == raw;
}

// Random byte strings that are often, but not always, well-formed UTF-8.
std::string RandomBytes(std::mt19937& random) {
  static const std::string pieces[] = {"a",
                                       "Z",
                                       " ",
                                       "\xC3\xA9",
                                       "\xE2\x82\xAC",
                                       "\xF0\x9F\x98\x80",
                                       "\xC3",
                                       "\x80",
                                       "\xE2\x82",
                                       "\xED\xA0\x80",
                                       "\xC0\xAF",
                                       "\xF4\x90\x80\x80",
                                       "\xEF\xBB\xBF",
                                       "\xFF",
                                       std::string(1, '\0'),
                                       "\xF8\x88\x80\x80\x80"};
  std::uniform_int_distribution<int> length(0, 8);
  std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::string bytes;
  const int parts = length(random);
  for (int i = 0; i < parts; ++i) {
    if (random() % 6 == 0)
      bytes.push_back(static_cast<char>(anyByte(random)));
    else
      bytes += pieces[pick(random)];
  }
  return bytes;
}

}  // namespace

class DisplayTextTest : public QObject {
  Q_OBJECT

 private slots:
  void ValidityAgreesWithQtDecoderOnRandomBytes() {
    std::mt19937 random(20240519);
    int valid = 0;
    for (int i = 0; i < 20000; ++i) {
      const std::string bytes = RandomBytes(random);
      const bool expected = ReferenceValid(bytes);
      if (IsValidUtf8(bytes) != expected)
        QFAIL(qPrintable(QStringLiteral("disagree on %1")
                             .arg(QString::fromLatin1(QByteArray::fromStdString(bytes).toHex()))));
      valid += expected ? 1 : 0;
    }
    // Both kinds must really have been exercised.
    QVERIFY(valid > 2000);
    QVERIFY(valid < 18000);
  }

  void RejectsTheIllFormedClasses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("ascii") << QByteArray("10.0.0.5:27015") << true;
    QTest::newRow("two-byte") << QByteArray("caf\xC3\xA9") << true;
    QTest::newRow("four-byte") << QByteArray("\xF0\x9F\x98\x80") << true;
    QTest::newRow("highest") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("lone latin-1") << QByteArray("caf\xE9") << false;
    QTest::newRow("truncated") << QByteArray("\xE2\x82") << false;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("overlong three") << QByteArray("\xE0\x80\xAF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("above range") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("stray continuation") << QByteArray("a\x80") << false;
  }
  void RejectsTheIllFormedClasses() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(IsValidUtf8(bytes.toStdString()), valid);
  }

  void ShowsUtf8OrLatin1() {
    QCOMPARE(ToDisplay("caf\xC3\xA9"), QString(QStringLiteral("caf") + QChar(0xE9)));
    QCOMPARE(ToDisplay("caf\xE9"), QString(QStringLiteral("caf") + QChar(0xE9)));
    // A byte-order mark and a zero byte are shown, not dropped.
    QCOMPARE(ToDisplay("\xEF\xBB\xBFx").size(), 2);
    QCOMPARE(ToDisplay(std::string("a\0b", 3)).size(), 3);
  }

  void UnchangedTextKeepsItsBytesAndTypedTextIsUtf8() {
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i) {
      const std::string bytes = RandomBytes(random);
      QCOMPARE(EditedBytes(ToDisplay(bytes), bytes), bytes);
    }
    // A Latin-1 cell that the user changes becomes UTF-8, the untouched part included.
    QCOMPARE(EditedBytes(ToDisplay("caf\xE9") + QStringLiteral("!"), "caf\xE9"), std::string("caf\xC3\xA9!"));
    QCOMPARE(FromDisplay(QString(QChar(0x20AC))), std::string("\xE2\x82\xAC"));
  }
};

QTEST_MAIN(DisplayTextTest)
#include "DisplayTextTest.moc"
