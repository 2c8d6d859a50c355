#pragma once

#include <filesystem>
#include <string>

#include <QDialog>

#include "core/settings/ConfigFile.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsReader.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace vantrix {

class Application;
class ColorBox;
class SettingLineEdit;

// The configuration dialog (modal, fixed size, close box only). Its controls are the only
// store of the settings while the program runs: the rest of the program reads them through
// the SettingsReader interface at the moment it needs a value. Each opening loads
// config.ini into the controls first, so the file, not earlier unsaved edits, is shown.
class TForm5 final : public QDialog, public SettingsReader {
  Q_OBJECT

 public:
  explicit TForm5(Application& app);

  // config.ini beside the executable unless pointed elsewhere (tests).
  const ConfigFile& Config() const { return m_config; }
  void SetConfigFile(ConfigFile config) { m_config = std::move(config); }

  // Reads config.ini into the controls, or writes the default file when there is none.
  // The settings read before a failure are in the controls; the failure is thrown on.
  void LoadSettings();

  // SettingsReader: the controls' values at this moment.
  Settings Snapshot() const override;
  void ShowSettings(const Settings& settings);

  QTabWidget* PageControl1() const { return m_pageControl1; }
  SettingLineEdit* Edit1() const { return m_edit1; }
  SettingLineEdit* Edit2() const { return m_edit2; }
  SettingLineEdit* Edit3() const { return m_edit3; }
  QCheckBox* CheckBox1() const { return m_checkBox1; }
  QCheckBox* CheckBox2() const { return m_checkBox2; }
  QCheckBox* CheckBox3() const { return m_checkBox3; }
  QCheckBox* CheckBox4() const { return m_checkBox4; }
  ColorBox* ColorBox1() const { return m_colorBox1; }
  ColorBox* ColorBox2() const { return m_colorBox2; }
  QComboBox* ComboBox1() const { return m_comboBox1; }
  SettingLineEdit* Edit4() const { return m_edit4; }  // "Join command"
  QPushButton* Button2() const { return m_button2; }
  QPushButton* Button5() const { return m_button5; }

 public slots:
  void FormShow();
  void Button2Click();
  void Button5Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* CreateGeneralPage();
  QWidget* CreateOtherPage();

  Application& m_app;
  ConfigFile m_config;
  QTabWidget* m_pageControl1;
  SettingLineEdit* m_edit1 = nullptr;
  SettingLineEdit* m_edit2 = nullptr;
  SettingLineEdit* m_edit3 = nullptr;
  QCheckBox* m_checkBox1 = nullptr;
  QCheckBox* m_checkBox2 = nullptr;
  QCheckBox* m_checkBox3 = nullptr;
  QCheckBox* m_checkBox4 = nullptr;
  ColorBox* m_colorBox1 = nullptr;
  ColorBox* m_colorBox2 = nullptr;
  QComboBox* m_comboBox1 = nullptr;    // "Query protocol"
  SettingLineEdit* m_edit4 = nullptr;  // "Join command"
  QPushButton* m_button2 = nullptr;
  QPushButton* m_button5 = nullptr;
};

}  // namespace vantrix
