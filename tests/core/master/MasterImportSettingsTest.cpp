#include "core/master/MasterImportSettings.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/master/MasterRows.h"
#include "core/table/ServerTable.h"
#include "core/table/TableObserver.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/vantrix-master-XXXXXX";
    m_path = mkdtemp(name);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
  }
  const fs::path& Path() const { return m_path; }

 private:
  fs::path m_path;
};

TEST(MasterImportSettingsTest, PathFollowsTheUsersConfigFolder) {
  EXPECT_EQ(MasterImportSettingsPath("/x/cfg", "/home/u"), "/x/cfg/vantrix/master-import.ini");
  EXPECT_EQ(MasterImportSettingsPath(nullptr, "/home/u"), "/home/u/.config/vantrix/master-import.ini");
  EXPECT_EQ(MasterImportSettingsPath("relative", "/home/u"), "/home/u/.config/vantrix/master-import.ini");
  EXPECT_TRUE(MasterImportSettingsPath(nullptr, nullptr).empty());
}

TEST(MasterImportSettingsTest, SavedFieldsComeBackAndOnlyTheUserMayReadThem) {
  TempFolder temp;
  const fs::path path = temp.Path() / "cfg" / "vantrix" / "master-import.ini";
  MasterImportSettings settings;
  settings.address = "127.0.0.1:27011";
  settings.region = 0x03;
  settings.filter = "\\gamedir\\cstrike\\empty\\1";
  settings.limit = 250;
  settings.apiKey = "KEY\nInjected=1";
  ASSERT_TRUE(SaveMasterImportSettings(path, settings));

  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(path.parent_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  MasterImportSettings loaded = LoadMasterImportSettings(path);
  EXPECT_EQ(loaded.apiKey, "KEY Injected=1");  // a line break cannot add a key
  loaded.apiKey = settings.apiKey;
  EXPECT_EQ(loaded, settings);

  // A file that was readable by others is tightened when it is saved again.
  chmod(path.c_str(), 0644);
  ASSERT_TRUE(SaveMasterImportSettings(path, settings));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(MasterImportSettingsTest, BadOrMissingValuesKeepTheDefaults) {
  EXPECT_EQ(LoadMasterImportSettings("/nonexistent/vantrix/master-import.ini"), MasterImportSettings{});
  const MasterImportSettings parsed =
      ParseMasterImportSettings("Region=256\r\nLimit=0\nAddress=\nFilter=\\a\\b\nOther=1\nnoequals\n");
  EXPECT_EQ(parsed.region, kRegionEverywhere);
  EXPECT_EQ(parsed.limit, MasterImportSettings::kDefaultLimit);
  EXPECT_EQ(parsed.address, kDefaultMasterAddress);
  EXPECT_EQ(parsed.filter, "\\a\\b");
}

class CountingObserver final : public TableObserver {
 public:
  void RowsInserted(int, int) override { ++inserts; }
  void RowsRemoved(int, int) override {}
  void CellChanged(int, int) override {}
  void Reset() override { ++resets; }
  int inserts = 0;
  int resets = 0;
};

TEST(MasterRowsTest, AppendsNewAddressesOnlyInOneBracket) {
  ServerTable table;
  table.AppendRow(ServerRow::Empty("10.0.0.1:27015"));
  table.AppendRow(std::string("host:1"));
  CountingObserver observer;
  table.SetObserver(&observer);

  const std::vector<MasterAddress> addresses{
      {0x0A000002, 27015}, {0x0A000001, 27015}, {0x0A000003, 27015}, {0x0A000002, 27015}};
  EXPECT_EQ(AppendMasterRows(table, addresses), 2u);
  ASSERT_EQ(table.Count(), 4);
  EXPECT_EQ(table.Address(2), "10.0.0.2:27015");
  EXPECT_EQ(table.Address(3), "10.0.0.3:27015");
  for (int cell = 0; cell < kCellCount; ++cell) EXPECT_EQ(table.Cell(3, cell), " ");
  EXPECT_EQ(table.Cell(0, 0), "");  // rows already there are left alone
  EXPECT_EQ(observer.inserts, 0);
  EXPECT_EQ(observer.resets, 1);
  EXPECT_FALSE(table.InUpdate());
}

}  // namespace
}  // namespace vantrix
