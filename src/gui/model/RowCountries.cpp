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

// Runs on the painter's thread: images, not pixmaps, may be drawn there.
QImage DrawFlag(QSvgRenderer& renderer, int scale) {
  QImage image(kFlagSize * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  image.setDevicePixelRatio(scale);
  return image;
}

}  // namespace

RowCountries::RowCountries(const ServerTable& table, const RowCheckFacts& facts,
                           const std::string& databasePath, QString flagDirectory, QObject* parent)
    : QObject(parent), m_table(table), m_facts(facts), m_flagDirectory(std::move(flagDirectory)) {
  m_painter.setMaxThreadCount(1);
  // The lookup thread only posts the news; the answers are taken here, on this thread.
  m_lookups = std::make_unique<CountryLookups>(databasePath, [this] {
    QMetaObject::invokeMethod(this, &RowCountries::TakeAnswers, Qt::QueuedConnection);
  });
}

RowCountries::~RowCountries() {
  // The lookup and painter threads end before this object stops taking their news.
  m_lookups.reset();
  m_painter.clear();
  m_painter.waitForDone();
}

void RowCountries::TakeFlag(const std::string& code, const QImage& normal, const QImage& doubled) {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(normal));
  icon.addPixmap(QPixmap::fromImage(doubled));
  m_flags[code] = icon;
  emit CountriesArrived();
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
  return Find(m_table.Address(position), m_table.IdOf(position));
}

const Country* RowCountries::Find(std::string_view address, RowId row) {
  const std::string_view host = address.substr(0, address.find(':'));
  std::optional<std::uint32_t> ipv4 = ParseDottedIPv4(host);
  if (!ipv4) ipv4 = ParseDottedIPv4(m_facts.Resolved(row, address));
  return ipv4 ? m_lookups->Find(*ipv4) : nullptr;
}

std::optional<Country> RowCountries::CountryOfRow(const ServerRow& row) {
  const Country* country = Find(row.address, row.id);
  if (!country) return std::nullopt;
  return *country;
}

std::optional<Country> RowCountries::CountryOfRow(int position) {
  const Country* country = Find(position);
  if (!country) return std::nullopt;
  return *country;
}

QIcon RowCountries::FlagOfRow(int position) {
  const Country* country = Find(position);
  if (!country) return {};
  const auto it = m_flags.find(country->code);
  if (it != m_flags.end()) return it->second;
  m_flags.emplace(country->code, QIcon());
  const QString path = m_flagDirectory + QLatin1Char('/') + QString::fromStdString(country->code).toLower() +
                       QStringLiteral(".svg");
  if (!QFileInfo::exists(path)) return {};
  m_painter.start([this, code = country->code, path] {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return;
    QMetaObject::invokeMethod(
        this,
        [this, code, normal = DrawFlag(renderer, 1), doubled = DrawFlag(renderer, 2)] {
          TakeFlag(code, normal, doubled);
        },
        Qt::QueuedConnection);
  });
  return {};
}

}  // namespace vantrix
