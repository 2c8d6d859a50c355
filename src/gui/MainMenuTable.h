#pragma once

#include <functional>
#include <span>

#include <Qt>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace vantrix {

class TForm1;

// One line of the main window's menus. Entries are listed in menu order; an entry's menu is
// listed before it.
struct MenuEntry {
  enum class Kind {
    kMenu,       // a menu: on the menu bar when parent is empty, otherwise a submenu
    kPopup,      // a menu of its own, shown on request
    kItem,       // a command: on the menu bar when parent is empty
    kCheckItem,  // a command with a check mark, off at start
    kRadioItem,  // one of a menu's exclusive choices (the window checks the one in force)
    kSeparator,
  };

  Kind kind;
  const char* parent;   // component name of the menu that holds it; "" for the menu bar
  const char* name;     // component name
  const char* caption;  // empty for separators
  QKeyCombination shortcut = QKeyCombination::fromCombined(0);  // none when zero
  const char* handlerName = "";                                 // name of TForm1's slot that the entry runs
  void (TForm1::*handler)() = nullptr;

  bool HasShortcut() const { return shortcut.toCombined() != 0; }
};

// Every menu, submenu, command and separator of the main window.
std::span<const MenuEntry> MainMenuTable();

// Builds the table's menus and separators on `bar`, popup menus as children of `owner`, and
// puts in each command the action that makeAction returns for its entry. Returns the popup
// menu (null when the table has none).
QMenu* BuildMenus(QMenuBar& bar, QWidget& owner, const std::function<QAction*(const MenuEntry&)>& makeAction);

}  // namespace vantrix
