#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/lists/ListFile.h"
#include "core/lists/ListFileTestHelpers.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using test::AppendTexts;
using test::BlankRowWith;
using test::DataDir;
using test::RandomText;
using test::RowsOf;
using test::RowTexts;
using test::Slurp;

constexpr std::string_view kBreakers("\r\n\x1A", 3);

// The writer's rule, spelled out byte by byte.
std::string ReferenceSanitise(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\x1A') c = ' ';
  }
  return out;
}

TEST(ListLayoutChoice, FollowsTheFilterInDialogsAndTheExtensionAtStartUp) {
  EXPECT_EQ(LayoutForFilter(1), ListLayout::kRecord);
  EXPECT_EQ(LayoutForFilter(2), ListLayout::kPlain);
  EXPECT_EQ(LayoutForFilter(3), ListLayout::kPlain);

  EXPECT_EQ(ArgumentExtension("b.VNX"), ".vnx");
  EXPECT_EQ(ArgumentExtension("/home/u/lists.d/servers"), "");  // the dot is in a folder name
  EXPECT_EQ(ArgumentExtension("x.vnx.TXT"), ".txt");
  EXPECT_EQ(ArgumentExtension("dir.vnx/list"), "");
  EXPECT_EQ(ArgumentExtension(".vnx"), ".vnx");
  EXPECT_EQ(ArgumentExtension("a.\xC4Vnx"), ".\xC4vnx");  // only ASCII letters are lowered

  EXPECT_EQ(LayoutForArgument("servers"), std::nullopt);
  EXPECT_EQ(LayoutForArgument("a.txt"), ListLayout::kPlain);
  EXPECT_EQ(LayoutForArgument("b.VNX"), ListLayout::kRecord);
  EXPECT_EQ(LayoutForArgument("/tmp/Saved.Vnx"), ListLayout::kRecord);
  EXPECT_EQ(LayoutForArgument("dir.vnx/list"), ListLayout::kPlain);  // has a ".", not the extension
  EXPECT_EQ(LayoutForArgument("list.vnxx"), ListLayout::kPlain);
}

