#include "gui/history/HistoryWindow.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/history/HistoryPlot.h"
#include "gui/text/WindowLook.h"
#include "history/HistorySpanText.h"

namespace vantrix {

HistoryWindow::HistoryWindow(PointsFn points, NowFn now, QWidget* parent)
    : QWidget(parent, Qt::Window), m_points(std::move(points)), m_now(std::move(now)) {
  setObjectName(QStringLiteral("HistoryWindow"));
  ApplyBlackLook(*this);
  resize(640, 440);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  for (const HistorySpan span : {HistorySpan::kDay, HistorySpan::kWeek, HistorySpan::kMonth}) {
    auto* button = new QPushButton(QString::fromUtf8(SpanCaption(span)), this);
    button->setCheckable(true);
    ApplyStandardColors(*button);
    group->addButton(button);
    connect(button, &QPushButton::clicked, this, [this, span] { ShowSpan(span); });
    buttons->addWidget(button);
    m_buttons[static_cast<std::size_t>(span)] = button;
  }
  buttons->addStretch();
  layout->addLayout(buttons);
  m_players = new HistoryPlot(HistoryPlot::Kind::kPlayers, this);
  m_ping = new HistoryPlot(HistoryPlot::Kind::kPing, this);
  layout->addWidget(m_players, 3);
  layout->addWidget(m_ping, 2);
  m_summary = new QLabel(this);
  m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(m_summary);
}

void HistoryWindow::ShowServer(const QString& name, const std::string& address) {
  m_address = address;
  const QString shownAddress = QString::fromStdString(address);
  const QString shownName = name.trimmed();
  QString title = QStringLiteral("History: ");
  if (shownName.isEmpty())
    title += shownAddress;
  else
    title += shownName + QStringLiteral(" (") + shownAddress + QStringLiteral(")");
  setWindowTitle(title);
  ShowSpan(HistorySpan::kDay);
}

void HistoryWindow::ShowSpan(HistorySpan span) {
  m_span = span;
  SpanButton(span)->setChecked(true);
  const std::int64_t now = m_now();
  std::vector<HistoryPoint> points = m_points(m_address, span);
  const QString summary = QString::fromStdString(DescribeSpan(span, points));
  m_players->SetPoints(points, now - SpanSeconds(span), now);
  m_ping->SetPoints(std::move(points), now - SpanSeconds(span), now);
  m_summary->setText(summary);
  setAccessibleDescription(summary);
}

}  // namespace vantrix
