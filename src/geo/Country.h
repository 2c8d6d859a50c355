#pragma once

#include <string>

namespace vantrix {

// A country as the location database names it: the two-letter code ("DE") and the name
// ("Germany").
struct Country {
  std::string code;
  std::string name;

  bool operator==(const Country&) const = default;
};

// "Germany (DE)": how the address cell describes its country.
inline std::string CountryDescription(const Country& country) {
  return country.name + " (" + country.code + ")";
}

}  // namespace vantrix
