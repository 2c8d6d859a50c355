#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include "core/table/ServerRow.h"
#include "geo/Country.h"

namespace vantrix {

class CountryLookups;
class RowCheckFacts;
class ServerTable;

// The country of each row of the list, for the flag left of its address and the address
// cell's description (which the model composes). A row's address is its IPv4 literal, or for a host name the
// address it resolved to at its last check; nothing else has a country. Lookups run off the main thread and
// are cached per address: a row not known yet has no country until CountriesArrived, and asking costs the
// main thread a hash lookup.
class RowCountries final : public QObject {
  Q_OBJECT

 public:
  // flagDirectory holds the flags as <code>.svg, lower case (a code without a file has no flag).
  RowCountries(const ServerTable& table, const RowCheckFacts& facts, const std::string& databasePath,
               QString flagDirectory, QObject* parent = nullptr);
  ~RowCountries() override;

  // The country of the row at `position`: code and name; nullopt when it has none or it
  // is not known yet. The one place that says which country a row has.
  std::optional<Country> CountryOfRow(int position);
  // The same for a row as the filter sees it (its address and identity).
  std::optional<Country> CountryOfRow(const ServerRow& row);
  // The row's flag, or a null icon (also while it is being drawn, off this thread).
  QIcon FlagOfRow(int position);

  // The lookups' cache (tests, benchmarks).
  CountryLookups& Lookups() { return *m_lookups; }

 signals:
  // Countries of some addresses, or flags, have become known: rows may show more now.
  void CountriesArrived();

 private:
  const Country* Find(int position);
  const Country* Find(std::string_view address, RowId row);
  void TakeAnswers();
  void TakeFlag(const std::string& code, const QImage& normal, const QImage& doubled);

  const ServerTable& m_table;
  const RowCheckFacts& m_facts;
  QString m_flagDirectory;
  std::unordered_map<std::string, QIcon> m_flags;  // by code; null while drawn or without a file
  std::unique_ptr<CountryLookups> m_lookups;
  QThreadPool m_painter;  // draws the flags: a detailed one takes longer than a frame
};

}  // namespace vantrix
