#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStringList>

class QWidget;

namespace vantrix {

// The program's look: black windows, lime bold text in the main window, bright green
// bold labels in the dialogs, and one icon for every window.
inline const QColor kLime{0x00, 0xFF, 0x00};

void ApplyBlackLook(QWidget& window, const QColor& text = kLime);
// A text box or list inside a black window: black behind lime text, in a green frame.
void ApplyBlackField(QWidget& field);
QIcon ProgramIcon();
// A bold sans-serif font: the first of the families that the desktop has, at this size.
QFont BoldFont(const QStringList& families, int points);
// Gives a part of a black window (its menu bar) the desktop's ordinary colours again.
void ApplyStandardColors(QWidget& widget);
// Puts a window in the middle of the screen it is on (or the primary screen).
void CentreOnScreen(QWidget& window);
// Shows a window, or brings it back to the front with the focus when it is already shown.
void ShowInFront(QWidget& window);

}  // namespace vantrix
