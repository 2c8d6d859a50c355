#include "core/table/ServerEditor.h"

#include <array>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "core/util/StrToInt.h"

namespace vantrix {
namespace {

using Fields = ServerEditor::Fields;
using Arrow = ServerEditor::Arrow;
using Cells = std::array<CellText, kCellCount>;

ServerRow MakeRow(std::string address, Cells cells) {
  ServerRow row = ServerRow::Empty(std::move(address));
  row.cells = std::move(cells);
  return row;
}

Fields WithPlayers(std::string players, std::string maxPlayers) {
  Fields f;
  f.players = std::move(players);
  f.maxPlayers = std::move(maxPlayers);
  return f;
}

TEST(ServerEditor, AddressLosesItsSpacesAndGainsThePort) {
  EXPECT_EQ(ServerEditor::NormaliseAddress(" 10.0.0.1 : 27016 "), "10.0.0.1:27016");
  // The literal port, whatever the default port setting says.
  EXPECT_EQ(ServerEditor::NormaliseAddress("game.example"), "game.example:27015");
  EXPECT_EQ(ServerEditor::NormaliseAddress("   "), ":27015");
  // Only the space character is removed.
  EXPECT_EQ(ServerEditor::NormaliseAddress("a\tb"), "a\tb:27015");
  EXPECT_EQ(ServerEditor::NormaliseAddress("a b:c d"), "ab:cd");
}

TEST(ServerEditor, UntouchedAddGivesTheDefaultCells) {
  ServerTable table;
  table.AppendRow("existing:1");
  ServerEditor editor(table);
  ServerEditor::Shown shown = editor.FormShow(false);
  EXPECT_TRUE(shown.focusAddress);
  EXPECT_EQ(shown.fields, WithPlayers("0", "0"));
  shown.fields.address = "10.0.0.9";
  EXPECT_EQ(editor.Button1Click(shown.fields, false), ServerEditor::Outcome::kAdded);
  EXPECT_EQ(shown.fields.address, "10.0.0.9:27015");
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Address(1), "10.0.0.9:27015");
  EXPECT_EQ(table.Row(1).cells, (Cells{"", "", " ", "0/0", "", "-", "D", "W", "-"}));
  EXPECT_EQ(table.Address(0), "existing:1");
}

TEST(ServerEditor, AddWritesEveryField) {
  ServerTable table;
  ServerEditor editor(table);
  Fields f{"1.2.3.4 :27020", "My server", "de_dust2", "12", "16", "friends", true, true};
  EXPECT_EQ(editor.Button1Click(f, false), ServerEditor::Outcome::kAdded);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.Address(0), "1.2.3.4:27020");
  EXPECT_EQ(table.Row(0).cells,
            (Cells{"My server", "de_dust2", " ", "12/16", "friends", "+", "D", "W", "+"}));
}

TEST(ServerEditor, EmptyAddressDoesNothing) {
  ServerTable table;
  ServerEditor editor(table);
  Fields f = WithPlayers("1", "2");
  EXPECT_EQ(editor.Button1Click(f, false), ServerEditor::Outcome::kStayOpen);
  EXPECT_EQ(editor.Button1Click(f, true), ServerEditor::Outcome::kStayOpen);
  EXPECT_EQ(table.Count(), 0);
  Fields spaces;
  spaces.address = "   ";
  EXPECT_EQ(editor.Button1Click(spaces, false), ServerEditor::Outcome::kAdded);
  EXPECT_EQ(table.Address(0), ":27015");
}

TEST(ServerEditor, FormShowFillsFromTheSelectedRow) {
  ServerTable table;
  table.AppendRow(MakeRow("a:1", {"Name", "cs_office", "45", "12/16", "note", "+", "L", "W", "+"}));
  table.AppendRow(MakeRow("b:2", {" ", " ", " ", " ", " ", " ", " ", " ", " "}));
  table.AppendRow(MakeRow("c:3", {"", "", "", "abc", "", "+ ", "", "", "-"}));
  table.AppendRow(MakeRow("d:4", {"", "", "", "3/4/5", "", "", "", "", ""}));
  table.AppendRow(MakeRow("e:5", {"", "", "", " /", "", "", "", "", ""}));
  ServerEditor editor(table);

  table.SetSelectedIndex(0);
  EXPECT_EQ(editor.FormShow(true).fields,
            (Fields{"a:1", "Name", "cs_office", "12", "16", "note", true, true}));
  // A blank Players cell shows 0 and 0.
  table.SetSelectedIndex(1);
  EXPECT_EQ(editor.FormShow(true).fields, (Fields{"b:2", " ", " ", "0", "0", " ", false, false}));
  // Without "/": nothing before it (so "0"), the whole cell after it; only "+" ticks.
  table.SetSelectedIndex(2);
  EXPECT_EQ(editor.FormShow(true).fields, (Fields{"c:3", "", "", "0", "abc", "", false, false}));
  table.SetSelectedIndex(3);
  EXPECT_EQ(editor.FormShow(true).fields, (Fields{"d:4", "", "", "3", "4/5", "", false, false}));
  table.SetSelectedIndex(4);
  EXPECT_EQ(editor.FormShow(true).fields, (Fields{"e:5", "", "", "0", "0", "", false, false}));
  // Add mode ignores the selection.
  EXPECT_EQ(editor.FormShow(false).fields, WithPlayers("0", "0"));
}

