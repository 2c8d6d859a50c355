#pragma once

#include <array>
#include <filesystem>

#include <QToolBar>

#include "core/filter/FilterBarSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vantrix {

class FilterCountrySource;
class ServerTableModel;

// The filter bar above the list: the text field "Filter", the toggles, "Max ping" and the
// "N of M servers" label. It only decides which rows the views show (through the model);
// the table and every command that works on it never see it. Hidden, it filters nothing.
// What the user set is kept in view.ini as soon as it changes.
class FilterBar final : public QToolBar {
  Q_OBJECT

 public:
  FilterBar(ServerTableModel& model, QWidget* parent);

  // Where view.ini lives (tests point it elsewhere); Load reads it and shows the bar as it
  // was left.
  void SetSettingsPath(std::filesystem::path path) { m_path = std::move(path); }
  const std::filesystem::path& SettingsPath() const { return m_path; }
  void Load();

  // The "country:" field's lookups; null (the default) makes "country:..." a plain term.
  // The source must outlive the bar.
  void SetCountrySource(const FilterCountrySource* countries);

  // More countries are known: a filter with a "country:" term is applied again.
  void CountriesChanged();

  bool Shown() const { return m_settings.visible; }
  // Shows or hides the bar (the menu's check item) and applies the filter or drops it.
  void SetShown(bool shown);
  // Ctrl+F: shows the bar and puts the focus in the text field; never hides.
  void FocusText();
  // Esc in the text field when nothing runs: clears the text, or hides the bar when empty.
  void ClearOrHide();

  QLineEdit* TextField() const { return m_text; }
  QSpinBox* MaxPing() const { return m_maxPing; }
  QLabel* CountLabel() const { return m_count; }
  // "Answered", "Not empty", "Not full", "No password".
  const std::array<QCheckBox*, 4>& Toggles() const { return m_toggles; }

 signals:
  // The bar was shown or hidden (the menu item follows).
  void ShownChanged(bool shown);
  // Esc in the text field; the window decides (a run to stop first).
  void EscapePressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadControls();
  void ShowSettings();
  void Apply();
  void Save() const;
  void UpdateCount();

  ServerTableModel& m_model;
  const FilterCountrySource* m_countries = nullptr;
  std::filesystem::path m_path;
  FilterBarSettings m_settings;
  QLineEdit* m_text = nullptr;
  std::array<QCheckBox*, 4> m_toggles{};
  QSpinBox* m_maxPing = nullptr;
  QLabel* m_count = nullptr;
  bool m_showing = false;  // the controls are being set from m_settings
};

}  // namespace vantrix
