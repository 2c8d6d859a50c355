// Files that are not what a list, settings or export file should be: FIFOs, devices,
// paths that lead nowhere, files that vanish between being chosen and being opened, and
// files that vanish while they are read. None of it may hang, crash or lose a file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/ListFileLines.h"
#include "core/io/TextFile.h"
#include "core/lists/Exports.h"
#include "core/lists/Imports.h"
#include "core/lists/ListCommands.h"
#include "core/lists/ListFile.h"
#include "core/lists/ListFileTestHelpers.h"
#include "core/settings/ConfigFile.h"
#include "core/settings/SettingsText.h"
#include "support/FifoUnblocker.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using test::AppendTexts;
using test::RowsOf;
using test::RowTexts;
using test::Slurp;
using test::Spit;
using test::TempDir;

bool Blocked(const fs::path& fifo, const std::function<void()>& call) {
  return test::BlockedOnFifo(fifo, call);
}

fs::path MakeFifo(const TempDir& dir, const std::string& name) {
  const fs::path path = dir / name;
  if (!test::MakeFifo(path)) ADD_FAILURE() << "mkfifo " << path;
  return path;
}

struct Window {
  ServerTable table;
  StatusLine status;
  void Fill(int rows) {
    table.Clear();
    for (int i = 0; i < rows; ++i) table.AppendRow("old" + std::to_string(i));
    status.SetStatus(3, "before");
  }
};

std::vector<RowTexts> OldRows(int count) {
  Window w;
  w.Fill(count);
  return RowsOf(w.table);
}

class FaultsSpecialFiles : public testing::Test {
 protected:
  // A write to a FIFO whose reader left must fail with EPIPE, not end the test program.
  void SetUp() override { m_oldPipe = std::signal(SIGPIPE, SIG_IGN); }
  void TearDown() override { std::signal(SIGPIPE, m_oldPipe); }

 private:
  void (*m_oldPipe)(int) = SIG_DFL;
};

