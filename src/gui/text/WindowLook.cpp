#include "gui/text/WindowLook.h"

#include <QApplication>
#include <QByteArray>
#include <QMetaObject>
#include <QPalette>
#include <QScreen>
#include <QWidget>

// Resources of a static library have to be pulled in by name.
static void InitProgramResources() {
  Q_INIT_RESOURCE(vantrix);
}

namespace vantrix {

void ApplyBlackLook(QWidget& window, const QColor& text) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, text);
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  window.setWindowIcon(ProgramIcon());
}

void ApplyBlackField(QWidget& field) {
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, kLime);
  field.setPalette(palette);
  // A style draws the edge from the window's colours, black on black: the field would vanish
  // until focused. A green frame of its own shows it, bright while it has the focus. The rule
  // names the field's Qt class, so the parts inside it (a spin box's text) keep their look.
  const QMetaObject* type = field.metaObject();
  while (type->superClass() && !QByteArray(type->className()).startsWith('Q')) type = type->superClass();
  const QString name = QString::fromLatin1(type->className());
  field.setStyleSheet(name + QStringLiteral(" { border: 1px solid #008000; } ") + name +
                      QStringLiteral(":focus { border: 1px solid #00FF00; }"));
}

void ApplyStandardColors(QWidget& widget) {
  // Every role set explicitly, so nothing is inherited from the black window.
  QPalette palette = QApplication::palette(&widget);
  for (int group = 0; group < QPalette::NColorGroups; ++group) {
    const auto colorGroup = static_cast<QPalette::ColorGroup>(group);
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto colorRole = static_cast<QPalette::ColorRole>(role);
      palette.setColor(colorGroup, colorRole, palette.color(colorGroup, colorRole));
    }
  }
  widget.setPalette(palette);
}

QIcon ProgramIcon() {
  static const bool loaded = (InitProgramResources(), true);
  (void)loaded;
  QIcon icon;
  for (const char* name : {":/icons/vantrix16.png", ":/icons/vantrix32.png", ":/icons/vantrix48.png"})
    icon.addFile(QString::fromLatin1(name));
  return icon;
}

QFont BoldFont(const QStringList& families, int points) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(points);
  font.setBold(true);
  return font;
}

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  QRect frame = window.frameGeometry();
  frame.moveCenter(available.center());
  window.move(frame.topLeft());
}

void ShowInFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace vantrix
