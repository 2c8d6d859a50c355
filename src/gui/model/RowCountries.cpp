#include "gui/model/RowCountries.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "core/table/RowCheckFacts.h"
#include "core/table/ServerTable.h"
#include "geo/CountryLookups.h"
#include "net/IPv4Text.h"

namespace vantrix {

namespace {

// Flags are drawn 4 by 3 in the height of a row's text.
constexpr QSize kFlagSize{16, 12};
// Answers merged per turn of the event loop, so a flood of them never holds the window up.
constexpr std::size_t kAnswersPerTurn = 65536;

QIcon DrawFlag(const QString& path) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  QIcon icon;
  for (const int scale : {1, 2}) {
    QPixmap pixmap(kFlagSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

RowCountries::RowCountries(const ServerTable& table, const RowCheckFacts& facts,
                           const std::string& databasePath, QString flagDirectory, QObject* parent)
    : QObject(parent), m_table(table), m_facts(facts), m_flagDirectory(std::move(flagDirectory)) {
  // The lookup thread only posts the news; the answers are taken here, on this thread.
  m_lookups = std::make_unique<CountryLookups>(databasePath, [this] {
    QMetaObject::invokeMethod(this, &RowCountries::TakeAnswers, Qt::QueuedConnection);
  });
}

RowCountries::~RowCountries() {
  // The lookup thread ends before this object stops taking its news.
  m_lookups.reset();
}

void RowCountries::TakeAnswers() {
  if (!m_lookups->TakeAnswers(kAnswersPerTurn)) return;
  // The lookup thread announces a batch only when none was waiting: the rest is fetched here.
  if (m_lookups->AnswersWaiting())
    QMetaObject::invokeMethod(this, &RowCountries::TakeAnswers, Qt::QueuedConnection);
  emit CountriesArrived();
}

const Country* RowCountries::Find(int position) {
  if (!m_table.IsValid(position)) return nullptr;
  const std::string& address = m_table.Address(position);
  const std::string_view host = std::string_view(address).substr(0, address.find(':'));
  std::optional<std::uint32_t> ipv4 = ParseDottedIPv4(host);
  if (!ipv4) ipv4 = ParseDottedIPv4(m_facts.Resolved(m_table.IdOf(position), address));
  return ipv4 ? m_lookups->Find(*ipv4) : nullptr;
}

std::optional<Country> RowCountries::CountryOfRow(int position) {
  const Country* country = Find(position);
  if (!country) return std::nullopt;
  return *country;
}

QIcon RowCountries::FlagOfRow(int position) {
  const Country* country = Find(position);
  if (!country) return {};
  auto it = m_flags.find(country->code);
  if (it == m_flags.end()) {
    const QString path = m_flagDirectory + QLatin1Char('/') +
                         QString::fromStdString(country->code).toLower() + QStringLiteral(".svg");
    it = m_flags.emplace(country->code, QFileInfo::exists(path) ? DrawFlag(path) : QIcon()).first;
  }
  return it->second;
}

}  // namespace vantrix