TEST(ServerEditor, FormShowWithoutSelectionLeavesTheFieldsReset) {
  ServerTable table;
  table.AppendRow("a:1");
  ServerEditor editor(table);
  const ServerEditor::Shown shown = editor.FormShow(true);
  EXPECT_EQ(shown.fields, WithPlayers("0", "0"));
  EXPECT_FALSE(shown.focusAddress);
}

TEST(ServerEditor, EditWithoutChangesKeepsPingAndSetsTheFlags) {
  ServerTable table;
  table.AppendRow(MakeRow("x:9", {"First", "m", "11", "1/2", "", "+", "+", "+", "+"}));
  table.AppendRow(MakeRow("10.0.0.1:27015", {"Srv", "de_train", "87", " ", "c", " ", "L", "L", " "}));
  table.SetSelectedIndex(1);
  ServerEditor editor(table);
  Fields f = editor.FormShow(true).fields;
  EXPECT_EQ(editor.Button1Click(f, true), ServerEditor::Outcome::kEdited);
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Address(1), "10.0.0.1:27015");
  EXPECT_EQ(table.Row(1).cells, (Cells{"Srv", "de_train", "87", "0/0", "c", "-", "D", "W", "-"}));
  EXPECT_EQ(table.Row(0).cells, (Cells{"First", "m", "11", "1/2", "", "+", "+", "+", "+"}));
}

TEST(ServerEditor, LoadedPlayersTextsSurviveOk) {
  ServerTable table;
  table.AppendRow(MakeRow("x:1", {"", "", "", "255/abc", "", "", "", "", ""}));
  table.SetSelectedIndex(0);
  ServerEditor editor(table);
  Fields f = editor.FormShow(true).fields;
  editor.Button1Click(f, true);
  EXPECT_EQ(table.Cell(0, kPlayersCell), "255/abc");
}

TEST(ServerEditor, EditWritesTheRowSelectedNow) {
  ServerTable table;
  for (const char* a : {"a:1", "b:2", "c:3"}) table.AppendRow(a);
  table.SetSelectedIndex(0);
  ServerEditor editor(table);
  Fields f = editor.FormShow(true).fields;
  f.address = "z z";
  f.name = "Renamed";
  // While the dialog is open the list is re-sorted and another row is selected.
  table.ReorderRows({2, 0, 1});
  table.SetSelectedIndex(2);
  const RowId target = table.IdOf(2);
  EXPECT_EQ(editor.Button1Click(f, true), ServerEditor::Outcome::kEdited);
  EXPECT_EQ(f.address, "zz:27015");
  EXPECT_EQ(table.Address(*table.PositionOf(target)), "zz:27015");
  EXPECT_EQ(table.Cell(*table.PositionOf(target), kNameCell), "Renamed");
  EXPECT_EQ(table.Address(0), "c:3");
  EXPECT_EQ(table.Address(1), "a:1");
}

TEST(ServerEditor, EditAfterTheSelectionVanishedWritesNothing) {
  ServerTable table;
  table.AppendRow("a:1");
  table.AppendRow("b:2");
  table.SetSelectedIndex(1);
  ServerEditor editor(table);
  Fields f = editor.FormShow(true).fields;
  f.name = "lost";
  table.DeleteRow(1);
  const std::vector<ServerRow> before = table.Rows();
  EXPECT_EQ(editor.Button1Click(f, true), ServerEditor::Outcome::kNothingToEdit);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.Row(0).address, before[0].address);
  EXPECT_EQ(table.Row(0).cells, before[0].cells);
}

