#pragma once

#include "core/settings/Settings.h"

namespace vantrix {

// Read-only view of the live settings. In the window it is backed by the configuration
// dialog's controls, read at the moment of use; tests back it with plain values.
// Callers take one snapshot per use and read the fields they need from it, so a new setting
// is one more field of Settings and nothing here changes.
class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  virtual Settings Snapshot() const = 0;
};

}  // namespace vantrix
