#include "core/lists/Exports.h"

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFileTestHelpers.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using test::AppendTexts;
using test::RandomText;
using test::Slurp;
using test::Spit;
using test::TempDir;

// Runs the test inside a folder of its own, since the export goes to the working directory.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : m_old(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() { fs::current_path(m_old); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path m_old;
};

void FillSample(ServerTable& table) {
  table.AppendRow("10.0.0.1:27015");  // never queried: all cells blank
  AppendTexts(table, {"10.0.0.2:27016", "Alpha", "de_dust2", "35", "12/20", "eu", "+", "L", "D", " "});
}

TEST(Exports, WriteEachFormatByteForByte) {
  ServerTable table;
  FillSample(table);
  EXPECT_EQ(ExportLine(table.Row(0), ExportFormat::kIpName), "10.0.0.1:27015 -  ");
  EXPECT_EQ(ExportLine(table.Row(0), ExportFormat::kIpComment), "10.0.0.1:27015| ");
  EXPECT_EQ(ExportLine(table.Row(1), ExportFormat::kIpNamePlayersComment),
            "10.0.0.2:27016 - Alpha - 12/20 - eu");
  EXPECT_EQ(FormatExport(table, ExportFormat::kIpName), "10.0.0.1:27015 -  \r\n10.0.0.2:27016 - Alpha\r\n");
  EXPECT_EQ(FormatExport(table, ExportFormat::kIpNamePlayers),
            "10.0.0.1:27015 -   -  \r\n10.0.0.2:27016 - Alpha - 12/20\r\n");
  EXPECT_EQ(FormatExport(table, ExportFormat::kIpComment), "10.0.0.1:27015| \r\n10.0.0.2:27016|eu\r\n");
  EXPECT_EQ(FormatExport(table, ExportFormat::kIpNamePlayersComment),
            "10.0.0.1:27015 -   -   -  \r\n10.0.0.2:27016 - Alpha - 12/20 - eu\r\n");

  // Bytes pass unchanged, except those that would break the line.
  ServerTable odd;
  AppendTexts(odd, {"h\xFF:1",
                    "a\r\nb\x1A"
                    "c",
                    "", "", "\n", "x", "", "", "", ""});
  EXPECT_EQ(FormatExport(odd, ExportFormat::kIpNamePlayersComment), "h\xFF:1 - a  b c -   - x\r\n");
}

TEST(Exports, ReplaceListTxtInTheWorkingDirectory) {
  TempDir dir;
  InFolder here(dir.Path());
  ServerTable table;
  Spit("_list.txt", "previous content\r\n");
  ExportList(table, ExportFormat::kIpName);
  EXPECT_TRUE(fs::exists(dir / "_list.txt"));
  EXPECT_EQ(fs::file_size(dir / "_list.txt"), 0u);

  FillSample(table);
  ExportList(table, ExportFormat::kIpNamePlayersComment);
  ExportList(table, ExportFormat::kIpComment);  // only the second export's lines remain
  EXPECT_EQ(Slurp(dir / "_list.txt"), "10.0.0.1:27015| \r\n10.0.0.2:27016|eu\r\n");
  EXPECT_EQ(table.Count(), 2);
}

TEST(Exports, StopWhereTheyFailAndReachTheCaller) {
  TempDir dir;
  ServerTable table;
  FillSample(table);
  EXPECT_THROW(ExportList(table, ExportFormat::kIpName, dir / "missing" / "_list.txt"), FileWriteError);
  EXPECT_THROW(ExportList(table, ExportFormat::kIpName, dir.Path()), FileWriteError);
  Spit(dir / "_list.txt", "previous content\r\n");
  EXPECT_THROW(ExportList(table, ExportFormat::kIpName, dir / "_list.txt", WriteLimit{20}), FileWriteError);
  EXPECT_EQ(Slurp(dir / "_list.txt"), FormatExport(table, ExportFormat::kIpName).substr(0, 20));
}

TEST(Exports, GorvaneLinesOpenAsAPlainListWithTheirComments) {
  TempDir dir;
  std::mt19937 rng(5);
  const std::string breakers("\r\n\x1A", 3);
  ServerTable table;
  for (int i = 0; i < 200; ++i) {
    const std::string address = "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ":27015";
    AppendTexts(table, {address, RandomText(rng, 8, breakers), "m", "1", "2/3", RandomText(rng, 16, breakers),
                        "+", "L", "D", " "});
  }
  ExportList(table, ExportFormat::kIpComment, dir / "_list.txt");
  ServerTable back;
  StatusLine status;
  ASSERT_TRUE(OpenList(back, status, (dir / "_list.txt").string(), 2, nullptr));
  ASSERT_EQ(back.Count(), table.Count());
  for (int i = 0; i < table.Count(); ++i) {
    EXPECT_EQ(back.Address(i), table.Address(i));
    EXPECT_EQ(back.Cell(i, kCommentCell), table.Cell(i, kCommentCell));
    EXPECT_EQ(back.Cell(i, kNameCell), " ");
  }
}

TEST(Clipboard, CopiesTheFocusedRowOnlyWhileARowIsSelected) {
  ServerTable table;
  for (const char* address : {"a:1", "b:2", "c:3"}) table.AppendRow(address);
  StatusLine status;
  status.SetStatus(3, "before");
  std::vector<std::string> clipboard;
  const auto write = [&clipboard](const std::string& text) {
    clipboard.push_back(text);
    return true;
  };

  EXPECT_FALSE(SaveSelectedToClipboard(table, status, 1, write));  // focus without a selection
  EXPECT_FALSE(SaveSelectedToClipboard(table, status, -1, write));
  EXPECT_TRUE(clipboard.empty());
  EXPECT_EQ(status.Message(), "before");

  table.SetSelectedIndex(2);
  EXPECT_EQ(ClipboardAddress(table, 2), "c:3");
  EXPECT_EQ(ClipboardAddress(table, 0), "a:1");   // the focused row wins over the selected one
  EXPECT_EQ(ClipboardAddress(table, -1), "c:3");  // no focus: the selected row
  EXPECT_EQ(ClipboardAddress(table, 7), "c:3");
  EXPECT_TRUE(SaveSelectedToClipboard(table, status, 1, write));
  EXPECT_EQ(clipboard, std::vector<std::string>{"b:2"});
  EXPECT_EQ(status.Message(), "before");

  table.SetAddress(1, "odd\r\n\xFF");  // the address goes on the clipboard as it is
  EXPECT_TRUE(SaveSelectedToClipboard(table, status, 1, write));
  EXPECT_EQ(clipboard.back(), "odd\r\n\xFF");

  EXPECT_FALSE(SaveSelectedToClipboard(table, status, 1, [](const std::string&) { return false; }));
  EXPECT_EQ(status.Message(), "Error: Clipboard write failed");

  table.SetSelectedIndex(-1);
  EXPECT_EQ(ClipboardAddress(table, 1), std::nullopt);
}

}  // namespace
}  // namespace vantrix
