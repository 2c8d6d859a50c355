#include "gui/Unit6.h"

#include <QLabel>

#include "core/util/Texts.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

namespace {

constexpr int kClientWidth = 183;
constexpr int kClientHeight = 103;
constexpr int kIconSize = 41;
constexpr int kMargin = 6;
constexpr int kTitlePixels = 13;
constexpr int kTextPixels = 11;
constexpr int kLineHeight = 13;
constexpr int kFirstCreditTop = kMargin + kIconSize + 2;

constexpr std::array<const char*, TForm6::kCreditLineCount> kCredits{
    "Game server list checker",
    "Made by the Vantrix team",
    "Free to use and pass on",
    "Help: see the README file",
};

QFont BoldPixels(const QFont& base, int pixels) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

QLabel* NewLabel(const char* name, const QString& text, const QFont& font, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  return label;
}

}  // namespace

TForm6::TForm6(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("About box"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  ApplyBlackLook(*this);
  const QFont text = BoldPixels(font(), kTextPixels);
  setFont(text);

  m_label1 = NewLabel("Label1", QString::fromLatin1(kProgramTitle), BoldPixels(font(), kTitlePixels), this);
  m_label1->setGeometry(kMargin, kMargin, kClientWidth - 3 * kMargin - kIconSize, kIconSize);
  m_label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  m_image1 = new QLabel(this);
  m_image1->setObjectName(QStringLiteral("Image1"));
  m_image1->setAccessibleName(QStringLiteral("Program icon"));
  m_image1->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize).scaled(kIconSize, kIconSize));
  m_image1->setGeometry(kClientWidth - kMargin - kIconSize, kMargin, kIconSize, kIconSize);

  for (int line = 0; line < kCreditLineCount; ++line) {
    const std::string name = "Label" + std::to_string(line + 2);
    QLabel* label =
        NewLabel(name.c_str(), QString::fromLatin1(kCredits[static_cast<size_t>(line)]), text, this);
    label->setGeometry(kMargin, kFirstCreditTop + line * kLineHeight, kClientWidth - 2 * kMargin,
                       kLineHeight);
    m_credits[static_cast<size_t>(line)] = label;
  }
  CentreOnScreen(*this);
}

}  // namespace vantrix
