#include "gui/Unit7.h"

#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/platform/DesktopTimeFormat.h"
#include "gui/platform/OuterFrameSize.h"
#include "gui/text/NetworkLine.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

TForm7::TForm7(QWidget* parent, std::unique_ptr<WallClock> clock)
    : QWidget(parent, Qt::Tool),
      m_memo1(new QPlainTextEdit(this)),
      m_pendingTimer(new QTimer(this)),
      m_clock(std::move(clock)) {
  setObjectName(QStringLiteral("Form7"));
  setWindowTitle(QStringLiteral("Received packets"));
  ApplyBlackLook(*this);
  m_memo1->setObjectName(QStringLiteral("Memo1"));
  m_memo1->setReadOnly(true);
  m_memo1->setUndoRedoEnabled(false);  // an undo stack would grow with every line
  m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ApplyBlackField(*m_memo1);
  // Replies are mostly plain Latin text: laying a line out without shaping is much faster,
  // and text that needs shaping still gets it.
  QFont font = m_memo1->font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  m_memo1->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_memo1);
  // Initial size of the outer frame, centred on the desktop.
  new OuterFrameSize(*this, {QSize(301, 367)});
  m_pendingTimer->setSingleShot(true);
  m_pendingTimer->setInterval(kShowLinesEveryMs);
  connect(m_pendingTimer, &QTimer::timeout, this, &TForm7::ShowPendingLines);
  m_log.SetTimeFormat(DesktopTimeFormat());
  m_log.SetObserver(this);
}

TForm7::~TForm7() {
  m_log.SetObserver(nullptr);
}

void TForm7::LogPacket(std::string_view datagram) {
  m_log.LogPacket(datagram);
}

void TForm7::EntryAppended(std::string_view entry) {
  // One line per entry: line breaks and other control bytes show as a stand-in.
  m_pendingLines.append(NetworkLine(entry));
  if (!m_pendingTimer->isActive()) m_pendingTimer->start();
}

void TForm7::LogCleared() {
  m_pendingLines.clear();
  m_pendingTimer->stop();
  m_memo1->clear();
}

void TForm7::ShowPendingLines() {
  m_pendingTimer->stop();
  if (m_pendingLines.isEmpty()) return;
  // Several lines at once are laid out only as they scroll into view, never the whole text.
  m_memo1->appendPlainText(m_pendingLines.join(QLatin1Char('\n')));
  m_pendingLines.clear();
}

}  // namespace vantrix
