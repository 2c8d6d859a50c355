#pragma once

#include <array>

#include <QDialog>

class QLabel;

namespace vantrix {

// The about box (modal, fixed size, closed by its close box only): the program's name and
// version, its icon to the right, and four lines of credits and support.
class TForm6 final : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCreditLineCount = 4;

  explicit TForm6(QWidget* parent = nullptr);

  QLabel* Label1() const { return m_label1; }
  QLabel* Image1() const { return m_image1; }
  QLabel* CreditLine(int line) const { return m_credits.at(static_cast<size_t>(line)); }

 private:
  QLabel* m_label1;
  QLabel* m_image1;
  std::array<QLabel*, kCreditLineCount> m_credits{};
};

}  // namespace vantrix
