#include "core/watch/WatchSettings.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TestData.h"

namespace vantrix {
namespace {

using namespace std::string_view_literals;

TEST(WatchSettingsTest, RoundTripsAndKeepsOtherLinesOut) {
  WatchSettings settings;
  settings.autoRefreshSeconds = 300;
  EXPECT_TRUE(settings.Toggle("10.0.0.5:27015"));
  EXPECT_TRUE(settings.Toggle("b:1"));
  EXPECT_FALSE(settings.Toggle("10.0.0.5:27015"));
  settings.Toggle("10.0.0.5:27015");
  settings.buddies = {"Alice", "b=c"};
  EXPECT_EQ(ParseWatchSettings(FormatWatchSettings(settings)), settings);
  EXPECT_TRUE(settings.IsWatched("b:1"));
  EXPECT_FALSE(settings.IsWatched("B:1"));
}

// Damaged content gives what it still holds, and nothing it should not.
TEST(WatchSettingsTest, GarbageGivesDefaultsLineByLine) {
  const struct {
    std::string_view text;
    WatchSettings expected;
  } cases[] = {
      {""sv, {}},
      {"\x00\xFF\x1A garbage\n=\n==\nWatch=\nBuddy=\n"sv, {}},
      {"AutoRefresh=31\nAutoRefresh=-1\nAutoRefresh=x\n"sv, {}},
      {"AutoRefresh=60\r\nWatch=a:1\r\nWatch=a:1\nBuddy=Z\nwatch=b:2\n"sv, {{"a:1"}, 60, {"Z"}}},
  };
  for (const auto& testCase : cases)
    EXPECT_EQ(ParseWatchSettings(testCase.text), testCase.expected) << testCase.text;
}

TEST(WatchSettingsTest, UnreadableFilesGiveDefaultsAndAreLeftAlone) {
  const test::TempDir temp;
  const std::filesystem::path& folder = temp.Path();
  const std::filesystem::path asFolder = folder / "folder" / "watch.ini";
  std::filesystem::create_directories(asFolder);
  EXPECT_EQ(LoadWatchSettings(asFolder), WatchSettings{});
  EXPECT_TRUE(std::filesystem::is_directory(asFolder));

  const std::filesystem::path fifo = folder / "fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadWatchSettings(fifo), WatchSettings{});  // does not wait for a writer

  EXPECT_EQ(LoadWatchSettings(folder / "missing" / "watch.ini"), WatchSettings{});
  EXPECT_EQ(LoadWatchSettings({}), WatchSettings{});

  const std::filesystem::path path = folder / "made" / "watch.ini";
  WatchSettings settings;
  settings.addresses = {"a:1"};
  ASSERT_TRUE(SaveWatchSettings(path, settings));
  EXPECT_EQ(LoadWatchSettings(path), settings);
  EXPECT_FALSE(SaveWatchSettings(asFolder, settings));  // a folder is not replaced
  EXPECT_TRUE(std::filesystem::is_directory(asFolder));
}

TEST(WatchSettingsTest, PathFollowsXdgConfigHome) {
  EXPECT_EQ(WatchSettingsPath("/x", "/home/u"), std::filesystem::path("/x/vantrix/watch.ini"));
  EXPECT_EQ(WatchSettingsPath("rel", "/home/u"), std::filesystem::path("/home/u/.config/vantrix/watch.ini"));
  EXPECT_EQ(WatchSettingsPath(nullptr, nullptr), std::filesystem::path());
}

}  // namespace
}  // namespace vantrix
