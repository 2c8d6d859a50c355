#include "gui/Unit4.h"

#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

#include "gui/Application.h"
#include "gui/Unit5.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/NetworkLine.h"
#include "gui/text/WindowLook.h"
#include "net/IPv4Text.h"

namespace vantrix {

TForm4::TForm4(Application& app)
    : QWidget(nullptr, Qt::Tool),
      m_app(app),
      m_listBox1(new QListWidget(this)),
      m_popupMenu1(new QMenu(this)),
      m_refresh1(new QAction(QStringLiteral("Refresh"), this)),
      m_idUDPServer1(app.MainThread()) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Players"));
  resize(230, 294);
  ApplyBlackLook(*this);

  m_listBox1->setObjectName(QStringLiteral("ListBox1"));
  m_listBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  m_listBox1->setUniformItemSizes(true);
  ApplyBlackField(*m_listBox1);
  // The list's right clicks go to the window, whose menu serves every place in it.
  m_listBox1->setContextMenuPolicy(Qt::NoContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_listBox1);

  m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  ApplyStandardColors(*m_popupMenu1);
  m_refresh1->setObjectName(QStringLiteral("Refresh1"));
  m_popupMenu1->addAction(m_refresh1);
  connect(m_refresh1, &QAction::triggered, this,
          [this] { RunReported(m_app.Errors(), [this] { Refresh1Click(); }); });

  OpenWindowEndpoint(m_idUDPServer1, kBufferSize, this, &TForm4::IdUDPServer1UDPRead);
  CentreOnScreen(*this);
}

TForm4::~TForm4() {
  m_idUDPServer1.Close();
}

void TForm4::RequestPlayers(std::string_view address) {
  m_listBox1->clear();
  const auto target = m_players.RequestPlayers(address);
  if (!target) return;
  if (m_app.Form5().Snapshot().queryProtocol == QueryProtocol::kOriginal) {
    m_idUDPServer1.Send(target->host, target->port, PlayersWindowState::Request());
    return;
  }
  const std::uint32_t sentTo = m_idUDPServer1.Send(target->host, target->port, m_players.CurrentRequest());
  m_players.SetAsked(FormatIPv4(sentTo) + ":" + std::to_string(target->port));
}

void TForm4::Refresh1Click() {
  RequestPlayers(std::string(m_players.CurrentAddress()));
}

void TForm4::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& binding, std::uint32_t /*arrivalTick*/) {
  if (m_app.Form5().Snapshot().queryProtocol == QueryProtocol::kOriginal) {
    for (const std::string& line : m_players.Receive(datagram)) m_listBox1->addItem(NetworkLine(line));
    return;
  }
  const std::string sender = binding.SenderIP() + ":" + std::to_string(binding.SenderPort());
  const PlayersWindowState::CurrentStep step = m_players.ReceiveCurrent(datagram, sender);
  if (step.sendAgain) AnswerSender(m_idUDPServer1, binding, *step.sendAgain);
  for (const std::string& line : step.added) m_listBox1->addItem(NetworkLine(line));
}

void TForm4::contextMenuEvent(QContextMenuEvent* event) {
  m_popupMenu1->popup(event->globalPos());
  event->accept();
}

}  // namespace vantrix
