#include "gui/MainMenuTable.h"

#include <array>
#include <map>
#include <string_view>

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "gui/Unit1.h"

namespace vantrix {

namespace {

using enum MenuEntry::Kind;
constexpr QKeyCombination kNone = QKeyCombination::fromCombined(0);

// The slot's name beside the slot, so that the two cannot disagree.
#define VANTRIX_SLOT(slot) #slot, &TForm1::slot

const auto kMenuTable = std::to_array<MenuEntry>({
    {kMenu, "", "File1", "File"},
    {kItem, "File1", "NewF11", "New file...", Qt::Key_F2, VANTRIX_SLOT(NewF11Click)},
    {kSeparator, "File1", "N1", ""},
    {kItem, "File1", "Openfromfile1", "Open file...", Qt::Key_F3, VANTRIX_SLOT(Openfromfile1Click)},
    {kSeparator, "File1", "N2", ""},
    {kItem, "File1", "Saveto1", "Save file...", Qt::Key_F4, VANTRIX_SLOT(Saveto1Click)},
    {kSeparator, "File1", "N3", ""},
    {kItem, "File1", "Saveselectedtoclipboard1", "Save selected to clipboard", Qt::CTRL | Qt::Key_C,
     VANTRIX_SLOT(Saveselectedtoclipboard1Click)},

    {kMenu, "", "Edit1", "Edit"},
    {kItem, "Edit1", "AddserverF41", "Add server...", Qt::Key_Insert, VANTRIX_SLOT(AddserverF41Click)},
    {kItem, "Edit1", "EditserverF41", "Edit server...", Qt::CTRL | Qt::Key_Insert,
     VANTRIX_SLOT(EditserverF41Click)},
    {kItem, "Edit1", "DeleteserverF61", "Delete server", Qt::Key_Delete, VANTRIX_SLOT(DeleteserverF61Click)},
    {kSeparator, "Edit1", "N4", ""},
    {kItem, "Edit1", "Clearserverinfo1", "Clear server info", Qt::SHIFT | Qt::Key_Insert,
     VANTRIX_SLOT(Clearserverinfo1Click)},
    {kItem, "Edit1", "Clearallserverinfo1", "Clear all servers info", Qt::SHIFT | Qt::Key_Delete,
     VANTRIX_SLOT(Clearallserverinfo1Click)},

    {kMenu, "", "View1", "View"},
    {kItem, "View1", "Refresh1", "Refresh", kNone, VANTRIX_SLOT(Refresh1Click)},
    {kSeparator, "View1", "N5", ""},
    {kMenu, "View1", "Liststyle1", "List style"},
    {kItem, "Liststyle1", "Icons1", "Icons", kNone, VANTRIX_SLOT(Icons1Click)},
    {kItem, "Liststyle1", "Smallicons1", "Small icons", kNone, VANTRIX_SLOT(Smallicons1Click)},
    {kItem, "Liststyle1", "List2", "List", kNone, VANTRIX_SLOT(List2Click)},
    {kItem, "Liststyle1", "Reportdefault1", "Report (default)", kNone, VANTRIX_SLOT(Reportdefault1Click)},
    {kCheckItem, "View1", "Gridlines1", "Grid lines", kNone, VANTRIX_SLOT(Gridlines1Click)},
    {kCheckItem, "View1", "Filterbar1", "Filter bar", kNone, VANTRIX_SLOT(Filterbar1Click)},
    {kSeparator, "View1", "N6", ""},
    {kItem, "View1", "Showreceivedpackets1", "Show received packets", kNone,
     VANTRIX_SLOT(Showreceivedpackets1Click)},

    {kMenu, "", "List1", "List"},
    {kItem, "List1", "Importfromfile1", "Import from file...", Qt::Key_F5,
     VANTRIX_SLOT(Importfromfile1Click)},
    {kMenu, "List1", "Exportto1", "Import from other tool"},
    {kItem, "Exportto1", "Orbisk20inifile1", "[.ini] Orbisk 2.0 settings file", kNone,
     VANTRIX_SLOT(Orbisk20inifile1Click)},
    {kItem, "Exportto1", "txtTrelvanox1421", "[.txt] Trelvanox 1.42 settings file", kNone,
     VANTRIX_SLOT(txtTrelvanox1421Click)},
    {kItem, "List1", "Importfrommasterserver1", "Import from master server...", Qt::CTRL | Qt::Key_F5,
     VANTRIX_SLOT(Importfrommasterserver1Click)},
    {kSeparator, "List1", "N7", ""},
    {kItem, "List1", "Removeduplicates1", "Remove duplicates", Qt::Key_F6,
     VANTRIX_SLOT(Removeduplicates1Click)},
    {kItem, "List1", "Removebadservers1", "Remove bad servers", Qt::Key_F7,
     VANTRIX_SLOT(Removebadservers1Click)},
    {kSeparator, "List1", "N8", ""},
    {kMenu, "List1", "debughostplayers1", "Export to _list.txt"},
    {kItem, "debughostplayers1", "IPName1", "[IP] - [Name]", kNone, VANTRIX_SLOT(IPName1Click)},
    {kItem, "debughostplayers1", "IPNamePlayers1", "[IP] - [Name] - [Players]", kNone,
     VANTRIX_SLOT(IPNamePlayers1Click)},
    {kItem, "debughostplayers1", "IPComment1", "[IP] | [Comment] (Gorvane 1.0x)", kNone,
     VANTRIX_SLOT(IPComment1Click)},
    {kItem, "debughostplayers1", "IPNamePlayersComment1", "[IP] - [Name] - [Players] - [Comment]", kNone,
     VANTRIX_SLOT(IPNamePlayersComment1Click)},

    {kMenu, "", "Checking1", "Checking"},
    {kItem, "Checking1", "Checkserver1", "Check server", Qt::Key_F9, VANTRIX_SLOT(Checkserver1Click)},
    {kItem, "Checking1", "CheckallF121", "Check all servers", Qt::Key_F10, VANTRIX_SLOT(CheckallF121Click)},
    {kItem, "Checking1", "Checkallatonce1", "Check all servers at once", Qt::CTRL | Qt::Key_F10,
     VANTRIX_SLOT(Checkallatonce1Click)},
    {kSeparator, "Checking1", "N9", ""},
    {kItem, "Checking1", "Showplayers1", "Show players", Qt::Key_F11, VANTRIX_SLOT(Showplayers1Click)},
    {kItem, "Checking1", "Showrules1", "Show rules", Qt::Key_F12, VANTRIX_SLOT(Showrules1Click)},
    {kSeparator, "Checking1", "N11", ""},
    {kItem, "Checking1", "Joinserver1", "Join server", Qt::CTRL | Qt::Key_J, VANTRIX_SLOT(Joinserver1Click)},
    {kItem, "Checking1", "Copyconnectlink1", "Copy connect link", Qt::CTRL | Qt::SHIFT | Qt::Key_C,
     VANTRIX_SLOT(Copyconnectlink1Click)},
    {kSeparator, "Checking1", "N21", ""},
    {kItem, "Checking1", "Watchserver1", "Watch server", Qt::CTRL | Qt::Key_D,
     VANTRIX_SLOT(Watchserver1Click)},
    {kMenu, "Checking1", "Autorefresh1", "Auto refresh"},
    {kRadioItem, "Autorefresh1", "Autorefreshoff1", "Off", kNone, VANTRIX_SLOT(Autorefreshoff1Click)},
    {kRadioItem, "Autorefresh1", "Autorefresh30s1", "30 seconds", kNone, VANTRIX_SLOT(Autorefresh30s1Click)},
    {kRadioItem, "Autorefresh1", "Autorefresh1m1", "1 minute", kNone, VANTRIX_SLOT(Autorefresh1m1Click)},
    {kRadioItem, "Autorefresh1", "Autorefresh5m1", "5 minutes", kNone, VANTRIX_SLOT(Autorefresh5m1Click)},
    {kRadioItem, "Autorefresh1", "Autorefresh15m1", "15 minutes", kNone, VANTRIX_SLOT(Autorefresh15m1Click)},
    {kRadioItem, "Autorefresh1", "Autorefresh1h1", "1 hour", kNone, VANTRIX_SLOT(Autorefresh1h1Click)},
    {kItem, "Checking1", "Serverhistory1", "Server history...", Qt::CTRL | Qt::Key_H,
     VANTRIX_SLOT(Serverhistory1Click)},

    {kMenu, "", "Settings1", "Settings"},
    {kItem, "Settings1", "Settings2", "Settings...", kNone, VANTRIX_SLOT(Settings2Click)},
    {kItem, "Settings1", "Buddies1", "Buddies...", kNone, VANTRIX_SLOT(Buddies1Click)},

    {kMenu, "", "Help1", "Help"},
    {kItem, "Help1", "About1", "About...", kNone, VANTRIX_SLOT(About1Click)},

    {kItem, "", "Exit1", "Exit", kNone, VANTRIX_SLOT(Exit1Click)},

    {kPopup, "", "PopupMenu2", ""},
    {kItem, "PopupMenu2", "Check1", "Check", kNone, VANTRIX_SLOT(Check1Click)},
    {kSeparator, "PopupMenu2", "N10", ""},
    {kItem, "PopupMenu2", "Edit2", "Edit...", kNone, VANTRIX_SLOT(Edit2Click)},
    {kItem, "PopupMenu2", "Delete1", "Delete", kNone, VANTRIX_SLOT(Delete1Click)},
    {kSeparator, "PopupMenu2", "N12", ""},
    {kItem, "PopupMenu2", "Joinserver2", "Join server", kNone, VANTRIX_SLOT(Joinserver2Click)},
    {kItem, "PopupMenu2", "Copyconnectlink2", "Copy connect link", kNone,
     VANTRIX_SLOT(Copyconnectlink2Click)},
    {kItem, "PopupMenu2", "Watchserver2", "Watch server", kNone, VANTRIX_SLOT(Watchserver2Click)},
});

#undef VANTRIX_SLOT

}  // namespace

std::span<const MenuEntry> MainMenuTable() {
  return kMenuTable;
}

QMenu* BuildMenus(QMenuBar& bar, QWidget& owner,
                  const std::function<QAction*(const MenuEntry&)>& makeAction) {
  std::map<std::string_view, QMenu*> menus;
  std::map<std::string_view, QActionGroup*> radioGroups;  // one per menu
  QMenu* popup = nullptr;
  for (const MenuEntry& entry : MainMenuTable()) {
    const QString name = QString::fromLatin1(entry.name);
    const QString caption = QString::fromLatin1(entry.caption);
    QMenu* parent = *entry.parent ? menus.at(entry.parent) : nullptr;
    switch (entry.kind) {
      case kMenu: {
        QMenu* menu = parent ? parent->addMenu(caption) : bar.addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        menus[entry.name] = menu;
        break;
      }
      case kPopup:
        popup = new QMenu(&owner);
        popup->setObjectName(name);
        menus[entry.name] = popup;
        break;
      case kSeparator:
        parent->addSeparator()->setObjectName(name);
        break;
      case kItem:
      case kCheckItem:
      case kRadioItem: {
        QAction* action = makeAction(entry);
        if (entry.kind == kRadioItem) {
          QActionGroup*& group = radioGroups[entry.parent];
          if (!group) group = new QActionGroup(parent ? static_cast<QObject*>(parent) : &owner);
          group->addAction(action);
        }
        if (parent)
          parent->addAction(action);
        else
          bar.addAction(action);
        break;
      }
    }
  }
  return popup;
}

}  // namespace vantrix
