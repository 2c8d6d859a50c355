// Content no one writes on purpose: a line of a hundred megabytes, files of NUL bytes.
// Every reader takes them by its rules, in bounded time, without a crash.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/io/ListFileLines.h"
#include "core/lists/Imports.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFile.h"
#include "core/lists/ListFileTestHelpers.h"
#include "core/settings/ConfigFile.h"
#include "core/settings/SettingsText.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using test::RowsOf;
using test::RowTexts;
using test::Slurp;
using test::Spit;
using test::TempDir;

constexpr size_t kHugeLine = size_t{100} << 20;

bool AllBytesAre(std::string_view text, char byte) {
  return std::all_of(text.begin(), text.end(), [byte](char c) { return c == byte; });
}

// Guards against a reader that hangs or goes quadratic; not a speed target.
class Deadline {
 public:
  ~Deadline() {
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    EXPECT_LT(elapsed, std::chrono::seconds(120)) << "the reading did not finish in bounded time";
  }

 private:
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

struct Window {
  ServerTable table;
  StatusLine status;
};

TEST(FaultsOddContent, AHundredMegabyteLineIsOneRowInEveryLayout) {
  TempDir dir;
  const fs::path file = dir / "one line.txt";
  ASSERT_TRUE(test::SpitRepeated(file, "server=", kHugeLine, 'x', ""));
  const std::string path = file.string();
  const Deadline deadline;

  for (int filter : {1, 2}) {
    Window w;
    w.table.AppendRow("old");
    ASSERT_TRUE(OpenList(w.table, w.status, path, filter, nullptr)) << filter;
    ASSERT_EQ(w.table.Count(), 1) << filter;
    const ServerRow& row = w.table.Row(0);
    EXPECT_EQ(row.address.size(), kHugeLine + 7);
    EXPECT_EQ(row.address.substr(0, 7), "server=");
    EXPECT_TRUE(AllBytesAre(row.address.substr(7), 'x'));
    if (filter == 1) {
      // A record cut short after its first line: the other cells are empty.
      EXPECT_TRUE(
          std::all_of(row.cells.begin(), row.cells.end(), [](const CellText& c) { return c.empty(); }));
    } else {
      EXPECT_EQ(test::TextsOf(row), test::BlankRowWith(row.address.Str()));
    }
    EXPECT_EQ(w.status.Message(), "Idle...");
    EXPECT_FALSE(w.table.InUpdate());
  }

  Window w;
  ASSERT_TRUE(ImportList(w.table, w.status, path, 3));
  ASSERT_EQ(w.table.Count(), 1);
  EXPECT_EQ(w.table.Address(0).size(), kHugeLine + 7);
  ASSERT_TRUE(ImportTrelvanox(w.table, w.status, path));
  ASSERT_EQ(w.table.Count(), 2);
  EXPECT_EQ(w.table.Address(1).size(), kHugeLine);
  EXPECT_TRUE(AllBytesAre(w.table.Address(1), 'x'));
  ASSERT_TRUE(ImportOrbisk(w.table, w.status, path));
  EXPECT_EQ(w.table.Count(), 2);  // no [Favorites] section

  // Saved and read back, the line survives whole.
  const fs::path saved = dir / "saved.vnx";
  ASSERT_TRUE(SaveList(w.table, w.status, saved.string(), 1));
  // Two records of ten lines, the cells blank (" "), each line with its CR LF.
  EXPECT_EQ(fs::file_size(saved), (kHugeLine + 7) + kHugeLine + 2 * (9 * 1 + 10 * 2));
  Window back;
  ASSERT_TRUE(OpenList(back.table, back.status, saved.string(), 1, nullptr));
  ASSERT_EQ(back.table.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(back.table.Address(i) == w.table.Address(i)) << i;
    EXPECT_TRUE(back.table.Row(i).cells == w.table.Row(i).cells) << i;
  }
}

TEST(FaultsOddContent, AHundredMegabyteEntryOrSettingIsTakenWhole) {
  TempDir dir;
  const Deadline deadline;
  const fs::path orbisk = dir / "orbisk.ini";
  ASSERT_TRUE(
      test::SpitRepeated(orbisk, "[Favorites]\r\nhost ", kHugeLine, 'y', "=27015\r\n10.0.0.2 p=27016\r\n"));
  Window w;
  ASSERT_TRUE(ImportOrbisk(w.table, w.status, orbisk.string()));
  ASSERT_EQ(w.table.Count(), 2);
  EXPECT_EQ(w.table.Address(0), "host:27015");
  EXPECT_EQ(w.table.Address(1), "10.0.0.2:27016");

  // config.ini: a huge value is loaded unchanged, a huge line without "=" changes nothing.
  const fs::path config = dir / "config.ini";
  ASSERT_TRUE(test::SpitRepeated(config, "UDPDelay=", kHugeLine, '7', "\r\nDefaultPort=27016\r\n"));
  Settings settings;
  EXPECT_EQ(ConfigFile(config).LoadSettings(settings), SettingsLoad::kRead);
  EXPECT_EQ(settings.udpDelay.size(), kHugeLine);
  EXPECT_TRUE(AllBytesAre(settings.udpDelay, '7'));
  EXPECT_EQ(settings.defaultPort, "27016");

  ASSERT_TRUE(test::SpitRepeated(config, "", kHugeLine, 'z', ""));
  Settings untouched;
  EXPECT_EQ(ConfigFile(config).LoadSettings(untouched), SettingsLoad::kRead);
  EXPECT_EQ(untouched, Settings{});
}

TEST(FaultsOddContent, AFileOfNulBytesIsOneRowOfNulBytes) {
  TempDir dir;
  // Longer than one read chunk, so the line crosses chunk boundaries.
  const size_t size = 3 * ListFileLines::kDefaultChunk + 17;
  const fs::path file = dir / "zeros.vnx";
  ASSERT_TRUE(test::SpitRepeated(file, "", size, '\0', ""));
  const std::string path = file.string();
  const std::string zeros(size, '\0');

  for (int filter : {1, 2}) {
    Window w;
    ASSERT_TRUE(OpenList(w.table, w.status, path, filter, nullptr));
    ASSERT_EQ(w.table.Count(), 1);
    EXPECT_TRUE(w.table.Address(0) == zeros) << "the bytes pass through unchanged";
  }
  Window w;
  ASSERT_TRUE(ImportList(w.table, w.status, path, 2));
  EXPECT_EQ(w.table.Count(), 1);
  ASSERT_TRUE(ImportOrbisk(w.table, w.status, path));
  ASSERT_TRUE(ImportTrelvanox(w.table, w.status, path));
  EXPECT_EQ(w.table.Count(), 1);

  Settings settings;
  EXPECT_EQ(ConfigFile(file).LoadSettings(settings), SettingsLoad::kRead);
  EXPECT_EQ(settings, Settings{});

  // NULs inside lines are bytes like any other, kept by every layout.
  const std::string line("10.0.0.1\0:27015|c\0mment\r\n\0\r\n", 27);
  Spit(file, line);
  Window plain;
  ASSERT_TRUE(OpenList(plain.table, plain.status, path, 2, nullptr));
  ASSERT_EQ(plain.table.Count(), 2);
  EXPECT_EQ(plain.table.Address(0), std::string("10.0.0.1\0:27015", 15));
  EXPECT_EQ(plain.table.Cell(0, kCommentCell), std::string("c\0mment", 7));
  EXPECT_EQ(plain.table.Address(1), std::string(1, '\0'));
  const fs::path saved = dir / "saved.vnx";
  ASSERT_TRUE(SaveList(plain.table, plain.status, saved.string(), 1));
  Window back;
  ASSERT_TRUE(OpenList(back.table, back.status, saved.string(), 1, nullptr));
  EXPECT_EQ(RowsOf(back.table), RowsOf(plain.table));

  // A settings line with NULs: the key is not a known one; a value keeps them.
  Spit(file, std::string("Default\0Port=1\r\nDefaultPort=2\0\r\n", 32));
  Settings withNul;
  ConfigFile(file).LoadSettings(withNul);
  EXPECT_EQ(withNul.defaultPort, std::string("2\0", 2));
}

}  // namespace
}  // namespace vantrix
