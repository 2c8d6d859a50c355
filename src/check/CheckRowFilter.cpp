#include "check/CheckRowFilter.h"

#include "core/filter/RowFilter.h"

namespace vantrix {

namespace {

RowFilter TextFilter(std::string_view text) {
  return RowFilter(FilterQuery{ParseFilterText(text, false), {}});
}

}  // namespace

void KeepPassingServers(CheckReport& report, std::string_view filterText) {
  const RowFilter filter = TextFilter(filterText);
  std::vector<CheckItem> items;
  std::vector<CheckResult> results;
  for (std::size_t i = 0; i < report.items.size() && i < report.results.size(); ++i) {
    if (!filter.Matches(CheckResultRow(report.items[i], report.results[i]))) continue;
    items.push_back(std::move(report.items[i]));
    results.push_back(std::move(report.results[i]));
  }
  report.items = std::move(items);
  report.results = std::move(results);
}

bool AddressPasses(std::string_view address, std::string_view filterText) {
  return TextFilter(filterText).Matches(ServerRow::Blank(std::string(address)));
}

}  // namespace vantrix
