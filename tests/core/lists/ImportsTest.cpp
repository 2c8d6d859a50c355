#include "core/lists/Imports.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/lists/ListFileTestHelpers.h"
#include "core/util/Version.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using test::BlankRowWith;
using test::DataDir;
using test::RowsOf;
using test::RowTexts;
using test::ScriptedChooser;
using test::Spit;
using test::TempDir;

std::vector<RowTexts> Blank(const std::vector<std::string>& addresses) {
  std::vector<RowTexts> rows;
  for (const std::string& address : addresses) rows.push_back(BlankRowWith(address));
  return rows;
}

std::vector<std::string> Addresses(const ServerTable& table) {
  std::vector<std::string> addresses;
  for (const ServerRow& row : table.Rows()) addresses.push_back(row.address.Str());
  return addresses;
}

TEST(OrbiskImport, ReadsOnlyTheFirstFavoritesSection) {
  ServerTable table;
  StatusLine status;
  status.SetStatus(3, "before");
  EXPECT_TRUE(ImportOrbisk(table, status, (DataDir() / "imports/orbisk.ini").string()));
  EXPECT_EQ(RowsOf(table), Blank({"10.0.0.1:27015", "10.0.0.2:b=27016"}));
  EXPECT_EQ(status.Message(), "before");
}

TEST(OrbiskImport, BuildsTheAddressFromTheFirstSpaceAndTheFirstEquals) {
  EXPECT_EQ(OrbiskAddress("10.0.0.1 port=27015"), "10.0.0.1:27015");
  EXPECT_EQ(OrbiskAddress("10.0.0.1=27015"), ":27015");
  EXPECT_EQ(OrbiskAddress("10.0.0.1 27015"), "10.0.0.1:10.0.0.1 27015");
  EXPECT_EQ(OrbiskAddress("host a b=1=2"), "host:1=2");
  EXPECT_EQ(OrbiskAddress(""), ":");
  EXPECT_EQ(OrbiskAddress(" =x"), ":x");
}

TEST(OrbiskImport, SectionRulesAreExactAndCaseSensitive) {
  struct Case {
    std::string text;
    std::vector<std::string> addresses;
  };
  const std::vector<Case> cases{
      // The section runs to the end of the file: every line after the header, empty ones too.
      {"[Favorites]\r\na port=1\r\n\r\nb port=2", {"a:1", ":", "b:2"}},
      {"[favorites]\r\na port=1\r\n", {}},
      {"[General]\r\nx=1\r\n", {}},
      {"", {}},
      {"[Favorites]", {}},
      {" [Favorites]\r\na port=1\r\n", {}},  // nothing is trimmed
      // A second "[Favorites]" line is not a section header; any other "[" line is.
      {"[Favorites]\r\na port=1\r\n[Favorites]\r\n[x\r\nb port=2\r\n", {"a:1", ":[Favorites]"}},
      // A lone CR is dropped, not a line end; 0x1A ends the file.
      {"[Favorites]\ra port=1\r\nb port=2\r\n", {}},
      {"[Favorites]\r\nb p\rort=2\x1A"
       "c port=3\r\n",
       {"b:2"}},
      {"x\r\n[Favorites]\na po\rrt=1\r\n", {"a:1"}},
  };
  for (const Case& c : cases) {
    ServerTable table;
    EXPECT_EQ(ParseOrbisk(c.text, table), static_cast<int>(c.addresses.size())) << c.text;
    EXPECT_EQ(RowsOf(table), Blank(c.addresses)) << c.text;
  }
}

TEST(TrelvanoxImport, TakesServerLinesFromTheEighthByte) {
  ServerTable table;
  StatusLine status;
  status.SetStatus(3, "before");
  EXPECT_TRUE(ImportTrelvanox(table, status, (DataDir() / "imports/trelvanox.txt").string()));
  EXPECT_EQ(RowsOf(table), Blank({"10.0.0.1:27015", "10.0.0.2:27016", "ame=x", "", "", "10.0.0.3:27017"}));
  EXPECT_EQ(status.Message(), "before");

  EXPECT_TRUE(IsTrelvanoxServerLine("SeRvEr"));
  EXPECT_FALSE(IsTrelvanoxServerLine("serve"));
  EXPECT_FALSE(IsTrelvanoxServerLine(" server=x"));
  EXPECT_FALSE(
      IsTrelvanoxServerLine("\xD3"
                            "erver=x"));
  EXPECT_EQ(TrelvanoxAddress("server"), "");
  EXPECT_EQ(TrelvanoxAddress("server="), "");
  EXPECT_EQ(TrelvanoxAddress("server=1"), "1");
  EXPECT_EQ(TrelvanoxAddress("serverXYa b"), "Ya b");  // the seventh byte is skipped whatever it is

  ServerTable cut;
  EXPECT_EQ(ParseTrelvanox("server=a\r\nserver=b\x1Aserver=c\r\n", cut), 2);
  EXPECT_EQ(Addresses(cut), (std::vector<std::string>{"a", "b"}));
}

