#pragma once

#include <cstdint>
#include <functional>

#include <QColor>

#include "core/settings/SettingsReader.h"

namespace vantrix {

// Where ApplySettings pushes the four settings it applies: the main window's datagram
// endpoint (receive buffer size, then broadcast permission) and its list's colours.
struct SettingsTargets {
  std::function<void(std::int32_t bufferSize, bool broadcast)> endpoint;
  std::function<void(const QColor& background, const QColor& text)> listColors;
};

// ApplySettings: BufferSize and Broadcast to the endpoint, then ListColor and TextColor to
// the list, read from the settings at this moment. A step that throws (a BufferSize that is
// no whole number throws ConversionError) ends it: the later steps are not applied.
// A colour with nothing to paint (clNone, clDefault) gives the desktop's ordinary list colour.
void ApplySettingsTo(const SettingsReader& settings, const SettingsTargets& targets);

}  // namespace vantrix
