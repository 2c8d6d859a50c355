#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFile.h"
#include "core/lists/ListFileTestHelpers.h"
#include "core/util/Version.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using test::AppendTexts;
using test::BlankRowWith;
using test::CountingObserver;
using test::DataDir;
using test::RowsOf;
using test::RowTexts;
using test::ScriptedChooser;
using test::Slurp;
using test::Spit;
using test::TempDir;

const std::string kRecordsFile = (DataDir() / "lists/records.vnx").string();
const std::string kPlainFile = (DataDir() / "lists/plain.txt").string();

std::vector<RowTexts> RecordsFileRows() {
  ServerTable table;
  ParseRecordLayout(Slurp(kRecordsFile), table);
  return RowsOf(table);
}

std::vector<RowTexts> PlainFileRows(bool skipEmptyLines) {
  ServerTable table;
  ParsePlainLayout(Slurp(kPlainFile), table, skipEmptyLines);
  return RowsOf(table);
}

size_t EntriesIn(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

struct Window {
  ServerTable table;
  StatusLine status;
  CountingObserver view;
  std::vector<std::string> messages;
  Window() {
    table.SetObserver(&view);
    status.SetObserver([this](int panel) {
      if (panel == StatusLine::kMessagePanel) messages.push_back(status.Message());
    });
  }
  void Fill(int rows) {
    for (int i = 0; i < rows; ++i) table.AppendRow("old" + std::to_string(i));
    view = {};
    messages.clear();
  }
};

TEST(OpenList, ReplacesTheTableAndYieldsOnceInTheRecordLayout) {
  Window w;
  w.Fill(3);
  int yields = 0;
  const bool opened = OpenList(w.table, w.status, kRecordsFile, 1, [&] {
    ++yields;
    // The one point where other events run: the table is empty and inside its bracket.
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_TRUE(w.table.InUpdate());
    EXPECT_EQ(w.status.Message(), "Processing file " + kRecordsFile);
  });
  EXPECT_TRUE(opened);
  EXPECT_EQ(yields, 1);
  EXPECT_EQ(RowsOf(w.table), RecordsFileRows());
  EXPECT_EQ(w.status.Message(), "Idle...");
  EXPECT_FALSE(w.table.InUpdate());
  EXPECT_EQ(w.view.inserted, 0);  // every row came inside a bracket: the view redraws
  EXPECT_EQ(w.view.removed, 0);
  EXPECT_EQ(w.view.resets, 2);  // once for the clear, once for the rows read
}

TEST(OpenList, PlainLayoutKeepsEmptyLinesAndDoesNotYield) {
  Window w;
  w.Fill(2);
  int yields = 0;
  size_t rowsWhenFirstProcessing = 99;
  w.status.SetObserver([&](int) {
    if (w.status.Message().starts_with("Processing file ") && rowsWhenFirstProcessing == 99)
      rowsWhenFirstProcessing = static_cast<size_t>(w.table.Count());
    w.messages.push_back(w.status.Message());
  });
  EXPECT_TRUE(OpenList(w.table, w.status, kPlainFile, 2, [&] { ++yields; }));
  EXPECT_EQ(yields, 0);
  EXPECT_EQ(rowsWhenFirstProcessing, 0u);  // shown before the first line is read
  EXPECT_EQ(RowsOf(w.table), PlainFileRows(false));
  ASSERT_FALSE(w.messages.empty());
  EXPECT_EQ(w.messages.front(), "Processing file " + kPlainFile);
  EXPECT_EQ(w.messages.back(), "Idle...");
  EXPECT_EQ(w.view.inserted, 0);

  // Filter 3 is the plain layout as well, whatever the extension says.
  EXPECT_TRUE(OpenList(w.table, w.status, kRecordsFile, 3, nullptr));
  EXPECT_EQ(w.table.Count(), static_cast<int>(SplitLines(Slurp(kRecordsFile)).size()));
  EXPECT_EQ(RowsOf(w.table)[0], BlankRowWith(""));  // the records file begins with an empty line
}

TEST(OpenList, AFileThatCannotBeOpenedLeavesAnEmptyTable) {
  Window w;
  w.Fill(4);
  TempDir dir;
  const std::string missing = (dir / "nothing here.vnx").string();
  EXPECT_FALSE(OpenList(w.table, w.status, missing, 1, [] { FAIL() << "no yield without a file"; }));
  EXPECT_EQ(w.table.Count(), 0);
  EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + missing + ")");
  EXPECT_FALSE(w.table.InUpdate());

  // An empty file gives an empty table and "Idle...".
  Spit(dir / "empty.vnx", "");
  w.Fill(2);
  EXPECT_TRUE(OpenList(w.table, w.status, (dir / "empty.vnx").string(), 1, nullptr));
  EXPECT_EQ(w.table.Count(), 0);
  EXPECT_EQ(w.status.Message(), "Idle...");
}