TEST(ServerEditor, SpinRulesKeepPlayersAtOrBelowTheMaximum) {
  Fields up = WithPlayers("5", "5");
  EXPECT_TRUE(ServerEditor::UpDown1Arrow(up, Arrow::kUp));
  EXPECT_EQ(up, WithPlayers("6", "6"));

  Fields down = WithPlayers("5", "5");
  EXPECT_TRUE(ServerEditor::UpDown2Arrow(down, Arrow::kDown));
  EXPECT_EQ(down, WithPlayers("4", "4"));

  // The other arrows have no rule, and the rules only act when they must.
  Fields f = WithPlayers("5", "5");
  EXPECT_TRUE(ServerEditor::UpDown1Arrow(f, Arrow::kDown));
  EXPECT_EQ(f, WithPlayers("4", "5"));
  EXPECT_TRUE(ServerEditor::UpDown2Arrow(f, Arrow::kUp));
  EXPECT_EQ(f, WithPlayers("4", "6"));
  EXPECT_TRUE(ServerEditor::UpDown1Arrow(f, Arrow::kUp));
  EXPECT_EQ(f, WithPlayers("5", "6"));
  EXPECT_TRUE(ServerEditor::UpDown2Arrow(f, Arrow::kDown));
  EXPECT_EQ(f, WithPlayers("5", "5"));

  Fields top = WithPlayers("31", "31");
  EXPECT_TRUE(ServerEditor::UpDown1Arrow(top, Arrow::kUp));
  EXPECT_EQ(top, WithPlayers("32", "32"));
  Fields bottom = WithPlayers("1", "1");
  EXPECT_TRUE(ServerEditor::UpDown2Arrow(bottom, Arrow::kDown));
  EXPECT_EQ(bottom, WithPlayers("0", "0"));
}

TEST(ServerEditor, ArrowsAtTheRangeEndsChangeNothing) {
  const Fields full = WithPlayers("32", "32");
  Fields f = full;
  EXPECT_FALSE(ServerEditor::UpDown1Arrow(f, Arrow::kUp));
  EXPECT_FALSE(ServerEditor::UpDown2Arrow(f, Arrow::kUp));
  EXPECT_EQ(f, full);
  const Fields empty = WithPlayers("0", "0");
  f = empty;
  EXPECT_FALSE(ServerEditor::UpDown2Arrow(f, Arrow::kDown));
  EXPECT_FALSE(ServerEditor::UpDown1Arrow(f, Arrow::kDown));
  EXPECT_EQ(f, empty);
  // Typed numbers beyond the range count as its ends.
  Fields typed = WithPlayers("40", "10");
  EXPECT_FALSE(ServerEditor::UpDown1Arrow(typed, Arrow::kUp));
  EXPECT_TRUE(ServerEditor::UpDown2Arrow(typed, Arrow::kDown));
  EXPECT_EQ(typed, WithPlayers("9", "9"));
}

TEST(ServerEditor, NonNumericPlayersTextThrowsAndChangesNothing) {
  for (const Fields& start : {WithPlayers("abc", "5"), WithPlayers("5", "abc"), WithPlayers("", "5")}) {
    for (Arrow arrow : {Arrow::kUp, Arrow::kDown}) {
      Fields f = start;
      EXPECT_THROW(ServerEditor::UpDown1Arrow(f, arrow), ConversionError);
      EXPECT_THROW(ServerEditor::UpDown2Arrow(f, arrow), ConversionError);
      EXPECT_EQ(f, start);
    }
  }
  Fields f = WithPlayers("abc", "5");
  try {
    ServerEditor::UpDown1Arrow(f, Arrow::kUp);
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(ServerEditor, RandomArrowPressesStayInRangeAndOrdered) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> pick(0, 3);
  std::uniform_int_distribution<int> start(0, 32);
  for (int run = 0; run < 200; ++run) {
    int a = start(rng);
    int b = start(rng);
    Fields f = WithPlayers(std::to_string(std::min(a, b)), std::to_string(std::max(a, b)));
    for (int press = 0; press < 200; ++press) {
      const int choice = pick(rng);
      const Arrow arrow = choice % 2 == 0 ? Arrow::kUp : Arrow::kDown;
      if (choice < 2) {
        ServerEditor::UpDown1Arrow(f, arrow);
      } else {
        ServerEditor::UpDown2Arrow(f, arrow);
      }
      const int players = StrToInt(f.players);
      const int maxPlayers = StrToInt(f.maxPlayers);
      ASSERT_LE(players, maxPlayers) << run << "/" << press;
      ASSERT_GE(players, ServerEditor::kSpinMin);
      ASSERT_LE(maxPlayers, ServerEditor::kSpinMax);
    }
  }
}

}  // namespace
}  // namespace vantrix
