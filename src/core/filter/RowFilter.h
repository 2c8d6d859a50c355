#pragma once

#include <cstdint>
#include <string_view>

#include "core/filter/FilterCountrySource.h"
#include "core/filter/FilterQuery.h"
#include "core/table/ServerRow.h"

namespace vantrix {

// Decides whether a row passes a filter: every term and every toggle must agree. A term
// matches its folded bytes inside the folded cell (or its Latin-1 form, when it has one).
class RowFilter {
 public:
  // Passes every row.
  RowFilter() = default;
  // `countries` may be null; it must outlive the filter.
  explicit RowFilter(FilterQuery query, const FilterCountrySource* countries = nullptr);

  bool Active() const { return !m_query.Empty(); }
  const FilterQuery& Query() const { return m_query; }
  const FilterCountrySource* Countries() const { return m_countries; }

  bool Matches(const ServerRow& row) const { return Matches(row, RowSignature(row)); }
  // The same, with the row's signature already at hand.
  bool Matches(const ServerRow& row, std::uint64_t signature) const;

  // True when every row this filter passes also passed `before`: the rows `before` hid
  // need not be looked at again (the text only grew, a toggle was added, ...).
  bool Narrows(const RowFilter& before) const;

  // One bit per byte value the searchable cells (address, name, map, comment) hold after
  // folding: letters and digits have a bit of their own, other bytes share the rest. A row
  // lacking a bit of a term cannot hold the term, so most rows are decided from 8 bytes.
  // The top bit marks an address of digits, dots and colons only.
  static std::uint64_t RowSignature(const ServerRow& row);
  static std::uint64_t Signature(std::string_view folded);

 private:
  struct Compiled {
    std::uint64_t signature = 0;
    std::uint64_t latin1Signature = 0;
    // The signature alone decides (one letter or digit in every searchable cell).
    bool signatureExact = false;
    bool beyondAddress = false;  // holds a byte no numeric address has
  };

  bool TermMatches(const FilterTerm& term, const Compiled& compiled, const ServerRow& row,
                   std::uint64_t signature) const;
  bool TogglesPass(const ServerRow& row) const;

  FilterQuery m_query;
  std::vector<Compiled> m_compiled;
  const FilterCountrySource* m_countries = nullptr;
};

// Whether a folded needle occurs in a text, folding the text's ASCII letters as it goes.
bool FoldedContains(std::string_view text, std::string_view foldedNeedle);

}  // namespace vantrix
