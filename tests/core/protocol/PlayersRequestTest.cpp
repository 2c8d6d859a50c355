#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/protocol/PlayersWindowState.h"
#include "core/protocol/RequestTarget.h"
#include "core/util/StrToInt.h"

namespace vantrix {
namespace {

std::string OnePlayerReply(const std::string& name) {
  return std::string("\xFF\xFF\xFF\xFF\x44\x01\x00", 7) + name +
         std::string("\x00\x03\x00\x00\x00\x00\x00\x80\x3F", 9);
}

std::string ConvertMessage(std::string_view text) {
  try {
    StrToInt(text);
  } catch (const ConversionError& e) {
    return e.what();
  }
  return "converted";
}

TEST(StrToInt, AcceptsOnlyASignAndDecimalDigitsInRange) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("27015"), 27015);
  EXPECT_EQ(StrToInt("-12"), -12);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "-", "+", " 1", "1 ", "12a", "0x10", "1.5", "2147483648", "-2147483649",
                          "99999999999999999999", "--1", "+-1", " "}) {
    EXPECT_THROW(StrToInt(bad), ConversionError) << bad;
  }
  EXPECT_EQ(ConvertMessage("abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(ConvertMessage(""), "'' is not a valid integer value");
}

TEST(RequestTarget, SplitsAtTheFirstColon) {
  EXPECT_EQ(SplitRequestAddress("127.0.0.1:27016"), (RequestTarget{"127.0.0.1", 27016}));
  EXPECT_EQ(SplitRequestAddress("game.example:1"), (RequestTarget{"game.example", 1}));
  EXPECT_EQ(SplitRequestAddress(":65535"), (RequestTarget{"", 65535}));
  EXPECT_FALSE(SplitRequestAddress("127.0.0.1"));
  EXPECT_FALSE(SplitRequestAddress(""));
  EXPECT_THROW(SplitRequestAddress("a:b:c"), ConversionError);
  EXPECT_THROW(SplitRequestAddress("host:"), ConversionError);
  EXPECT_THROW(SplitRequestAddress("host: 27015"), ConversionError);
  // Out of the port range: refused, not wrapped to another port.
  EXPECT_THROW(SplitRequestAddress("host:65536"), ConversionError);
  EXPECT_THROW(SplitRequestAddress("host:-1"), ConversionError);
}

TEST(PlayersWindow, RequestClearsRemembersAndGivesTheTarget) {
  PlayersWindowState players;
  players.Receive(OnePlayerReply("Early"));
  ASSERT_EQ(players.Lines().size(), 1u);

  EXPECT_EQ(players.RequestPlayers("127.0.0.1:27020"), (RequestTarget{"127.0.0.1", 27020}));
  EXPECT_TRUE(players.Lines().empty());
  EXPECT_EQ(players.CurrentAddress(), "127.0.0.1:27020");

  // Without ":" nothing is sent, yet the address is remembered.
  EXPECT_FALSE(players.RequestPlayers("no-port-here"));
  EXPECT_EQ(players.CurrentAddress(), "no-port-here");
  EXPECT_FALSE(players.RequestPlayers(std::string(players.CurrentAddress())));
}

TEST(PlayersWindow, RefreshAsksTheServerOfTheLastRequest) {
  PlayersWindowState players;
  players.RequestPlayers("127.0.0.1:27016");
  players.RequestPlayers("127.0.0.2:27017");
  players.Receive(OnePlayerReply("Zed"));
  EXPECT_EQ(players.RequestPlayers(std::string(players.CurrentAddress())),
            (RequestTarget{"127.0.0.2", 27017}));
  EXPECT_TRUE(players.Lines().empty());
  EXPECT_EQ(players.CurrentAddress(), "127.0.0.2:27017");
}

TEST(PlayersWindow, BadPortThrowsAfterClearingAndRemembering) {
  PlayersWindowState players;
  players.Receive(OnePlayerReply("Old"));
  try {
    players.RequestPlayers("127.0.0.1:abc");
    ADD_FAILURE() << "no error for a port that is not a number";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_TRUE(players.Lines().empty());
  EXPECT_EQ(players.CurrentAddress(), "127.0.0.1:abc");
}

TEST(PlayersWindow, RepliesFromAnySenderAreAppendedAfterTheRequest) {
  PlayersWindowState players;
  players.RequestPlayers("127.0.0.1:27016");
  EXPECT_EQ(players.Receive(OnePlayerReply("Late")), std::vector<std::string>{"[3] - Late"});
  EXPECT_TRUE(players.Receive(std::string("\xFF\xFF\xFF\xFF\x45\x01", 6)).empty());
  EXPECT_EQ(players.Receive(OnePlayerReply("New")), std::vector<std::string>{"[3] - New"});
  EXPECT_EQ(players.Lines(), (std::vector<std::string>{"[3] - Late", "[3] - New"}));
}

}  // namespace
}  // namespace vantrix
