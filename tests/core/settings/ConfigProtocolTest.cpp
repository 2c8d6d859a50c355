#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/settings/ConfigFile.h"
#include "core/settings/SettingsText.h"
#include "core/settings/SettingsValuesReader.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using test::TempDir;

Settings Parsed(std::string_view text, Settings start = {}) {
  ParseSettingsText(text, start);
  return start;
}

Settings WithProtocol(QueryProtocol protocol) {
  Settings settings;
  settings.queryProtocol = protocol;
  return settings;
}

TEST(ConfigProtocol, OnlyTheCurrentProtocolAddsATenthLine) {
  const std::string nine = DefaultSettingsText();
  EXPECT_EQ(SettingsToText(WithProtocol(QueryProtocol::kOriginal)), nine);
  EXPECT_EQ(SettingsToText(WithProtocol(QueryProtocol::kCurrent)), nine + "QueryProtocol=current\r\n");
}

TEST(ConfigProtocol, TheKeyIsMatchedWithoutRegardToCaseAndOnlyTheTwoValuesCount) {
  const Settings current = WithProtocol(QueryProtocol::kCurrent);
  EXPECT_EQ(Parsed("QueryProtocol=current\r\n").queryProtocol, QueryProtocol::kCurrent);
  EXPECT_EQ(Parsed("qUERYpROTOCOL=current").queryProtocol, QueryProtocol::kCurrent);
  EXPECT_EQ(Parsed("QueryProtocol=original", current).queryProtocol, QueryProtocol::kOriginal);
  for (const char* other :
       {"QueryProtocol=Current", "QueryProtocol=current ", "QueryProtocol=", "QueryProtocol=1"}) {
    EXPECT_EQ(Parsed(other, current).queryProtocol, QueryProtocol::kCurrent) << other;
  }
  EXPECT_EQ(Parsed("QueryProtocol=current\r\nQueryProtocol=original\r\n").queryProtocol,
            QueryProtocol::kOriginal);
  // A file without the line is the original protocol's, as Save writes it.
  EXPECT_EQ(Parsed(DefaultSettingsText(), current).queryProtocol, QueryProtocol::kOriginal);
  for (const char* none : {"Connect=0\r\n", " QueryProtocol=current", "//QueryProtocol=current"})
    EXPECT_EQ(Parsed(none, current).queryProtocol, QueryProtocol::kOriginal) << none;
  // The other nine settings are untouched by the tenth line.
  Settings expected = current;
  EXPECT_EQ(Parsed(DefaultSettingsText() + "QueryProtocol=current\r\n"), expected);
}

TEST(ConfigProtocol, SaveAndLoadTravelBothWays) {
  TempDir dir;
  const ConfigFile file(dir / "config.ini");
  StatusLine status;
  Settings chosen = WithProtocol(QueryProtocol::kCurrent);
  chosen.defaultPort = "27016";
  ASSERT_TRUE(file.SaveSettings(chosen, status));
  Settings loaded;
  ASSERT_EQ(file.LoadSettings(loaded), SettingsLoad::kRead);
  EXPECT_EQ(loaded, chosen);
  EXPECT_EQ(SettingsValuesReader(loaded).Snapshot().queryProtocol, QueryProtocol::kCurrent);

  ASSERT_TRUE(file.SaveSettings(WithProtocol(QueryProtocol::kOriginal), status));
  Settings back = chosen;
  file.LoadSettings(back);
  EXPECT_EQ(back.queryProtocol, QueryProtocol::kOriginal);
  EXPECT_EQ(back.defaultPort, "27015");
}

}  // namespace
}  // namespace vantrix
