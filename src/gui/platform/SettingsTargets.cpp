#include "gui/platform/SettingsTargets.h"

#include <QGuiApplication>
#include <QPalette>

#include "core/settings/SettingsNumbers.h"
#include "gui/text/ColorDisplay.h"

namespace vantrix {

void ApplySettingsTo(const SettingsReader& settings, const SettingsTargets& targets) {
  const Settings now = settings.Snapshot();
  const std::int32_t bufferSize = BufferSizeFromText(now.bufferSize);
  if (targets.endpoint) targets.endpoint(bufferSize, now.broadcast);
  const QPalette desktop = QGuiApplication::palette();
  const QColor background = ToQColor(now.listColor, desktop.color(QPalette::Base));
  const QColor text = ToQColor(now.textColor, desktop.color(QPalette::Text));
  if (targets.listColors) targets.listColors(background, text);
}

}  // namespace vantrix
