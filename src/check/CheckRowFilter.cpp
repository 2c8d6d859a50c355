#include "check/CheckRowFilter.h"

#include "core/filter/RowFilter.h"

namespace vantrix {

namespace {

RowFilter TextFilter(std::string_view text, const FilterCountrySource* countries = nullptr) {
  return RowFilter(FilterQuery{ParseFilterText(text, countries != nullptr), {}}, countries);
}

// The country of the server being matched: its code, set before each match.
class ReportCountry final : public FilterCountrySource {
 public:
  std::string code;
  std::string CountryText(const ServerRow&) const override { return code; }
};

}  // namespace

void KeepPassingServers(CheckReport& report, std::string_view filterText) {
  // "country:" is a field only when the countries are known (a location database).
  const bool withCountries = !report.countries.empty();
  ReportCountry country;
  const RowFilter filter = TextFilter(filterText, withCountries ? &country : nullptr);
  std::vector<CheckItem> items;
  std::vector<CheckResult> results;
  std::vector<std::string> countries;
  for (std::size_t i = 0; i < report.items.size() && i < report.results.size(); ++i) {
    country.code = i < report.countries.size() ? report.countries[i] : std::string();
    if (!filter.Matches(CheckResultRow(report.items[i], report.results[i]))) continue;
    items.push_back(std::move(report.items[i]));
    results.push_back(std::move(report.results[i]));
    if (withCountries) countries.push_back(std::move(country.code));
  }
  report.items = std::move(items);
  report.results = std::move(results);
  report.countries = std::move(countries);
}

bool AddressPasses(std::string_view address, std::string_view filterText) {
  return TextFilter(filterText).Matches(ServerRow::Blank(std::string(address)));
}

}  // namespace vantrix