TEST(ListCommands, AReadErrorEndsTheCommandWithTheBracketClosedAndEarlierRowsKept) {
  TempDir dir;
  // A file that opens but cannot be read: the process's memory, whose first page is unmapped.
  const std::string unreadable = (dir / "memory.vnx").string();
  fs::create_symlink("/proc/self/mem", unreadable);
  for (int filter : {1, 2}) {
    Window w;
    w.Fill(3);
    EXPECT_THROW(OpenList(w.table, w.status, unreadable, filter, nullptr), FileReadError);
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_FALSE(w.table.InUpdate());

    w.Fill(3);
    EXPECT_THROW(ImportList(w.table, w.status, unreadable, filter), FileReadError);
    EXPECT_EQ(w.table.Count(), 3);
    EXPECT_FALSE(w.table.InUpdate());
  }
  Window w;
  const std::vector<std::string> args{kPlainFile, unreadable, kRecordsFile};
  EXPECT_THROW(LoadStartupFiles(w.table, w.status, args), FileReadError);
  EXPECT_EQ(RowsOf(w.table), PlainFileRows(true));  // the rows of the first argument stay
  EXPECT_FALSE(w.table.InUpdate());
}

TEST(ListCommands, AFolderIsAFileThatCannotBeOpened) {
  TempDir dir;
  const std::string folder = (dir / "folder.vnx").string();
  fs::create_directory(folder);
  const std::string cannotOpen = "Error: Cannot open file (" + folder + ")";
  for (int filter : {1, 2}) {
    Window w;
    w.Fill(3);
    EXPECT_FALSE(OpenList(w.table, w.status, folder, filter, nullptr));
    EXPECT_EQ(w.status.Message(), cannotOpen);
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_FALSE(w.table.InUpdate());

    w.Fill(3);
    w.status.SetStatus(3, "before");
    EXPECT_FALSE(ImportList(w.table, w.status, folder, filter));
    EXPECT_EQ(w.status.Message(), cannotOpen);
    EXPECT_EQ(w.table.Count(), 3);
  }
  // Start-up loading stops at the folder; the rows before it stay.
  Window w;
  const std::vector<std::string> args{kPlainFile, folder, kRecordsFile};
  LoadStartupFiles(w.table, w.status, args);
  EXPECT_EQ(RowsOf(w.table), PlainFileRows(true));
  EXPECT_EQ(w.status.Message(), cannotOpen);
  EXPECT_FALSE(w.table.InUpdate());
}

TEST(ImportList, AppendsWithoutMessagesAndSkipsEmptyPlainLines) {
  Window w;
  w.Fill(1);
  w.status.SetStatus(3, "before");
  w.messages.clear();
  EXPECT_TRUE(ImportList(w.table, w.status, kPlainFile, 2));
  EXPECT_TRUE(ImportList(w.table, w.status, kPlainFile, 3));
  std::vector<RowTexts> want{BlankRowWith("old0")};
  for (int i = 0; i < 2; ++i)
    for (const RowTexts& row : PlainFileRows(true)) want.push_back(row);
  EXPECT_EQ(RowsOf(w.table), want);  // the same file twice holds every server twice
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(w.status.Message(), "before");
  EXPECT_EQ(w.view.inserted, 0);
  EXPECT_EQ(w.view.resets, 2);

  EXPECT_TRUE(ImportList(w.table, w.status, kRecordsFile, 1));
  const std::vector<RowTexts> records = RecordsFileRows();
  const std::vector<RowTexts> all = RowsOf(w.table);
  EXPECT_EQ(std::vector<RowTexts>(all.end() - static_cast<long>(records.size()), all.end()), records);

  TempDir dir;
  const std::string missing = (dir / "missing.txt").string();
  const int before = w.table.Count();
  EXPECT_FALSE(ImportList(w.table, w.status, missing, 2));
  EXPECT_EQ(w.table.Count(), before);
  EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + missing + ")");
}

