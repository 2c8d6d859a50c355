#include <gtest/gtest.h>

#include "core/settings/SettingsText.h"

namespace vantrix {
namespace {

TEST(ConfigJoinCommand, HasALineOnlyAwayFromTheDefaultAfterEveryOtherAndReadsBack) {
  const std::string nine = DefaultSettingsText();
  Settings settings;
  EXPECT_EQ(SettingsToText(settings), nine);

  settings.joinCommand = "game -connect \"%a\" = %w";
  EXPECT_EQ(SettingsToText(settings), nine + "JoinCommand=game -connect \"%a\" = %w\r\n");
  settings.queryProtocol = QueryProtocol::kCurrent;
  const std::string eleven = SettingsToText(settings);
  EXPECT_EQ(eleven, nine + "QueryProtocol=current\r\nJoinCommand=game -connect \"%a\" = %w\r\n");

  Settings loaded;
  ParseSettingsText(eleven, loaded);
  EXPECT_EQ(loaded, settings);
  // A file without the line holds the default, as Save writes it; the key ignores case.
  ParseSettingsText(nine, loaded);
  EXPECT_EQ(loaded.joinCommand, kDefaultJoinCommand);
  ParseSettingsText("joincommand=run %h\r\n", loaded);
  EXPECT_EQ(loaded.joinCommand, "run %h");
}

}  // namespace
}  // namespace vantrix
