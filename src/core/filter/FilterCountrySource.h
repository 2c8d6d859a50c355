#pragma once

#include <string>

#include "core/table/ServerRow.h"

namespace vantrix {

// Where the "country:" field finds a row's country. Without a source the field is not
// known and "country:..." is a plain term.
class FilterCountrySource {
 public:
  virtual ~FilterCountrySource() = default;
  // Every text the user may type for the row's country (code and name, any separator),
  // or empty when it is not known. Matched like any cell: ASCII case folded, as bytes.
  virtual std::string CountryText(const ServerRow& row) const = 0;
};

}  // namespace vantrix
