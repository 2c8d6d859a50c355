#pragma once

#include <cstdint>
#include <string_view>

#include <QWidget>

#include "core/protocol/PlayersWindowState.h"
#include "net/TIdUDPServer.h"

class QAction;
class QListWidget;
class QMenu;

namespace vantrix {

class Application;

// The players window: asks one server for its players through an endpoint of its own and
// shows one line per player. A resizable tool window; closing it only hides it.
class TForm4 final : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::int32_t kBufferSize = 32767;

  // Opens the window's endpoint on an ephemeral port; its errors are not caught here.
  explicit TForm4(Application& app);
  ~TForm4() override;

  QListWidget* ListBox1() const { return m_listBox1; }
  QMenu* PopupMenu1() const { return m_popupMenu1; }
  QAction* Refresh1() const { return m_refresh1; }
  TIdUDPServer& IdUDPServer1() { return m_idUDPServer1; }
  const PlayersWindowState& Players() const { return m_players; }

  // Clears the list, remembers the address and sends the request of the protocol chosen in
  // the configuration. A port that is not a whole number, or a send that fails, throws (the
  // list stays cleared).
  void RequestPlayers(std::string_view address);

  void Refresh1Click();
  void IdUDPServer1UDPRead(TIdUDPServer& sender, std::string_view datagram, const TIdSocketHandle& binding,
                           std::uint32_t arrivalTick);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  Application& m_app;
  QListWidget* m_listBox1;
  QMenu* m_popupMenu1;
  QAction* m_refresh1;
  // The endpoint goes first on destruction: no datagram reaches the list after that.
  PlayersWindowState m_players;
  TIdUDPServer m_idUDPServer1;
};

}  // namespace vantrix