TEST_F(FaultsSpecialFiles, EveryReaderRefusesAFifoAtOnceInsteadOfWaitingForAWriter) {
  TempDir dir;
  const fs::path fifo = MakeFifo(dir, "servers.txt");
  const std::string path = fifo.string();
  const std::string cannotOpen = "Error: Cannot open file (" + path + ")";

  for (int filter : {1, 2, 3}) {
    Window w;
    w.Fill(2);
    bool opened = true;
    EXPECT_FALSE(Blocked(fifo, [&] { opened = OpenList(w.table, w.status, path, filter, nullptr); }))
        << "Open, filter " << filter;
    EXPECT_FALSE(opened);
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_EQ(w.status.Message(), cannotOpen);

    w.Fill(2);
    EXPECT_FALSE(Blocked(fifo, [&] { opened = ImportList(w.table, w.status, path, filter); }))
        << "Import, filter " << filter;
    EXPECT_FALSE(opened);
    EXPECT_EQ(RowsOf(w.table), OldRows(2));
    EXPECT_EQ(w.status.Message(), cannotOpen);
  }

  Window w;
  const std::vector<std::string> arguments{(test::DataDir() / "lists/plain.txt").string(), path,
                                           (test::DataDir() / "lists/records.vnx").string()};
  int loaded = -1;
  EXPECT_FALSE(Blocked(fifo, [&] { loaded = LoadStartupFiles(w.table, w.status, arguments); }));
  EXPECT_EQ(loaded, 1);  // loading stops at the FIFO, the first file's rows stay
  EXPECT_EQ(w.status.Message(), cannotOpen);
  EXPECT_GT(w.table.Count(), 0);
  EXPECT_FALSE(w.table.InUpdate());

  w.Fill(1);
  bool opened = true;
  EXPECT_FALSE(Blocked(fifo, [&] { opened = ImportOrbisk(w.table, w.status, path); }));
  EXPECT_FALSE(opened);
  EXPECT_EQ(w.status.Message(), "File locked: " + path);
  EXPECT_FALSE(Blocked(fifo, [&] { opened = ImportTrelvanox(w.table, w.status, path); }));
  EXPECT_FALSE(opened);
  EXPECT_EQ(w.status.Message(), "File is locked: " + path);
  EXPECT_EQ(RowsOf(w.table), OldRows(1));
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(FaultsSpecialFiles, AFifoInPlaceOfConfigIniIsReportedAndLeftAlone) {
  TempDir dir;
  const fs::path fifo = MakeFifo(dir, "config.ini");
  Settings settings;
  settings.udpDelay = "77";
  const Settings before = settings;
  bool threw = false;
  EXPECT_FALSE(Blocked(fifo, [&] {
    try {
      ConfigFile(fifo).LoadSettings(settings);
    } catch (const FileReadError& error) {
      threw = true;
      EXPECT_NE(std::string(error.what()).find(fifo.string()), std::string::npos) << error.what();
    }
  }));
  EXPECT_TRUE(threw) << "a FIFO is neither a settings file nor a missing one";
  EXPECT_EQ(settings, before);
  EXPECT_TRUE(fs::is_fifo(fifo)) << "the defaults must not replace what holds the place of the file";
}

TEST_F(FaultsSpecialFiles, WritingToAFifoNeverWaitsForAReaderAndNeverReplacesIt) {
  TempDir dir;
  const fs::path fifo = MakeFifo(dir, "_list.txt");
  ServerTable table;
  AppendTexts(table, {"10.0.0.1:27015", "Alpha", "de_dust", "12", "3/16", "eu", "+", "D", "L", " "});
  table.AppendRow("10.0.0.2:27016");
  StatusLine status;
  status.SetStatus(3, "before");

  // No reader: the export fails as a file that cannot be created, at once.
  bool threw = false;
  EXPECT_FALSE(Blocked(fifo, [&] {
    try {
      ExportList(table, ExportFormat::kIpName, fifo);
    } catch (const FileWriteError&) {
      threw = true;
    }
  }));
  EXPECT_TRUE(threw);

  bool saved = true;
  EXPECT_FALSE(Blocked(fifo, [&] { saved = SaveList(table, status, fifo.string(), 1); }));
  EXPECT_FALSE(saved);
  EXPECT_EQ(status.Message(), "Error: File is locked (" + fifo.string() + ")");
  EXPECT_TRUE(fs::is_fifo(fifo));

  status.SetStatus(3, "before");
  EXPECT_FALSE(Blocked(fifo, [&] { saved = ConfigFile(fifo).SaveSettings(Settings{}, status); }));
  EXPECT_FALSE(saved);
  EXPECT_EQ(status.Message(), kCannotSaveConfigText);
  EXPECT_TRUE(fs::is_fifo(fifo));

  // With a reader the bytes go down the FIFO, and it stays a FIFO.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  auto drain = [reader] {
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;)
      got.append(buffer, static_cast<size_t>(n));
    return got;
  };
  EXPECT_FALSE(Blocked(fifo, [&] { saved = SaveList(table, status, fifo.string(), 1); }));
  EXPECT_TRUE(saved);
  EXPECT_EQ(drain(), FormatRecordLayout(table));
  EXPECT_FALSE(Blocked(fifo, [&] { ExportList(table, ExportFormat::kIpNamePlayers, fifo); }));
  EXPECT_EQ(drain(), FormatExport(table, ExportFormat::kIpNamePlayers));
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "no temporary file left";
}

TEST_F(FaultsSpecialFiles, ADeviceIsNotAListFile) {
  // /dev/null reads as empty and accepts anything; it is safe to try as any of the files.
  const std::string device = "/dev/null";
  Window w;
  w.Fill(2);
  EXPECT_FALSE(OpenList(w.table, w.status, device, 2, nullptr));
  EXPECT_EQ(w.status.Message(), "Error: Cannot open file (/dev/null)");
  w.Fill(2);
  EXPECT_FALSE(ImportList(w.table, w.status, device, 1));
  EXPECT_EQ(RowsOf(w.table), OldRows(2));
  EXPECT_EQ(w.status.Message(), "Error: Cannot open file (/dev/null)");
  Settings settings;
  EXPECT_THROW(ConfigFile(device).LoadSettings(settings), FileReadError);
  EXPECT_EQ(settings, Settings{});
}

