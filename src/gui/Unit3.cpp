#include "gui/Unit3.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "gui/Application.h"
#include "gui/Unit5.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/NetworkLine.h"
#include "gui/text/WindowLook.h"
#include "net/IPv4Text.h"

namespace vantrix {

TForm3::TForm3(Application& app)
    : QWidget(nullptr, Qt::Tool),
      m_app(app),
      m_memo1(new QPlainTextEdit(this)),
      m_idUDPServer1(app.MainThread()) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Rules"));
  resize(322, 329);
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
  CentreOnScreen(*this);
}

TForm3::~TForm3() {
  m_idUDPServer1.Close();
}

void TForm3::RequestRules(std::string_view address) {
  m_memo1->clear();
  const auto target = m_rules.RequestRules(address);
  if (!target) return;
  if (m_app.Form5().Snapshot().queryProtocol == QueryProtocol::kOriginal) {
    m_idUDPServer1.Send(target->host, target->port, RulesCollector::Request());
    return;
  }
  const std::uint32_t sentTo = m_idUDPServer1.Send(target->host, target->port, m_rules.CurrentRequest());
  m_rules.SetAsked(FormatIPv4(sentTo) + ":" + std::to_string(target->port));
}

std::vector<std::string> TForm3::TakeCurrent(std::string_view datagram, const TIdSocketHandle& binding) {
  const std::string sender = binding.SenderIP() + ":" + std::to_string(binding.SenderPort());
  RulesCollector::CurrentStep step = m_rules.ReceiveCurrent(datagram, sender);
  if (step.sendAgain) AnswerSender(m_idUDPServer1, binding, *step.sendAgain);
  return std::move(step.added);
}

void TForm3::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& binding, std::uint32_t /*arrivalTick*/) {
  const std::vector<std::string> lines = m_app.Form5().Snapshot().queryProtocol == QueryProtocol::kOriginal
                                             ? m_rules.Receive(datagram)
                                             : TakeCurrent(datagram, binding);
  // One redraw for the whole reply.
  m_memo1->setUpdatesEnabled(false);
  for (const std::string& line : lines) m_memo1->appendPlainText(NetworkLine(line));
  m_memo1->setUpdatesEnabled(true);
}

}  // namespace vantrix