TEST(RecordReader, SkipsGapsOnlyWhereARecordBeginsAndFillsShortRecords) {
  ServerTable table;
  EXPECT_EQ(ParseRecordLayout(Slurp(DataDir() / "lists/records.vnx"), table), 3);
  const std::vector<RowTexts> want{
      {"10.0.0.1:27015", "Alpha server", "de_dust2", "35", "12/20", "eu clan", "+", "D", "L", "P"},
      {"10.0.0.2:27016", "Beta", "", "120", " ", " ", "-", " ", "W", " "},  // empty Map shifts nothing
      {"10.0.0.3:27017", "Gamma", "aztec", "77", "", "", "", "", "", ""},   // four lines, no line end
  };
  EXPECT_EQ(RowsOf(table), want);

  // The same records without the gaps read the same.
  ServerTable compact;
  std::string text;
  for (const RowTexts& row : want)
    for (const std::string& line : row) text += line + "\r\n";
  ParseRecordLayout(text, compact);
  EXPECT_EQ(RowsOf(compact), want);

  ServerTable empty;
  EXPECT_EQ(ParseRecordLayout("", empty), 0);
  EXPECT_EQ(ParseRecordLayout("\r\n\n\r\n", empty), 0);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(RecordReader, FollowsTheTextFileRules) {
  ServerTable table;
  ParseRecordLayout(Slurp(DataDir() / "lists/ctrlz.vnx"), table);
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(RowsOf(table)[0],
            (RowTexts{"10.0.0.1:27015", "One", "m1", "1", "1/2", "c1", "+", "D", "L", " "}));
  EXPECT_EQ(RowsOf(table)[1], (RowTexts{"10.0.0.2:27016", "Two", "", "", "", "", "", "", "", ""}));

  // Lone CRs are dropped, so a file with CR-only line ends is one line.
  ServerTable crOnly;
  ParseRecordLayout(Slurp(DataDir() / "lists/cr_only.txt"), crOnly);
  ASSERT_EQ(crOnly.Count(), 1);
  EXPECT_EQ(crOnly.Address(0), "10.0.0.1:2701510.0.0.2:2701610.0.0.3:27017");
  EXPECT_EQ(crOnly.Cell(0, kNameCell), "");
}

TEST(PlainReader, SplitsAtTheFirstBarAndKeepsOrSkipsEmptyLines) {
  const std::string text = Slurp(DataDir() / "lists/plain.txt");
  const std::vector<RowTexts> imported{
      BlankRowWith("10.0.0.1:27015", "clan server|eu"),
      BlankRowWith("10.0.0.1"),  // no port is added
      BlankRowWith("", "x"),
      BlankRowWith("192.168.0.10:27015", ""),
      BlankRowWith("last.example.org:27020"),
  };
  ServerTable skipping;
  EXPECT_EQ(ParsePlainLayout(text, skipping, true), 5);
  EXPECT_EQ(RowsOf(skipping), imported);

  ServerTable keeping;
  EXPECT_EQ(ParsePlainLayout(text, keeping, false), 7);
  std::vector<RowTexts> opened = imported;
  opened.insert(opened.begin() + 3, BlankRowWith(""));
  opened.insert(opened.begin() + 1, BlankRowWith(""));
  EXPECT_EQ(RowsOf(keeping), opened);

  ServerTable crOnly;
  ParsePlainLayout(Slurp(DataDir() / "lists/cr_only.txt"), crOnly, true);
  EXPECT_EQ(RowsOf(crOnly),
            std::vector<RowTexts>{BlankRowWith("10.0.0.1:2701510.0.0.2:2701610.0.0.3:27017")});
}

TEST(ListWriters, WriteTheLayoutsByteForByte) {
  ServerTable table;
  EXPECT_EQ(FormatRecordLayout(table), "");
  EXPECT_EQ(FormatPlainLayout(table), "");
  AppendTexts(table, {"10.0.0.1:27015", "Alpha", "map", "12", "1/8", "eu", "+", "D", "L", " "});
  table.AppendRow("");
  table.SetCell(1, kCommentCell, "c|d");
  EXPECT_EQ(FormatRecordLayout(table),
            "10.0.0.1:27015\r\nAlpha\r\nmap\r\n12\r\n1/8\r\neu\r\n+\r\nD\r\nL\r\n \r\n"
            " \r\n \r\n \r\n \r\n \r\nc|d\r\n \r\n \r\n \r\n \r\n");
  EXPECT_EQ(FormatPlainLayout(table), "10.0.0.1:27015\r\n\r\n");  // comments are not written
}

TEST(ListWriters, RecordLayoutRoundTripsRandomCells) {
  std::mt19937 rng(11);
  for (int round = 0; round < 50; ++round) {
    ServerTable table;
    std::uniform_int_distribution<int> rows(0, 30);
    const int n = rows(rng);
    for (int i = 0; i < n; ++i) {
      RowTexts texts;
      std::string address = RandomText(rng, 20, kBreakers);
      if (address.empty()) address = "h";
      texts.push_back(address);
      for (int c = 0; c < kCellCount; ++c) texts.push_back(RandomText(rng, 12, kBreakers));
      AppendTexts(table, texts);
    }
    ServerTable back;
    ParseRecordLayout(FormatRecordLayout(table), back);
    ASSERT_EQ(RowsOf(back), RowsOf(table)) << "round " << round;
  }
}

TEST(ListWriters, PlainLayoutRoundTripsAddressesWithBlankCells) {
  std::mt19937 rng(12);
  for (int round = 0; round < 50; ++round) {
    ServerTable table;
    std::vector<RowTexts> want;
    for (int i = 0; i < 20; ++i) {
      const std::string address = RandomText(rng, 20, std::string(kBreakers) + "|");
      AppendTexts(table, {address, "n", "m", "1", "2", "comment", "+", "D", "L", "P"});
      want.push_back(BlankRowWith(address));
    }
    ServerTable back;
    ParsePlainLayout(FormatPlainLayout(table), back, false);  // as Open reads it
    ASSERT_EQ(RowsOf(back), want) << "round " << round;
  }
}

TEST(ListWriters, LineBreaksAndCtrlZInCellsCannotShiftOrCutRecords) {
  std::mt19937 rng(13);
  for (int round = 0; round < 50; ++round) {
    ServerTable table;
    std::vector<RowTexts> want;
    for (int i = 0; i < 15; ++i) {
      RowTexts texts;
      for (int c = 0; c < 1 + kCellCount; ++c) texts.push_back(RandomText(rng, 10, ""));
      if (i % 4 == 0) texts[1] = "evil\r\nname\x1A with\rbreaks\n";
      if (i % 5 == 0) texts[0] = "";  // empty addresses come from Open, imports and paste
      AppendTexts(table, texts);
      RowTexts expected;
      for (const std::string& text : texts) expected.push_back(ReferenceSanitise(text));
      if (expected[0].empty()) expected[0] = " ";
      want.push_back(expected);
    }
    ServerTable back;
    ParseRecordLayout(FormatRecordLayout(table), back);
    ASSERT_EQ(RowsOf(back), want) << "round " << round;

    ServerTable plain;
    ParsePlainLayout(FormatPlainLayout(table), plain, false);
    ASSERT_EQ(plain.Count(), table.Count());
    for (int i = 0; i < table.Count(); ++i) {
      // A "|" in an address still splits it when read back, as in any plain file.
      const std::string address = ReferenceSanitise(std::string(table.Address(i)));
      EXPECT_EQ(plain.Address(i), address.substr(0, address.find('|')));
    }
  }
}

TEST(ListReaders, AFileReadInTheOtherLayoutIsRegroupedLineByLine) {
  ServerTable table;
  AppendTexts(table, {"a:1", "n1", "m1", "1", "2/3", "c1", "+", "D", "L", "P"});
  AppendTexts(table, {"b:2", "n2", "m2", "4", "5/6", "c2", "-", "W", " ", " "});
  const std::string record = FormatRecordLayout(table);

  ServerTable asPlain;
  ParsePlainLayout(record, asPlain, false);
  ASSERT_EQ(asPlain.Count(), 20);
  EXPECT_EQ(RowsOf(asPlain)[0], BlankRowWith("a:1"));
  EXPECT_EQ(RowsOf(asPlain)[15], BlankRowWith("c2"));
  EXPECT_EQ(RowsOf(asPlain)[19], BlankRowWith(" "));

  // Plain lines read as records: every ten lines make one row.
  std::string plain;
  for (int i = 0; i < 25; ++i) plain += "h" + std::to_string(i) + "\r\n";
  ServerTable asRecords;
  ParseRecordLayout(plain, asRecords);
  ASSERT_EQ(asRecords.Count(), 3);
  EXPECT_EQ(RowsOf(asRecords)[1],
            (RowTexts{"h10", "h11", "h12", "h13", "h14", "h15", "h16", "h17", "h18", "h19"}));
  EXPECT_EQ(RowsOf(asRecords)[2], (RowTexts{"h20", "h21", "h22", "h23", "h24", "", "", "", "", ""}));
}

}  // namespace
}  // namespace vantrix
