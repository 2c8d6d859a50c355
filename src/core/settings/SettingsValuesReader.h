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

  std::string BufferSizeText() const override { return m_values.bufferSize; }
  bool Broadcast() const override { return m_values.broadcast; }
  std::string UdpDelayText() const override { return m_values.udpDelay; }
  bool PacketLog() const override { return m_values.packetLog; }
  bool Connect() const override { return m_values.connect; }
  std::string DefaultPortText() const override { return m_values.defaultPort; }
  bool Progress() const override { return m_values.progress; }
  std::uint32_t ListColor() const override { return m_values.listColor; }
  std::uint32_t TextColor() const override { return m_values.textColor; }
  QueryProtocol Protocol() const override { return m_values.queryProtocol; }

 private:
  Settings m_values;
};

}  // namespace vantrix
