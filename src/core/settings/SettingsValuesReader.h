#pragma once

#include <utility>

#include "core/settings/Settings.h"
#include "core/settings/SettingsReader.h"

namespace vantrix {

// The live settings read from plain values, for headless callers and tests; the window's
// reader is backed by the dialog's controls instead.
class SettingsValuesReader final : public SettingsReader {
 public:
  explicit SettingsValuesReader(Settings values = {}) : m_values(std::move(values)) {}

  Settings& Values() { return m_values; }
  const Settings& Values() const { return m_values; }

  Settings Snapshot() const override { return m_values; }

 private:
  Settings m_values;
};

}  // namespace vantrix
