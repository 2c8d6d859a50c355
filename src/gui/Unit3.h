#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QWidget>

#include "core/protocol/RulesCollector.h"
#include "net/TIdUDPServer.h"

class QPlainTextEdit;

namespace vantrix {

class Application;

// The rules window: asks one server for its rules through an endpoint of its own and
// shows one "name - value" line per rule in a read-only text box. A resizable tool window;
// closing it only hides it.
class TForm3 final : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::int32_t kBufferSize = 32767;

  // Opens the window's endpoint on an ephemeral port; its errors are not caught here.
  explicit TForm3(Application& app);
  ~TForm3() override;

  QPlainTextEdit* Memo1() const { return m_memo1; }
  TIdUDPServer& IdUDPServer1() { return m_idUDPServer1; }
  const RulesCollector& Rules() const { return m_rules; }

  // Clears the text box and sends the request of the protocol chosen in the configuration.
  // A port that is not a whole number, or a send that fails, throws (the text box stays
  // cleared).
  void RequestRules(std::string_view address);

  void IdUDPServer1UDPRead(TIdUDPServer& sender, std::string_view datagram, const TIdSocketHandle& binding,
                           std::uint32_t arrivalTick);

 private:
  std::vector<std::string> TakeCurrent(std::string_view datagram, const TIdSocketHandle& binding);

  Application& m_app;
  QPlainTextEdit* m_memo1;
  // The endpoint goes first on destruction: no datagram reaches the text box after that.
  RulesCollector m_rules;
  TIdUDPServer m_idUDPServer1;
};

}  // namespace vantrix
