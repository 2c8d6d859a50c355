#include "gui/Unit4.h"

#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

#include "gui/Application.h"
#include "gui/platform/OuterFrameSize.h"
#include "gui/platform/WindowEndpoint.h"
#include "gui/text/NetworkLine.h"
#include "gui/text/WindowLook.h"

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
  // Initial size of the outer frame, centred on the desktop.
  new OuterFrameSize(*this, {QSize(230, 294)});
}

TForm4::~TForm4() {
  m_idUDPServer1.Close();
}

void TForm4::RequestPlayers(std::string_view address) {
  m_listBox1->clear();
  const auto target = m_players.RequestPlayers(address);
  if (!target) return;
  m_idUDPServer1.Send(target->host, target->port, PlayersWindowState::Request());
}

void TForm4::Refresh1Click() {
  RequestPlayers(std::string(m_players.CurrentAddress()));
}

void TForm4::IdUDPServer1UDPRead(TIdUDPServer& /*sender*/, std::string_view datagram,
                                 const TIdSocketHandle& /*binding*/, std::uint32_t /*arrivalTick*/) {
  for (const std::string& line : m_players.Receive(datagram)) m_listBox1->addItem(NetworkLine(line));
}

void TForm4::contextMenuEvent(QContextMenuEvent* event) {
  m_popupMenu1->popup(event->globalPos());
  event->accept();
}

}  // namespace vantrix
