#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vantrix {

// A pair of spin arrows beside an edit field. It only reports which arrow was used; what
// the step does to the field is the owner's business, so the field itself stays free
// text (a spin box would refuse text that is not a number). The Up and Down keys in the
// associated field act as the arrows.
class UpDown final : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

  // The field whose Up and Down keys act as the arrows; null for none.
  void SetAssociate(QLineEdit* edit);

 signals:
  // +1 for the up arrow, -1 for the down arrow, before anything steps.
  void Changing(int direction);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* m_up;
  QToolButton* m_down;
  QLineEdit* m_associate = nullptr;
};

}  // namespace vantrix
