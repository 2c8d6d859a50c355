#pragma once

#include <functional>

#include <QDialog>

#include "core/table/ServerEditor.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrix {

class Application;
class UpDown;

// The server editor dialog (modal): adds a server to the main window's table or
// overwrites the selected row. The main window sets its caption and the caption of
// Button1 before it shows it; the rules live in ServerEditor.
class TForm2 final : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(Application& app);

  // Client heights of the two states of the settings toggle, and the one it is created in.
  static constexpr int kCollapsedHeight = 57;
  static constexpr int kExpandedHeight = 249;
  static constexpr int kCreatedHeight = 209;

  QLineEdit* Edit1() const { return m_edit1; }
  QLineEdit* Edit2() const { return m_edit2; }
  QLineEdit* Edit3() const { return m_edit3; }
  QLineEdit* Edit4() const { return m_edit4; }
  QLineEdit* Edit5() const { return m_edit5; }
  QComboBox* ComboBox1() const { return m_comboBox1; }
  UpDown* UpDown1() const { return m_upDown1; }
  UpDown* UpDown2() const { return m_upDown2; }
  QCheckBox* CheckBox1() const { return m_checkBox1; }
  QCheckBox* CheckBox2() const { return m_checkBox2; }
  QPushButton* Button1() const { return m_button1; }
  QPushButton* Button2() const { return m_button2; }
  QPushButton* Button3() const { return m_button3; }
  QFrame* Bevel1() const { return m_bevel1; }

  // The map names the drop-down list offers, in order.
  static QStringList MapNames();

 public slots:
  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  // Enter in the address field acts as Button1; returns whether the key was taken.
  bool Edit1KeyPress(const QKeyEvent& event);
  // `direction` +1 for the up arrow, -1 for the down arrow.
  void UpDown1ChangingEx(int direction);
  void UpDown2ChangingEx(int direction);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* AddLabel(const char* text, int x, int y, int width);
  QPushButton* AddButton(const char* name, const char* caption, int x);
  ServerEditor Editor() const;
  ServerEditor::Fields ReadFields() const;
  void WriteFields(const ServerEditor::Fields& fields);
  void Arrow(bool upDown1, int direction);
  void Run(const std::function<void()>& handler);

  Application& m_app;
  // The bytes last put into the fields: an untouched field gives them back unchanged.
  ServerEditor::Fields m_shown;
  QLineEdit* m_edit1 = nullptr;
  QPushButton* m_button1 = nullptr;
  QPushButton* m_button3 = nullptr;
  QPushButton* m_button2 = nullptr;
  QFrame* m_bevel1 = nullptr;
  QLineEdit* m_edit2 = nullptr;
  QComboBox* m_comboBox1 = nullptr;
  QLineEdit* m_edit4 = nullptr;
  UpDown* m_upDown1 = nullptr;
  QLineEdit* m_edit3 = nullptr;
  UpDown* m_upDown2 = nullptr;
  QLineEdit* m_edit5 = nullptr;
  QCheckBox* m_checkBox1 = nullptr;
  QCheckBox* m_checkBox2 = nullptr;
};

}  // namespace vantrix
