#include "core/filter/FilterQuery.h"

#include <algorithm>
#include <array>

#include "core/util/AsciiCase.h"
#include "core/util/Utf8.h"

namespace vantrix {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

struct FieldName {
  std::string_view prefix;
  FilterField field;
};

constexpr std::array<FieldName, 5> kFields{{
    {"name:", FilterField::kName},
    {"map:", FilterField::kMap},
    {"addr:", FilterField::kAddress},
    {"comment:", FilterField::kComment},
    {"country:", FilterField::kCountry},
}};

// The text as Latin-1 when it is valid UTF-8 whose characters all lie below U+0100 and one
// of them above U+007F; otherwise empty (the UTF-8 form then says it all).
std::string Latin1Form(std::string_view text) {
  if (!IsValidUtf8(text)) return {};
  std::string out;
  bool differs = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    if (lead != 0xC2 && lead != 0xC3) return {};
    const auto next = static_cast<unsigned char>(text[i + 1]);
    out.push_back(static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F)));
    differs = true;
    i += 2;
  }
  return differs ? out : std::string();
}

// Cuts at a character boundary, so the cut never leaves half a UTF-8 sequence behind.
std::string_view Capped(std::string_view text) {
  if (text.size() <= kMaxFilterTextBytes) return text;
  std::size_t end = kMaxFilterTextBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

std::vector<FilterTerm> ParseFilterText(std::string_view fullText, bool withCountry) {
  const std::string_view text = Capped(fullText);
  std::vector<FilterTerm> terms;
  std::size_t i = 0;
  while (i < text.size() && terms.size() < kMaxFilterTerms) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    FilterTerm term;
    if (text[i] == '-') {
      term.exclude = true;
      ++i;
    }
    // A field name counts only when it ends in ":" before any space or quote.
    const std::string_view rest = text.substr(i);
    for (const FieldName& name : kFields) {
      if (name.field == FilterField::kCountry && !withCountry) continue;
      if (rest.size() >= name.prefix.size() &&
          AsciiEqualIgnoringCase(rest.substr(0, name.prefix.size()), name.prefix)) {
        term.field = name.field;
        i += name.prefix.size();
        break;
      }
    }
    std::string_view value;
    if (i < text.size() && text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      value = text.substr(i + 1, end - i - 1);
      i = close == std::string_view::npos ? text.size() : close + 1;
    } else {
      std::size_t end = i;
      while (end < text.size() && !IsSpace(text[end])) ++end;
      value = text.substr(i, end - i);
      i = end;
    }
    if (value.empty()) continue;
    term.text = AsciiLower(value);
    term.latin1 = Latin1Form(term.text);
    if (std::find(terms.begin(), terms.end(), term) == terms.end()) terms.push_back(std::move(term));
  }
  return terms;
}

}  // namespace vantrix
