#include "core/watch/WatchTransitions.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/watch/WatchTexts.h"

namespace vantrix {
namespace {

constexpr const char* kAddress = "10.0.0.5:27015";

WatchObservation Up(int players, int maxPlayers, std::string map = "de_dust2",
                    std::optional<std::vector<std::string>> names = std::nullopt) {
  WatchObservation observation;
  observation.answered = true;
  observation.name = "Box";
  observation.map = std::move(map);
  observation.players = players;
  observation.maxPlayers = maxPlayers;
  observation.playerNames = std::move(names);
  return observation;
}

WatchObservation Down() {
  return {};
}

struct Step {
  WatchObservation observation;
  std::uint64_t atMs;
  std::vector<std::string> lines;  // SUMMARY: BODY
};

struct TransitionCase {
  const char* name;
  std::vector<std::string> buddies;
  std::vector<Step> steps;
};

void PrintTo(const TransitionCase& transitionCase, std::ostream* out) {
  *out << transitionCase.name;
}

class WatchTransitionsTest : public testing::TestWithParam<TransitionCase> {};

TEST_P(WatchTransitionsTest, TellsEachChangeOnce) {
  const TransitionCase& transitionCase = GetParam();
  WatchTransitions transitions;
  transitions.SetBuddies(transitionCase.buddies);
  for (std::size_t i = 0; i < transitionCase.steps.size(); ++i) {
    const Step& step = transitionCase.steps[i];
    std::vector<std::string> lines;
    for (const WatchEvent& event : transitions.Observe(kAddress, step.observation, step.atMs)) {
      EXPECT_EQ(event.address, kAddress);
      lines.push_back(WatchEventLine(event.summary, event.body));
    }
    EXPECT_EQ(lines, step.lines) << "step " << i;
  }
}

const std::vector<std::string> kNone;
const std::vector<std::string> kBuddy{"Alice"};

INSTANTIATE_TEST_SUITE_P(
    Cases, WatchTransitionsTest,
    testing::Values(
        TransitionCase{"FirstObservationOnlyRecords", kBuddy, {{Up(8, 8, "x", {{"alice"}}), 0, {}}}},
        TransitionCase{
            "Online",
            kNone,
            {{Down(), 0, {}}, {Up(3, 16), 1000, {"Server online: Box (10.0.0.5:27015): 3/16 players"}}}},
        TransitionCase{"OfflineNamesTheLastName",
                       kNone,
                       {{Up(3, 16), 0, {}},
                        {Down(), 1000, {"Server offline: Box (10.0.0.5:27015)"}},
                        {Down(), 2000, {}}}},
        TransitionCase{"PlayersJoinedFromNone",
                       kNone,
                       {{Up(0, 16), 0, {}},
                        {Up(2, 16), 1000, {"Players joined: Box (10.0.0.5:27015): 2/16 players"}},
                        {Up(5, 16), 2000, {}}}},
        TransitionCase{"SlotFreeFromFull",
                       kNone,
                       {{Up(16, 16), 0, {}},
                        {Up(15, 16), 1000, {"Slot free: Box (10.0.0.5:27015): 15/16 players"}},
                        {Up(14, 16), 2000, {}}}},
        TransitionCase{"MapChangedAndPlayersJoinedTogether",
                       kNone,
                       {{Up(0, 8, "a"), 0, {}},
                        {Up(1, 8, "b"),
                         1000,
                         {"Players joined: Box (10.0.0.5:27015): 1/8 players",
                          "Map changed: Box (10.0.0.5:27015): b"}}}},
        TransitionCase{"RateLimitedPerServerAndSummary",
                       kNone,
                       {{Down(), 0, {}},
                        {Up(1, 8), 1000, {"Server online: Box (10.0.0.5:27015): 1/8 players"}},
                        {Down(), 2000, {"Server offline: Box (10.0.0.5:27015)"}},
                        {Up(1, 8), 3000, {}},
                        {Down(), 4000, {}},
                        {Up(1, 8),
                         1000 + WatchTransitions::kRepeatMs,
                         {"Server online: Box (10.0.0.5:27015): 1/8 players"}}}},
        TransitionCase{
            "BuddyMatchesAfterAsciiFolding",
            kBuddy,
            {{Up(1, 8, "m", {{"bob"}}), 0, {}},
             {Up(2, 8, "m", {{"bob", "ALICE"}}), 1000, {"Buddy online: Box (10.0.0.5:27015): ALICE"}},
             {Up(2, 8, "m", std::nullopt), 2000, {}},  // no player list: still there
             {Up(2, 8, "m", {{"bob", "alice"}}), 3000, {}}}},
        TransitionCase{"BuddyFoldsAsciiOnly",
                       {{"\xC9mile"}},
                       {{Up(1, 8, "m", {{}}), 0, {}},
                        {Up(1, 8, "m", {{"\xE9mile", "\xC9MILE"}}),
                         1000,
                         {"Buddy online: Box (10.0.0.5:27015): \xC9MILE"}}}},
        TransitionCase{"BuddyComingBackAfterFiveMinutes",
                       kBuddy,
                       {{Up(1, 8, "m", {{"alice"}}), 0, {}},
                        {Up(1, 8, "m", {{"x"}}), 1000, {}},
                        {Up(1, 8, "m", {{"alice"}}), 2000, {"Buddy online: Box (10.0.0.5:27015): alice"}},
                        {Up(1, 8, "m", {{"x"}}), 3000, {}},
                        {Up(1, 8, "m", {{"alice"}}), 4000, {}},
                        {Up(1, 8, "m", {{"x"}}), 5000, {}},
                        {Up(1, 8, "m", {{"alice"}}),
                         2000 + WatchTransitions::kRepeatMs,
                         {"Buddy online: Box (10.0.0.5:27015): alice"}}}},
        TransitionCase{
            "TwoBuddiesAreTwoEvents",
            std::vector<std::string>{"a", "b"},
            {{Up(0, 8, "m", {std::vector<std::string>{}}), 0, {}},
             {Up(2, 8, "m", {{"A", "B"}}),
              1000,
              {"Players joined: Box (10.0.0.5:27015): 2/8 players", "Buddy online: Box (10.0.0.5:27015): A",
               "Buddy online: Box (10.0.0.5:27015): B"}}}}),
    [](const testing::TestParamInfo<TransitionCase>& param) { return std::string(param.param.name); });

TEST(WatchTransitionsForgetTest, WatchingAgainStartsAfresh) {
  WatchTransitions transitions;
  transitions.Observe(kAddress, Down(), 0);
  transitions.Forget(kAddress);
  EXPECT_TRUE(transitions.Observe(kAddress, Up(1, 8), 1000).empty());
  EXPECT_EQ(transitions.Servers(), 1u);
}

TEST(WatchTextsTest, DescriptionsAndMarkup) {
  EXPECT_EQ(WatchedDescription("Germany (DE)", true), "Germany (DE), watched");
  EXPECT_EQ(WatchedDescription("", true), "watched");
  EXPECT_EQ(WatchedDescription("", false), "");
  EXPECT_EQ(WatchedDescription("Germany (DE)", false), "Germany (DE)");
  EXPECT_EQ(EscapeNotificationMarkup("<b>A&B</b>"), "&lt;b&gt;A&amp;B&lt;/b&gt;");
}

}  // namespace
}  // namespace vantrix