TEST(Imports, AppendAfterExistingRowsAndTwiceMeansTwice) {
  ServerTable table;
  StatusLine status;
  table.AppendRow("existing:1");
  table.SetCell(0, kNameCell, "kept");
  const std::string orbisk = (DataDir() / "imports/orbisk.ini").string();
  const std::string trelvanox = (DataDir() / "imports/trelvanox.txt").string();
  ImportOrbisk(table, status, orbisk);
  ImportOrbisk(table, status, orbisk);
  ImportTrelvanox(table, status, trelvanox);
  ImportTrelvanox(table, status, trelvanox);
  EXPECT_EQ(Addresses(table),
            (std::vector<std::string>{"existing:1", "10.0.0.1:27015", "10.0.0.2:b=27016", "10.0.0.1:27015",
                                      "10.0.0.2:b=27016", "10.0.0.1:27015", "10.0.0.2:27016", "ame=x", "", "",
                                      "10.0.0.3:27017", "10.0.0.1:27015", "10.0.0.2:27016", "ame=x", "", "",
                                      "10.0.0.3:27017"}));
  EXPECT_EQ(table.Cell(0, kNameCell), "kept");
  EXPECT_FALSE(table.InUpdate());
}

TEST(Imports, ReportUnopenableFilesInTheirOwnWordsAndPassReadErrorsOn) {
  TempDir dir;
  ServerTable table;
  StatusLine status;
  table.AppendRow("existing:1");
  const std::string missing = (dir / "missing.ini").string();
  EXPECT_FALSE(ImportOrbisk(table, status, missing));
  EXPECT_EQ(status.Message(), "File locked: " + missing);
  EXPECT_FALSE(ImportTrelvanox(table, status, missing));
  EXPECT_EQ(status.Message(), "File is locked: " + missing);
  EXPECT_EQ(table.Count(), 1);

  // A folder is a file that cannot be opened, in each import's words.
  EXPECT_FALSE(ImportOrbisk(table, status, dir.Path().string()));
  EXPECT_EQ(status.Message(), "File locked: " + dir.Path().string());
  EXPECT_FALSE(ImportTrelvanox(table, status, dir.Path().string()));
  EXPECT_EQ(status.Message(), "File is locked: " + dir.Path().string());

  // A file that opens but cannot be read (the first page of memory is never mapped).
  EXPECT_THROW(ImportOrbisk(table, status, "/proc/self/mem"), FileReadError);
  EXPECT_THROW(ImportTrelvanox(table, status, "/proc/self/mem"), FileReadError);
  EXPECT_EQ(table.Count(), 1);
  EXPECT_FALSE(table.InUpdate());
}

TEST(Imports, UseTheirOwnDialogsAndDoNothingWhenCancelled) {
  TempDir dir;
  ServerTable table;
  StatusLine status;
  ScriptedChooser chooser;
  FileDialogState orbiskDialog{&kOpenDialog2};
  FileDialogState trelvanoxDialog{&kOpenDialog3};
  chooser.Answer(std::nullopt);
  chooser.Answer(FileChoice{"", 1});
  chooser.Answer(FileChoice{(DataDir() / "imports/orbisk.ini").string(), 2});
  chooser.Answer(FileChoice{(DataDir() / "imports/orbisk.ini").string(), 1});  // any filter, same reader
  ImportOrbiskCommand(table, status, chooser, orbiskDialog);
  ImportTrelvanoxCommand(table, status, chooser, trelvanoxDialog);
  EXPECT_EQ(table.Count(), 0);
  ImportOrbiskCommand(table, status, chooser, orbiskDialog);
  EXPECT_EQ(table.Count(), 2);
  ImportTrelvanoxCommand(table, status, chooser, trelvanoxDialog);
  EXPECT_EQ(table.Count(), 2);  // an Orbisk file has no "server" lines
  ASSERT_EQ(chooser.shown.size(), 4u);
  EXPECT_EQ(chooser.shown[0].dialog, "OpenDialog2");
  EXPECT_EQ(chooser.shown[1].dialog, "OpenDialog3");
  EXPECT_EQ(chooser.shown[2].dialog, "OpenDialog2");
  EXPECT_EQ(orbiskDialog.filterIndex, 2);
  EXPECT_EQ(status.Message(), "Vantrix " VANTRIX_VERSION " loaded");  // nothing was reported
}

}  // namespace
}  // namespace vantrix
