#include "fake/FakeMaster.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"
#include "fake/MasterThrottle.h"

namespace vantrix::fake {
namespace {

std::vector<MasterAddress> List(std::size_t count) {
  std::vector<MasterAddress> list;
  for (std::size_t i = 0; i < count; ++i) list.push_back({0x7F000001, static_cast<std::uint16_t>(28000 + i)});
  return list;
}

MasterPage Ask(FakeMaster& master, std::string_view seed) {
  const auto page = master.Answer(BuildMasterRequest(kRegionEverywhere, seed, ""));
  return page ? DecodeMasterPage(*page) : MasterPage{MasterPage::Error::kWrongHeader, {}, false, 0};
}

TEST(FakeMasterTest, PagesOf231FollowTheSeedAndEndWithTheMarker) {
  const auto list = List(461);
  FakeMaster master(list);
  const MasterPage first = Ask(master, kFirstSeed);
  ASSERT_EQ(first.addresses.size(), 231u);
  EXPECT_FALSE(first.ended);
  EXPECT_EQ(first.addresses.front(), list[0]);
  const MasterPage second = Ask(master, list[230].Text());
  ASSERT_EQ(second.addresses.size(), 230u);  // the marker takes the page's last place
  EXPECT_TRUE(second.ended);
  EXPECT_EQ(second.addresses.front(), list[231]);
  EXPECT_EQ(second.addresses.back(), list[460]);

  // A list that fills its last page exactly leaves the marker to a page of its own.
  FakeMaster exact(List(231));
  EXPECT_FALSE(Ask(exact, kFirstSeed).ended);
  const MasterPage marker = Ask(exact, List(231).back().Text());
  EXPECT_TRUE(marker.ended);
  EXPECT_TRUE(marker.addresses.empty());
}

TEST(FakeMasterTest, FaultsOnRequest) {
  MasterFaults faults;
  faults.dropPage = 0;
  faults.garbagePage = 1;
  FakeMaster master(List(300), faults);
  EXPECT_FALSE(master.Answer(BuildMasterRequest(0, kFirstSeed, "")));  // dropped once
  EXPECT_TRUE(master.Answer(BuildMasterRequest(0, kFirstSeed, "")));
  EXPECT_EQ(Ask(master, List(300)[230].Text()).error, MasterPage::Error::kWrongHeader);
  EXPECT_FALSE(
      master.Answer("\x31\xFF"
                    "0.0.0.0:0"));  // no zero bytes: no request
  EXPECT_FALSE(master.Answer("TSource Engine Query"));
}

TEST(MasterThrottleTest, AFewQuickRequestsThenOneAnInterval) {
  MasterThrottle throttle(2000);
  for (int i = 0; i < MasterThrottle::kBurst; ++i) EXPECT_TRUE(throttle.Admit(1, 100 + i));
  EXPECT_FALSE(throttle.Admit(1, 1000));
  EXPECT_TRUE(throttle.Admit(2, 1000));  // another client
  EXPECT_TRUE(throttle.Admit(1, 102 + 2000));
  EXPECT_FALSE(throttle.Admit(1, 102 + 3999));
  MasterThrottle open(0);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(open.Admit(1, 0));
}

}  // namespace
}  // namespace vantrix::fake