TEST_F(FaultsSpecialFiles, PathsThatLeadNowhereCannotBeOpened) {
  TempDir dir;
  Spit(dir / "plain", "10.0.0.1:27015\r\n");
  fs::create_symlink(dir / "loop-b", dir / "loop-a");
  fs::create_symlink(dir / "loop-a", dir / "loop-b");
  fs::create_symlink(dir / "nowhere", dir / "dangling.txt");
  const std::vector<std::string> paths{
      "",                                      // no name at all
      (dir / "plain" / "under.txt").string(),  // a file used as a folder
      (dir / "loop-a").string(),               // a link loop
      (dir / "dangling.txt").string(),         // a link to nothing
      (dir / std::string(300, 'n')).string(),  // a name longer than the system takes
  };
  for (const std::string& path : paths) {
    Window w;
    w.Fill(3);
    EXPECT_FALSE(OpenList(w.table, w.status, path, 1, nullptr)) << path;
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + path + ")");
    w.Fill(3);
    EXPECT_FALSE(ImportList(w.table, w.status, path, 2)) << path;
    EXPECT_EQ(RowsOf(w.table), OldRows(3));
    EXPECT_FALSE(ImportOrbisk(w.table, w.status, path)) << path;
    EXPECT_EQ(w.status.Message(), "File locked: " + path);
    EXPECT_EQ(RowsOf(w.table), OldRows(3));
  }

  // Saving where no file can be: reported, nothing written.
  Window w;
  w.Fill(1);
  for (const std::string& path : {paths[1], paths[4]}) {
    EXPECT_FALSE(SaveList(w.table, w.status, path, 1)) << path;
    EXPECT_EQ(w.status.Message(), "Error: File is locked (" + path + ")");
  }
  EXPECT_EQ(Slurp(dir / "plain"), "10.0.0.1:27015\r\n");
  // Saving through a link to nothing creates the file it names and keeps the link.
  EXPECT_TRUE(SaveList(w.table, w.status, paths[3], 2));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
  EXPECT_EQ(Slurp(dir / "nowhere"), "old0\r\n");

  // Without the right to read (which does not stop root, so only tried without it).
  if (::geteuid() != 0) {
    const fs::path locked = dir / "locked.txt";
    Spit(locked, "10.0.0.1:27015\r\n");
    fs::permissions(locked, fs::perms::none);
    Window reader;
    reader.Fill(1);
    EXPECT_FALSE(ImportList(reader.table, reader.status, locked.string(), 2));
    EXPECT_EQ(reader.status.Message(), "Error: Cannot open file (" + locked.string() + ")");
    Settings lockedSettings;
    EXPECT_THROW(ConfigFile(locked).LoadSettings(lockedSettings), FileReadError);
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(Slurp(locked), "10.0.0.1:27015\r\n");  // reported, not replaced by the defaults
  }

  // A settings file behind a link loop is reported, and the loop is not replaced.
  Settings settings;
  EXPECT_THROW(ConfigFile(dir / "loop-a").LoadSettings(settings), FileReadError);
  EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
  EXPECT_EQ(settings, Settings{});
}

