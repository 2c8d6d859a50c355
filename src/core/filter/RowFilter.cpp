#include "core/filter/RowFilter.h"

#include <cstring>
#include <optional>

#include "core/util/AsciiCase.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

// Letters 0..25, digits 26..35, every other byte in 36..62; bit 63 says the address holds
// nothing but digits, dots and colons, so a term with any other byte need not read it.
constexpr int SignatureBit(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 'a';
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= '0' && c <= '9') return 26 + (c - '0');
  return 36 + c % 27;
}
constexpr std::uint64_t kNumericAddress = std::uint64_t{1} << 63;

constexpr bool IsAddressByte(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == ':';
}

bool IsNumericAddress(std::string_view address) {
  for (char c : address)
    if (!IsAddressByte(c)) return false;
  return true;
}

constexpr bool HasOwnBit(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

struct SignatureTable {
  std::uint64_t bits[256];
  constexpr SignatureTable() : bits() {
    for (int c = 0; c < 256; ++c) bits[c] = std::uint64_t{1} << SignatureBit(static_cast<unsigned char>(c));
  }
};
constexpr SignatureTable kSignatureBits;

bool Contains(std::uint64_t have, std::uint64_t need) {
  return (have & need) == need;
}

// Players "12/20": the two numbers, or nothing when the cell holds anything else.
struct Players {
  int players;
  int maximum;
};

std::optional<Players> ParsePlayers(std::string_view cell) {
  const std::size_t slash = cell.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto players = TryStrToInt(cell.substr(0, slash));
  const auto maximum = TryStrToInt(cell.substr(slash + 1));
  if (!players || !maximum) return std::nullopt;
  return Players{*players, *maximum};
}

bool EitherForm(std::string_view cell, const FilterTerm& term) {
  return FoldedContains(cell, term.text) || (!term.latin1.empty() && FoldedContains(cell, term.latin1));
}

// `after` narrows `before` for one term: a longer word to find, a shorter one to exclude.
bool Implies(const FilterTerm& after, const FilterTerm& before) {
  if (after.exclude != before.exclude) return false;
  if (after.exclude) return after.field == before.field && before.text.find(after.text) != std::string::npos;
  const bool fieldInside = after.field == before.field ||
                           (before.field == FilterField::kAny && after.field != FilterField::kCountry);
  return fieldInside && after.text.find(before.text) != std::string::npos;
}

}  // namespace

bool FoldedContains(std::string_view text, std::string_view needle) {
  if (needle.empty()) return true;
  if (needle.size() > text.size()) return false;
  const char first = needle[0];
  const char firstUpper = AsciiUpper(first);
  const std::size_t last = text.size() - needle.size();
  for (std::size_t i = 0; i <= last; ++i) {
    if (text[i] != first && text[i] != firstUpper) continue;
    std::size_t k = 1;
    while (k < needle.size() && AsciiLower(text[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return true;
  }
  return false;
}

std::uint64_t RowFilter::Signature(std::string_view text) {
  std::uint64_t bits = 0;
  for (char c : text) bits |= kSignatureBits.bits[static_cast<unsigned char>(c)];
  return bits;
}

std::uint64_t RowFilter::RowSignature(const ServerRow& row) {
  return Signature(row.address) | Signature(row.cells[kNameCell]) | Signature(row.cells[kMapCell]) |
         Signature(row.cells[kCommentCell]) | (IsNumericAddress(row.address) ? kNumericAddress : 0);
}

RowFilter::RowFilter(FilterQuery query, const FilterCountrySource* countries)
    : m_query(std::move(query)), m_countries(countries) {
  m_compiled.reserve(m_query.terms.size());
  for (const FilterTerm& term : m_query.terms) {
    Compiled compiled;
    compiled.signature = Signature(term.text);
    compiled.latin1Signature = term.latin1.empty() ? compiled.signature : Signature(term.latin1);
    compiled.signatureExact = term.field == FilterField::kAny && term.text.size() == 1 &&
                              HasOwnBit(static_cast<unsigned char>(term.text[0]));
    compiled.beyondAddress = !IsNumericAddress(term.text);
    m_compiled.push_back(compiled);
  }
}

bool RowFilter::TermMatches(const FilterTerm& term, const Compiled& compiled, const ServerRow& row,
                            std::uint64_t signature) const {
  if (term.field == FilterField::kCountry)
    return m_countries && EitherForm(m_countries->CountryText(row), term);
  if (!Contains(signature, compiled.signature) && !Contains(signature, compiled.latin1Signature))
    return false;
  if (compiled.signatureExact) return true;
  // Most addresses are digits, dots and colons: a word with a letter cannot be in them.
  const bool inAddress = !(compiled.beyondAddress && (signature & kNumericAddress));
  switch (term.field) {
    case FilterField::kName:
      return EitherForm(row.cells[kNameCell], term);
    case FilterField::kMap:
      return EitherForm(row.cells[kMapCell], term);
    case FilterField::kAddress:
      return inAddress && EitherForm(row.address, term);
    case FilterField::kComment:
      return EitherForm(row.cells[kCommentCell], term);
    case FilterField::kAny:
    case FilterField::kCountry:
      break;
  }
  // The short cells that sit inside the row first: most words are found there.
  return EitherForm(row.cells[kMapCell], term) || EitherForm(row.cells[kCommentCell], term) ||
         EitherForm(row.cells[kNameCell], term) || (inAddress && EitherForm(row.address, term));
}

bool RowFilter::TogglesPass(const ServerRow& row) const {
  const FilterToggles& toggles = m_query.toggles;
  if (toggles.answered && row.cells[kWCell] != "+") return false;
  if (toggles.noPassword && row.cells[kPCell] != "-") return false;
  if (toggles.notEmpty || toggles.notFull) {
    const auto players = ParsePlayers(row.cells[kPlayersCell]);
    if (!players) return false;
    if (toggles.notEmpty && players->players <= 0) return false;
    if (toggles.notFull && players->players >= players->maximum) return false;
  }
  if (toggles.maxPing > 0) {
    const auto ping = TryStrToInt(row.cells[kPingCell]);
    if (!ping || *ping > toggles.maxPing) return false;
  }
  return true;
}

bool RowFilter::Matches(const ServerRow& row, std::uint64_t signature) const {
  if (!TogglesPass(row)) return false;
  for (std::size_t i = 0; i < m_query.terms.size(); ++i) {
    const FilterTerm& term = m_query.terms[i];
    if (TermMatches(term, m_compiled[i], row, signature) == term.exclude) return false;
  }
  return true;
}

bool RowFilter::Narrows(const RowFilter& before) const {
  if (m_countries != before.m_countries) return false;
  const FilterToggles& now = m_query.toggles;
  const FilterToggles& was = before.m_query.toggles;
  if ((was.answered && !now.answered) || (was.notEmpty && !now.notEmpty) || (was.notFull && !now.notFull) ||
      (was.noPassword && !now.noPassword))
    return false;
  if (was.maxPing > 0 && (now.maxPing == 0 || now.maxPing > was.maxPing)) return false;
  for (const FilterTerm& old : before.m_query.terms) {
    bool implied = false;
    for (const FilterTerm& term : m_query.terms) {
      if (Implies(term, old)) {
        implied = true;
        break;
      }
    }
    if (!implied) return false;
  }
  return true;
}

}  // namespace vantrix