TEST(SaveList, WritesTheLayoutOfTheFilterNotOfTheExtension) {
  TempDir dir;
  Window w;
  for (int filter : {1, 2, 3}) {
    const std::string path = (dir / ("empty" + std::to_string(filter) + ".vnx")).string();
    EXPECT_TRUE(SaveList(w.table, w.status, path, filter));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
  }
  AppendTexts(w.table, {"10.0.0.1:27015", "Alpha", "map", "12", "1/8", "eu", "+", "D", "L", " "});
  w.table.AppendRow("10.0.0.2:27016");
  w.status.SetStatus(3, "before");
  const std::string plain = (dir / "saved.vnx").string();
  const std::string record = (dir / "saved.txt").string();
  EXPECT_TRUE(SaveList(w.table, w.status, plain, 2));
  EXPECT_TRUE(SaveList(w.table, w.status, record, 1));
  EXPECT_EQ(w.status.Message(), "before");  // no message on success
  EXPECT_EQ(Slurp(plain), "10.0.0.1:27015\r\n10.0.0.2:27016\r\n");
  EXPECT_EQ(Slurp(record), FormatRecordLayout(w.table));

  Window back;
  OpenList(back.table, back.status, record, 1, nullptr);
  EXPECT_EQ(RowsOf(back.table), RowsOf(w.table));
  OpenList(back.table, back.status, plain, 2, nullptr);
  EXPECT_EQ(RowsOf(back.table),
            (std::vector<RowTexts>{BlankRowWith("10.0.0.1:27015"), BlankRowWith("10.0.0.2:27016")}));

  // Saving over an existing list replaces it whole.
  w.table.DeleteRow(0);
  EXPECT_TRUE(SaveList(w.table, w.status, plain, 3));
  EXPECT_EQ(Slurp(plain), "10.0.0.2:27016\r\n");
  EXPECT_EQ(EntriesIn(dir.Path()), 5u);  // no temporary files left behind
}