// A write-protected list or config.ini in a folder that would take a new file: Save must
// not put a new file in its place. Root may write anything, so only tried without it.
TEST_F(FaultsSpecialFiles, WriteProtectedFilesAreReportedNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a write-protected file";
  TempDir dir;
  const fs::path list = dir / "kept.vnx";
  const fs::path config = dir / "config.ini";
  Spit(list, "10.0.0.1:27015\r\n");
  Spit(config, "UDPDelay=7\r\n");
  for (const fs::path& file : {list, config}) fs::permissions(file, fs::perms::owner_read);

  Window w;
  w.Fill(2);
  EXPECT_FALSE(SaveList(w.table, w.status, list.string(), 1));
  EXPECT_EQ(w.status.Message(), "Error: File is locked (" + list.string() + ")");
  EXPECT_FALSE(ConfigFile(config).SaveSettings(Settings{}, w.status));
  EXPECT_EQ(w.status.Message(), kCannotSaveConfigText);

  for (const fs::path& file : {list, config}) {
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read) << file;
    fs::permissions(file, fs::perms::owner_all);
  }
  EXPECT_EQ(Slurp(list), "10.0.0.1:27015\r\n");
  EXPECT_EQ(Slurp(config), "UDPDelay=7\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST_F(FaultsSpecialFiles, AFileThatVanishesAfterItWasChosenIsReportedAsUnopenable) {
  TempDir dir;
  const fs::path file = dir / "servers.vnx";
  const std::string path = file.string();

  // Chooses the file, then deletes it before the command can open it.
  class VanishingChooser final : public FileChooser {
   public:
    VanishingChooser(fs::path file, int filter) : m_file(std::move(file)), m_filter(filter) {}
    std::optional<FileChoice> Choose(const FileDialogInfo&, int) override {
      ++chosen;
      fs::remove(m_file);
      return FileChoice{m_file.string(), m_filter};
    }
    int chosen = 0;

   private:
    fs::path m_file;
    int m_filter;
  };

  for (int filter : {1, 2}) {
    Window w;
    w.Fill(2);
    Spit(file, "10.0.0.9:27015\r\n");
    VanishingChooser chooser(file, filter);
    FileDialogState openDialog{&kOpenDialog1};
    OpenListCommand(w.table, w.status, chooser, openDialog, nullptr);
    EXPECT_EQ(chooser.chosen, 1);
    EXPECT_EQ(w.table.Count(), 0);
    EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + path + ")");

    w.Fill(2);
    Spit(file, "10.0.0.9:27015\r\n");
    ImportListCommand(w.table, w.status, chooser, openDialog);
    EXPECT_EQ(RowsOf(w.table), OldRows(2));
    EXPECT_EQ(w.status.Message(), "Error: Cannot open file (" + path + ")");

    Spit(file, "[Favorites]\r\n10.0.0.9 port=27015\r\n");
    FileDialogState orbisk{&kOpenDialog2};
    ImportOrbiskCommand(w.table, w.status, chooser, orbisk);
    EXPECT_EQ(w.status.Message(), "File locked: " + path);
    Spit(file, "server=10.0.0.9:27015\r\n");
    FileDialogState trelvanox{&kOpenDialog3};
    ImportTrelvanoxCommand(w.table, w.status, chooser, trelvanox);
    EXPECT_EQ(w.status.Message(), "File is locked: " + path);
    EXPECT_EQ(RowsOf(w.table), OldRows(2));
  }

  // The folder of a save target vanishes: nothing is written anywhere.
  const fs::path folder = dir / "gone";
  fs::create_directory(folder);
  Window w;
  w.Fill(2);
  class FolderVanishingChooser final : public FileChooser {
   public:
    explicit FolderVanishingChooser(fs::path folder) : m_folder(std::move(folder)) {}
    std::optional<FileChoice> Choose(const FileDialogInfo&, int) override {
      fs::remove_all(m_folder);
      return FileChoice{(m_folder / "list.vnx").string(), 1};
    }

   private:
    fs::path m_folder;
  } folderChooser(folder);
  FileDialogState saveDialog{&kSaveDialog1};
  SaveListCommand(w.table, w.status, folderChooser, saveDialog);
  EXPECT_EQ(w.status.Message(), "Error: File is locked (" + (folder / "list.vnx").string() + ")");
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(FaultsSpecialFiles, AFileThatVanishesWhileItIsReadIsStillReadWhole) {
  TempDir dir;
  const fs::path file = dir / "servers.vnx";
  ServerTable written;
  for (int i = 0; i < 3000; ++i) {
    AppendTexts(written, {"10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ":27015",
                          "name " + std::to_string(i), "map", "5", "1/2", "c", "+", "L", "D", " "});
  }
  Spit(file, FormatRecordLayout(written));
  ASSERT_GT(fs::file_size(file), 2 * ListFileLines::kDefaultChunk);  // read in several chunks

  // Open yields once after the file is opened and before it is read: delete it there, and
  // put another file in its place.
  Window w;
  int yields = 0;
  EXPECT_TRUE(OpenList(w.table, w.status, file.string(), 1, [&] {
    ++yields;
    fs::remove(file);
    Spit(file, "10.9.9.9:1\r\n");
  }));
  EXPECT_EQ(yields, 1);
  EXPECT_EQ(RowsOf(w.table), RowsOf(written));
  EXPECT_EQ(w.status.Message(), "Idle...");
  EXPECT_FALSE(w.table.InUpdate());
}

}  // namespace
}  // namespace vantrix
