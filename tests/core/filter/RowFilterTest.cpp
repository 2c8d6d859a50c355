#include "core/filter/RowFilter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

ServerRow Row(std::string address, std::string name, std::string map, std::string comment = " ",
              std::string ping = " ", std::string players = " ", std::string w = " ", std::string p = " ") {
  ServerRow row = ServerRow::Blank(std::move(address));
  row.cells[kNameCell] = std::move(name);
  row.cells[kMapCell] = std::move(map);
  row.cells[kCommentCell] = std::move(comment);
  row.cells[kPingCell] = std::move(ping);
  row.cells[kPlayersCell] = std::move(players);
  row.cells[kWCell] = std::move(w);
  row.cells[kPCell] = std::move(p);
  return row;
}

// The rows every case of the table is matched against; a case lists the ones it keeps.
const std::vector<ServerRow>& Rows() {
  static const std::vector<ServerRow> rows = {
      Row("10.0.0.1:27015", "Server 4 Dust", "de_dust2", "home", "57", "12/20", "+", "-"),
      Row("10.0.0.2:27015", "server 40 [EU]", "aim_map", " ", "140", "20/20", "+", "+"),
      Row("192.168.1.9:27016", "Caf\xE9 du Nord", "cs_office", "friends", "9", "0/16", "+", "-"),
      Row("10.0.0.4:27015", " ", " "),  // never answered
      Row("10.0.0.5:27015", "caf\xC3\xA9 utf", "de_nuke", "x\x01\xFF", "-", "3/", "-", "-"),
  };
  return rows;
}

struct Case {
  const char* text;
  FilterToggles toggles;
  std::vector<int> kept;
};

class RowFilterCase : public testing::TestWithParam<Case> {};

TEST_P(RowFilterCase, KeepsTheRowsItShould) {
  const Case& c = GetParam();
  const RowFilter filter(FilterQuery{ParseFilterText(c.text, false), c.toggles});
  std::vector<int> kept;
  for (std::size_t i = 0; i < Rows().size(); ++i)
    if (filter.Matches(Rows()[i])) kept.push_back(static_cast<int>(i));
  EXPECT_EQ(kept, c.kept) << "filter text: " << c.text;
}

constexpr FilterToggles kNone{};

INSTANTIATE_TEST_SUITE_P(
    Texts, RowFilterCase,
    testing::Values(
        Case{"", kNone, {0, 1, 2, 3, 4}}, Case{"   ", kNone, {0, 1, 2, 3, 4}},
        Case{"DUST", kNone, {0}},             // ASCII case folded, in name and map
        Case{"server 4", kNone, {0, 1}},      // two terms, each must match
        Case{"\"server 4\"", kNone, {0, 1}},  // a phrase with its space
        Case{"\"server 4 \"", kNone, {0}}, Case{"-\"server 4\"", kNone, {2, 3, 4}},  // excluded phrase
        Case{"-map:aim_", kNone, {0, 2, 3, 4}}, Case{"map:de_", kNone, {0, 4}},
        Case{"name:de", kNone, {}},                                 // "de" is only in maps
        Case{"addr:192", kNone, {2}}, Case{"192.168", kNone, {2}},  // a plain term looks in the address
        Case{"comment:home", kNone, {0}}, Case{"Comment:HOME", kNone, {0}},  // field names fold too
        Case{"foo:bar", kNone, {}},          // unknown field: the whole term is plain
        Case{"country:de", kNone, {}},       // no country source: a plain term
        Case{"\"du nord", kNone, {2}},       // an unclosed quote runs to the end
        Case{"caf\xC3\xA9", kNone, {2, 4}},  // UTF-8 term finds Latin-1 and UTF-8 cells
        Case{"CAF\xC3\xA9", kNone, {2, 4}}, Case{"\xFF", kNone, {4}},  // hostile bytes match as bytes
        Case{"- name: \"\"", kNone, {0, 1, 2, 3, 4}},                  // terms still being typed ask nothing
        Case{"27015 -10.0.0.2", kNone, {0, 3, 4}}, Case{"", FilterToggles{.answered = true}, {0, 1, 2}},
        Case{"", FilterToggles{.notEmpty = true}, {0, 1}}, Case{"", FilterToggles{.notFull = true}, {0, 2}},
        Case{"", FilterToggles{.noPassword = true}, {0, 2, 4}},
        Case{"", FilterToggles{.maxPing = 57}, {0, 2}},
        Case{"server", FilterToggles{.notFull = true, .noPassword = true}, {0}}));

TEST(RowFilterNarrows, OnlyWhenEveryRowItPassesPassedBefore) {
  const auto filter = [](const char* text, FilterToggles toggles = {}) {
    return RowFilter(FilterQuery{ParseFilterText(text, false), toggles});
  };
  EXPECT_TRUE(filter("dus").Narrows(filter("du")));
  EXPECT_TRUE(filter("du 2").Narrows(filter("du")));
  EXPECT_TRUE(filter("map:dust").Narrows(filter("dus")));
  EXPECT_TRUE(filter("-du").Narrows(filter("-dus")));
  EXPECT_TRUE(filter("x", {.answered = true}).Narrows(filter("x")));
  EXPECT_TRUE(filter("", {.maxPing = 50}).Narrows(filter("", {.maxPing = 80})));
  EXPECT_FALSE(filter("du").Narrows(filter("dus")));
  EXPECT_FALSE(filter("dus").Narrows(filter("map:du")));
  EXPECT_FALSE(filter("-dus").Narrows(filter("-du")));
  EXPECT_FALSE(filter("", {.maxPing = 80}).Narrows(filter("", {.maxPing = 50})));
  EXPECT_FALSE(filter("").Narrows(filter("", {.answered = true})));
}

TEST(ParseFilterText, CapsLongTextsAndManyTerms) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "t" + std::to_string(i) + " ";
  EXPECT_EQ(ParseFilterText(many, false).size(), kMaxFilterTerms);
  const std::string huge(100000, 'a');
  const auto terms = ParseFilterText(huge, false);
  ASSERT_EQ(terms.size(), 1u);
  EXPECT_EQ(terms[0].text.size(), kMaxFilterTextBytes);
  // A cut inside a UTF-8 sequence goes back to its start.
  const std::string accents = std::string(kMaxFilterTextBytes - 1, 'a') + "\xC3\xA9";
  EXPECT_EQ(ParseFilterText(accents, false)[0].text.size(), kMaxFilterTextBytes - 1);
}

class FixedCountry : public FilterCountrySource {
 public:
  std::string CountryText(const ServerRow& row) const override {
    return row.address.starts_with("192.") ? "DE Germany" : "";
  }
};

TEST(RowFilterCountry, TheFieldLooksUpTheSourceOnceOneIsSet) {
  FixedCountry countries;
  const RowFilter filter(FilterQuery{ParseFilterText("country:germany", true), {}}, &countries);
  std::vector<int> kept;
  for (std::size_t i = 0; i < Rows().size(); ++i)
    if (filter.Matches(Rows()[i])) kept.push_back(static_cast<int>(i));
  EXPECT_EQ(kept, std::vector<int>{2});
}

}  // namespace
}  // namespace vantrix