TEST(SaveList, ATargetThatCannotBeWrittenIsReportedAndTouchesNothing) {
  TempDir dir;
  Window w;
  w.table.AppendRow("10.0.0.1:27015");
  const std::string inMissingFolder = (dir / "no such folder" / "list.vnx").string();
  EXPECT_FALSE(SaveList(w.table, w.status, inMissingFolder, 1));
  EXPECT_EQ(w.status.Message(), "Error: File is locked (" + inMissingFolder + ")");
  EXPECT_FALSE(fs::exists(dir / "no such folder"));

  const fs::path folder = dir / "list.vnx";
  fs::create_directory(folder);
  Spit(folder / "inside", "kept");
  EXPECT_FALSE(SaveList(w.table, w.status, folder.string(), 2));
  EXPECT_EQ(w.status.Message(), "Error: File is locked (" + folder.string() + ")");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Slurp(folder / "inside"), "kept");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(SaveList, AWriteFailureMidwayKeepsTheOldFileAndReachesTheCaller) {
  TempDir dir;
  const std::string path = (dir / "list.vnx").string();
  Spit(path, "old list\r\n");
  Window w;
  for (int i = 0; i < 100; ++i) w.table.AppendRow("10.0.0." + std::to_string(i) + ":27015");
  w.status.SetStatus(3, "before");
  for (int filter : {1, 2}) {
    EXPECT_THROW(SaveList(w.table, w.status, path, filter, WriteLimit{100}), FileWriteError);
    EXPECT_EQ(Slurp(path), "old list\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    EXPECT_EQ(w.status.Message(), "before");
  }
}

TEST(NewList, EmptiesTheTableInOneBracket) {
  Window w;
  w.Fill(5);
  w.status.SetStatus(3, "before");
  NewList(w.table);
  EXPECT_EQ(w.table.Count(), 0);
  EXPECT_EQ(w.view.removed, 0);
  EXPECT_EQ(w.view.resets, 1);
  EXPECT_EQ(w.status.Message(), "before");
}

TEST(LoadStartupFiles, LoadsArgumentsInOrderEachInTheLayoutOfItsExtension) {
  TempDir dir;
  const std::string a = (dir / "a.txt").string();
  const std::string b = (dir / "b.VNX").string();
  Spit(a, "10.0.0.1:27015|first\r\n\r\n10.0.0.2:27016\r\n");
  ServerTable source;
  AppendTexts(source, {"10.0.0.9:27015", "Nine", "m9", "9", "9/9", "c9", "+", "L", "D", "P"});
  Spit(b, FormatRecordLayout(source));
  fs::create_directory(dir / "servers");  // no ".": skipped, never opened

  Window w;
  const std::vector<std::string> args{(dir / "servers").string(), a, "servers", b};
  EXPECT_EQ(LoadStartupFiles(w.table, w.status, args), 2);
  const std::vector<RowTexts> want{BlankRowWith("10.0.0.1:27015", "first"), BlankRowWith("10.0.0.2:27016"),
                                   RowsOf(source)[0]};
  EXPECT_EQ(RowsOf(w.table), want);
  EXPECT_EQ(w.messages,
            (std::vector<std::string>{"Processing file " + a, "Vantrix " VANTRIX_VERSION " loaded",
                                      "Processing file " + b, "Vantrix " VANTRIX_VERSION " loaded"}));
  EXPECT_EQ(w.view.inserted, 0);
  EXPECT_EQ(w.view.resets, 2);
}

TEST(LoadStartupFiles, StopsAtTheFirstArgumentThatCannotBeOpened) {
  TempDir dir;
  const std::string a = (dir / "a.txt").string();
  const std::string b = (dir / "b.VNX").string();
  const std::string c = (dir / "c.txt").string();
  Spit(b, "10.0.0.9:27015\r\n");
  Spit(c, "10.0.0.8:27015\r\n");

  Window w;
  EXPECT_EQ(LoadStartupFiles(w.table, w.status, std::vector<std::string>{a, b}), 0);
  EXPECT_EQ(w.table.Count(), 0);
  EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + a + ")");

  Window later;
  EXPECT_EQ(LoadStartupFiles(later.table, later.status, std::vector<std::string>{c, a, b}), 1);
  EXPECT_EQ(RowsOf(later.table), std::vector<RowTexts>{BlankRowWith("10.0.0.8:27015")});
  EXPECT_EQ(later.status.Message(), "Error: Cannot open file (" + a + ")");

  Window none;
  EXPECT_EQ(LoadStartupFiles(none.table, none.status, std::vector<std::string>{"servers", "x"}), 0);
  EXPECT_TRUE(none.messages.empty());
}

