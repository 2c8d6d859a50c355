#pragma once

#include "core/filter/FilterCountrySource.h"
#include "gui/model/RowCountries.h"

namespace vantrix {

// The filter's "country:" field over the window's country lookups: the code and the name,
// so that "country:de" and "country:germany" both find a German server. A row whose
// country is not known yet matches no country term until CountriesArrived.
class CountryFilterSource final : public FilterCountrySource {
 public:
  explicit CountryFilterSource(RowCountries& countries) : m_countries(countries) {}

  std::string CountryText(const ServerRow& row) const override {
    const auto country = m_countries.CountryOfRow(row);
    return country ? country->code + " " + country->name : std::string();
  }

 private:
  RowCountries& m_countries;
};

}  // namespace vantrix
