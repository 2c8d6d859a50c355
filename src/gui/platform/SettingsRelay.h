#pragma once

#include <functional>
#include <utility>

#include "core/settings/SettingsReader.h"

namespace vantrix {

// Reads the settings from the reader that `source` names at the moment of the read, so a
// component built before the settings' owner exists (or one that tests replace) still
// sees the live values.
class SettingsRelay final : public SettingsReader {
 public:
  using Source = std::function<const SettingsReader&()>;

  explicit SettingsRelay(Source source) : m_source(std::move(source)) {}

  Settings Snapshot() const override { return m_source().Snapshot(); }

 private:
  Source m_source;
};

}  // namespace vantrix