TEST(ListCommands, DialogsCancelWithoutEffectAndRememberTheConfirmedFilter) {
  TempDir dir;
  Window w;
  w.Fill(2);
  ScriptedChooser chooser;
  FileDialogState open{&kOpenDialog1};
  FileDialogState save{&kSaveDialog1};

  chooser.Answer(std::nullopt);
  chooser.Answer(FileChoice{"", 2});  // closed with an empty name: a cancel too
  chooser.Answer(std::nullopt);
  chooser.Answer(std::nullopt);
  OpenListCommand(w.table, w.status, chooser, open, [] { FAIL(); });
  OpenListCommand(w.table, w.status, chooser, open, [] { FAIL(); });
  ImportListCommand(w.table, w.status, chooser, open);
  SaveListCommand(w.table, w.status, chooser, save);
  EXPECT_EQ(w.table.Count(), 2);  // a cancelled Open does not empty the table
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(open.filterIndex, 1);
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);

  chooser.Answer(FileChoice{kPlainFile, 3});
  ImportListCommand(w.table, w.status, chooser, open);
  EXPECT_EQ(w.table.Count(), 2 + static_cast<int>(PlainFileRows(true).size()));
  chooser.Answer(FileChoice{kRecordsFile, 1});
  int yields = 0;
  OpenListCommand(w.table, w.status, chooser, open, [&] { ++yields; });
  EXPECT_EQ(RowsOf(w.table), RecordsFileRows());
  EXPECT_EQ(yields, 1);
  const std::string saved = (dir / "out.txt").string();
  chooser.Answer(FileChoice{saved, 2});
  SaveListCommand(w.table, w.status, chooser, save);
  EXPECT_EQ(Slurp(saved), FormatPlainLayout(w.table));
  chooser.Answer(std::nullopt);
  SaveListCommand(w.table, w.status, chooser, save);

  // Open and Import share one dialog; Save has its own.
  ASSERT_EQ(chooser.shown.size(), 8u);
  const std::vector<std::pair<std::string, int>> want{
      {"OpenDialog1", 1}, {"OpenDialog1", 1}, {"OpenDialog1", 1}, {"SaveDialog1", 1},
      {"OpenDialog1", 1}, {"OpenDialog1", 3}, {"SaveDialog1", 1}, {"SaveDialog1", 2}};
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(chooser.shown[i].dialog, want[i].first) << i;
    EXPECT_EQ(chooser.shown[i].preselected, want[i].second) << i;
  }
}

TEST(FileDialogs, CarryTheTitlesFiltersAndExtensionsOfEachDialog) {
  const std::vector<FileFilterEntry> lists{
      {"Файлы Vantrix (*.vnx)", "*.vnx"}, {"Текстовые файлы (*.txt)", "*.txt"}, {"Все файлы (*.*)", "*.*"}};
  EXPECT_EQ(FilterEntries(kOpenDialog1.filter), lists);
  EXPECT_EQ(FilterEntries(kSaveDialog1.filter), lists);
  EXPECT_EQ(FilterEntries(kOpenDialog2.filter),
            (std::vector<FileFilterEntry>{{"Файлы Orbisk (*.ini)", "*.ini"}, {"Все файлы (*.*)", "*.*"}}));
  EXPECT_EQ(FilterEntries(kOpenDialog3.filter),
            (std::vector<FileFilterEntry>{{"Файлы Trelvanox (*.txt)", "*.txt"}, {"Все файлы (*.*)", "*.*"}}));
  EXPECT_EQ(kOpenDialog1.title, "Open file");
  EXPECT_EQ(kSaveDialog1.title, "Save file");
  EXPECT_EQ(kOpenDialog2.title, "Open file");
  EXPECT_EQ(kOpenDialog3.title, "Open file");
  EXPECT_EQ(kOpenDialog1.defaultExtension, "*.txt");
  EXPECT_EQ(kSaveDialog1.defaultExtension, "*.txt");
  EXPECT_EQ(kOpenDialog2.defaultExtension, "*.ini");
  EXPECT_EQ(kOpenDialog3.defaultExtension, "*.txt");
  EXPECT_EQ(kSaveDialog1.kind, FileDialogKind::kSave);
  EXPECT_EQ(kOpenDialog2.kind, FileDialogKind::kOpen);

  EXPECT_EQ(FilterIndexOfLabel(kOpenDialog1.filter, "Текстовые файлы (*.txt)"), 2);
  EXPECT_EQ(FilterIndexOfLabel(kOpenDialog1.filter, "Все файлы (*.*)"), 3);
  EXPECT_EQ(FilterIndexOfLabel(kOpenDialog1.filter, "*.vnx"), 0);  // patterns are not labels

  // A filter index the dialog does not have falls back to the first.
  ScriptedChooser chooser;
  FileDialogState dialog{&kOpenDialog2, 2};
  chooser.Answer(FileChoice{"x.ini", 3});
  ASSERT_TRUE(ShowFileDialog(chooser, dialog));
  EXPECT_EQ(dialog.filterIndex, 1);
}

}  // namespace
}  // namespace vantrix
