#pragma once

#include <functional>
#include <utility>

#include "core/settings/SettingsReader.h"

namespace vantrix {

// Reads every setting from the reader that `source` names at the moment of the read, so a
// component built before the settings' owner exists (or one that tests replace) still
// sees the live values.
class SettingsRelay final : public SettingsReader {
 public:
  using Source = std::function<const SettingsReader&()>;

  explicit SettingsRelay(Source source) : m_source(std::move(source)) {}

  std::string BufferSizeText() const override { return m_source().BufferSizeText(); }
  bool Broadcast() const override { return m_source().Broadcast(); }
  std::string UdpDelayText() const override { return m_source().UdpDelayText(); }
  bool PacketLog() const override { return m_source().PacketLog(); }
  bool Connect() const override { return m_source().Connect(); }
  std::string DefaultPortText() const override { return m_source().DefaultPortText(); }
  bool Progress() const override { return m_source().Progress(); }
  std::uint32_t ListColor() const override { return m_source().ListColor(); }
  std::uint32_t TextColor() const override { return m_source().TextColor(); }
  QueryProtocol Protocol() const override { return m_source().Protocol(); }

 private:
  Source m_source;
};

}  // namespace vantrix
