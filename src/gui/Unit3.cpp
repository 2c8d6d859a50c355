#include "gui/Unit3.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "gui/Application.h"
#include "gui/platform/OuterFrameSize.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/NetworkLine.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

TForm3::TForm3(Application& app)
    : QWidget(nullptr, Qt::Tool), m_memo1(new QPlainTextEdit(this)), m_idUDPServer1(app.MainThread()) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Rules"));
  ApplyBlackLook(*this);
  m_memo1->setObjectName(QStringLiteral("Memo1"));
  m_memo1->setReadOnly(true);
  ApplyBlackField(*m_memo1);
  m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_memo1);

  OpenWindowEndpoint(m_idUDPServer1, kBufferSize, this, &TForm3::IdUDPServer1UDPRead);
  // Initial size of the outer frame, centred on the desktop.
  new OuterFrameSize(*this, {QSize(322, 329)});
}

TForm3::~TForm3() {
  m_idUDPServer1.Close();
}

void TForm3::RequestRules(std::string_view address) {
  m_memo1->clear();
  const auto target = m_rules.RequestRules(address);
  if (!target) return;
  m_idUDPServer1.Send(target->host, target->port, RulesCollector::Request());
}

void TForm3::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& /*binding*/, std::uint32_t /*arrivalTick*/) {
  const std::vector<std::string> lines = m_rules.Receive(datagram);
  // One redraw for the whole reply.
  m_memo1->setUpdatesEnabled(false);
  for (const std::string& line : lines) m_memo1->appendPlainText(NetworkLine(line));
  m_memo1->setUpdatesEnabled(true);
}

}  // namespace vantrix
