#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// The column a term looks in; kAny is the address, the name, the map and the comment.
enum class FilterField : std::uint8_t { kAny, kName, kMap, kAddress, kComment, kCountry };

// One word or phrase of the filter text, folded as the column sort folds (ASCII letters
// only), so matching compares folded bytes with folded bytes.
struct FilterTerm {
  FilterField field = FilterField::kAny;
  bool exclude = false;
  std::string text;    // the UTF-8 bytes
  std::string latin1;  // the same characters as Latin-1 bytes when they all fit and differ; else empty

  bool operator==(const FilterTerm&) const = default;
};

// The check boxes and the ping limit of the bar.
struct FilterToggles {
  bool answered = false;    // W is "+"
  bool notEmpty = false;    // players above 0
  bool notFull = false;     // players below the maximum
  bool noPassword = false;  // P is "-"
  int maxPing = 0;          // 0: no limit

  bool Any() const { return answered || notEmpty || notFull || noPassword || maxPing > 0; }
  bool operator==(const FilterToggles&) const = default;
};

struct FilterQuery {
  std::vector<FilterTerm> terms;
  FilterToggles toggles;

  bool Empty() const { return terms.empty() && !toggles.Any(); }
  bool operator==(const FilterQuery&) const = default;
};

// A pasted novel must not turn every keystroke into a crawl: the text is cut at this many
// bytes and at this many distinct terms; what lies beyond is ignored.
inline constexpr std::size_t kMaxFilterTextBytes = 1024;
inline constexpr std::size_t kMaxFilterTerms = 32;
inline constexpr int kMaxFilterPing = 9999;

// Terms are separated by spaces; a term in double quotes is a phrase (an unclosed quote runs
// to the end); "name:", "map:", "addr:", "comment:" (and "country:" when `withCountry`) look
// in one column, any other prefix is part of a plain term; a leading "-" excludes. A term
// left empty ("-", "name:", "\"\"") is one still being typed and asks nothing.
std::vector<FilterTerm> ParseFilterText(std::string_view text, bool withCountry);

}  // namespace vantrix
