#include "gui/platform/SettingsTargets.h"

#include <QGuiApplication>
#include <QPalette>

#include "core/settings/SettingsNumbers.h"
#include "gui/text/ColorDisplay.h"

namespace vantrix {

void ApplySettingsTo(const SettingsReader& settings, const SettingsTargets& targets) {
  const std::int32_t bufferSize = BufferSizeFromText(settings.BufferSizeText());
  if (targets.endpoint) targets.endpoint(bufferSize, settings.Broadcast());
  const QPalette desktop = QGuiApplication::palette();
  const QColor background = ToQColor(settings.ListColor(), desktop.color(QPalette::Base), desktop);
  const QColor text = ToQColor(settings.TextColor(), desktop.color(QPalette::Text), desktop);
  if (targets.listColors) targets.listColors(background, text);
}

}  // namespace vantrix
