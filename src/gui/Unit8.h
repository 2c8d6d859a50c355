#pragma once

#include <QDialog>

#include "core/master/MasterImportSettings.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vantrix {

// "Import from master server": where to ask, which region, the filter, the most servers
// to take and an optional Web API key. Modal; OK accepts, Cancel or Esc rejects.
class TForm8 final : public QDialog {
  Q_OBJECT

 public:
  explicit TForm8(QWidget* parent = nullptr);

  void SetFields(const MasterImportSettings& settings);
  // The fields as they are now; a region not in the list stays what SetFields gave.
  MasterImportSettings Fields() const;

  QLineEdit* Edit1() const { return m_edit1; }          // master address
  QComboBox* ComboBox1() const { return m_comboBox1; }  // region
  QLineEdit* Edit2() const { return m_edit2; }          // filter
  QSpinBox* SpinEdit1() const { return m_spinEdit1; }   // most servers
  QLineEdit* Edit3() const { return m_edit3; }          // Web API key
  QPushButton* Button1() const { return m_button1; }    // OK
  QPushButton* Button2() const { return m_button2; }    // Cancel

 private:
  QLineEdit* m_edit1;
  QComboBox* m_comboBox1;
  QLineEdit* m_edit2;
  QSpinBox* m_spinEdit1;
  QLineEdit* m_edit3;
  QPushButton* m_button1;
  QPushButton* m_button2;
  std::uint8_t m_otherRegion = kRegionEverywhere;
};

}  // namespace vantrix
