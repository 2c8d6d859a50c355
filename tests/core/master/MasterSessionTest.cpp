#include "core/master/MasterSession.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"
#include "fake/FakeMaster.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

std::vector<MasterAddress> Servers(std::size_t count, std::uint32_t firstIp = 0x0A000001) {
  std::vector<MasterAddress> list;
  for (std::size_t i = 0; i < count; ++i)
    list.push_back(
        {firstIp + static_cast<std::uint32_t>(i / 100), static_cast<std::uint16_t>(27015 + i % 100)});
  return list;
}

// Drives a session against a simulated master with a clock that only the loop moves:
// every request is answered at once (or not at all), then the clock jumps to the next
// moment the session asks for. Bounded by `maxSteps`.
struct Drive {
  std::vector<std::string> requests;
  std::vector<std::uint32_t> sentAt;
};

Drive RunAgainst(MasterSession& session, fake::FakeMaster& master, std::uint32_t& now, int maxSteps = 1000) {
  Drive drive;
  for (int step = 0; step < maxSteps && !session.Finished(); ++step) {
    if (auto request = session.Poll(now)) {
      drive.requests.push_back(*request);
      drive.sentAt.push_back(now);
      if (auto page = master.Answer(*request)) session.OnDatagram(*page, now + 20);
      now += 20;
      continue;
    }
    const auto wait = session.WaitMs(now);
    if (!wait) break;
    now += std::max<std::uint32_t>(*wait, 1);
  }
  return drive;
}

std::string SeedOf(const std::string& request) {
  return fake::MasterRequestSeed(request).value_or("<none>");
}

TEST(MasterSessionTest, TwoPagesThenTheEndMarker) {
  const auto list = Servers(300);
  fake::FakeMaster master(list);
  MasterSession session(0x03, "\\appid\\10", 5000);
  std::uint32_t now = 1000;
  EXPECT_EQ(session.StatusText(), "Master server: 0 servers");

  const Drive drive = RunAgainst(session, master, now);

  ASSERT_EQ(drive.requests.size(), 2u);
  EXPECT_EQ(drive.requests[0], BuildMasterRequest(0x03, "0.0.0.0:0", "\\appid\\10"));
  // The second page is asked with the last address of the first (231 entries a page).
  EXPECT_EQ(SeedOf(drive.requests[1]), list[230].Text());
  EXPECT_EQ(session.Outcome(), MasterOutcome::kEnded);
  EXPECT_EQ(session.Addresses(), list);
  EXPECT_EQ(session.Pages(), 2u);
  EXPECT_EQ(session.StatusText(), "Idle...");
  EXPECT_FALSE(session.Poll(now));
  EXPECT_FALSE(session.WaitMs(now));
}

TEST(MasterSessionTest, PagesArePacedAfterTheFirstFew) {
  const auto list = Servers(231 * 6);
  fake::FakeMaster master(list);
  MasterPacing pacing;
  pacing.burstRequests = 3;
  pacing.intervalMs = 2000;
  MasterSession session(kRegionEverywhere, "", 100000, pacing);
  std::uint32_t now = 5000;

  const Drive drive = RunAgainst(session, master, now);

  EXPECT_EQ(session.Outcome(), MasterOutcome::kEnded);
  ASSERT_EQ(drive.requests.size(), 7u);  // six full pages, then the end marker alone
  EXPECT_EQ(session.Addresses().size(), list.size());
  // The first three go out as soon as the page before came; then one every two seconds.
  EXPECT_EQ(drive.sentAt[1] - drive.sentAt[0], 20u);
  EXPECT_EQ(drive.sentAt[2] - drive.sentAt[1], 20u);
  for (std::size_t i = 3; i < drive.sentAt.size(); ++i)
    EXPECT_EQ(drive.sentAt[i] - drive.sentAt[i - 1], 2000u) << i;
}

TEST(MasterSessionTest, WaitsForThePaceBeforeTheNextRequest) {
  MasterPacing pacing;
  pacing.burstRequests = 1;
  pacing.intervalMs = 2000;
  MasterSession session(kRegionEverywhere, "", 5000, pacing);
  ASSERT_TRUE(session.Poll(100));
  EXPECT_EQ(session.WaitMs(100), pacing.timeoutMs);
  session.OnDatagram(EncodeMasterPage(Servers(3), false), 150);
  EXPECT_EQ(session.StatusText(), "Master server: 3 servers");
  EXPECT_FALSE(session.Poll(150));
  EXPECT_EQ(session.WaitMs(150), 1950u);
  EXPECT_FALSE(session.Poll(2099));
  EXPECT_TRUE(session.Poll(2100));
}

TEST(MasterSessionTest, TimeOutRetriesOnceThenEndsWithWhatCame) {
  const auto list = Servers(500);
  fake::MasterFaults faults;
  faults.dropPage = 1;  // the second page is lost once: the retry gets it
  fake::FakeMaster master(list, faults);
  MasterSession session(kRegionEverywhere, "", 5000);
  std::uint32_t now = 0;
  const Drive drive = RunAgainst(session, master, now);
  EXPECT_EQ(session.Outcome(), MasterOutcome::kEnded);
  EXPECT_EQ(session.Addresses(), list);
  ASSERT_EQ(drive.requests.size(), 4u);
  EXPECT_EQ(drive.requests[1], drive.requests[2]);
  EXPECT_GE(drive.sentAt[2] - drive.sentAt[1], MasterPacing{}.timeoutMs);

  // A master that goes quiet after one page: one retry, then the import ends.
  MasterSession quiet(kRegionEverywhere, "", 5000);
  ASSERT_TRUE(quiet.Poll(0));
  quiet.OnDatagram(EncodeMasterPage(Servers(10), false), 10);
  ASSERT_TRUE(quiet.Poll(10));
  EXPECT_FALSE(quiet.Poll(2999));
  EXPECT_TRUE(quiet.Poll(3010));  // the retry
  EXPECT_FALSE(quiet.Poll(6009));
  EXPECT_FALSE(quiet.Finished());
  EXPECT_FALSE(quiet.Poll(6010));
  EXPECT_EQ(quiet.Outcome(), MasterOutcome::kTimedOut);
  EXPECT_EQ(quiet.Addresses().size(), 10u);
  EXPECT_EQ(quiet.StatusText(), "Error: Master server did not answer (10 servers received)");
}

TEST(MasterSessionTest, LateCopyOfARetriedPageIsNotANewPage) {
  const std::string first = EncodeMasterPage(Servers(5), false);
  const std::string second = EncodeMasterPage(Servers(5, 0x0B000001), false);
  MasterSession session(kRegionEverywhere, "", 5000);
  ASSERT_TRUE(session.Poll(0));
  ASSERT_TRUE(session.Poll(3000));  // retry of the first page
  EXPECT_EQ(session.OnDatagram(first, 3010), 5u);
  EXPECT_EQ(session.OnDatagram(first, 3011), 0u);  // the retry's answer, nothing awaited
  ASSERT_TRUE(session.Poll(3020));
  EXPECT_EQ(session.OnDatagram(first, 3030), 0u);  // still a copy: the second page is awaited
  EXPECT_FALSE(session.Finished());
  EXPECT_EQ(session.OnDatagram(second, 3040), 5u);
  EXPECT_EQ(session.Addresses().size(), 10u);
}

TEST(MasterSessionTest, RepeatedPagesEndTheImport) {
  // A master that answers every seed with the same page: the seed does not advance.
  fake::MasterFaults faults;
  faults.repeatPage = 1;
  fake::FakeMaster master(Servers(1000), faults);
  MasterSession session(kRegionEverywhere, "", 100000);
  std::uint32_t now = 0;
  const Drive drive = RunAgainst(session, master, now);
  EXPECT_EQ(session.Outcome(), MasterOutcome::kRepeated);
  EXPECT_EQ(drive.requests.size(), 3u);
  EXPECT_EQ(session.Addresses().size(), 2u * 231u);
  EXPECT_EQ(session.StatusText(), "Error: Master server repeats its list (462 servers received)");

  // A page without entries or end marker cannot advance either.
  MasterSession empty(kRegionEverywhere, "", 100);
  ASSERT_TRUE(empty.Poll(0));
  empty.OnDatagram(kMasterPageHeader, 1);
  EXPECT_EQ(empty.Outcome(), MasterOutcome::kRepeated);
}

TEST(MasterSessionTest, LimitHoldsAgainstAMasterThatNeverEnds) {
  fake::MasterFaults faults;
  faults.neverEnd = true;
  fake::FakeMaster master(Servers(300), faults);
  MasterSession limited(kRegionEverywhere, "", 250);
  std::uint32_t now = 0;
  RunAgainst(limited, master, now);
  EXPECT_EQ(limited.Outcome(), MasterOutcome::kLimit);
  EXPECT_EQ(limited.Addresses().size(), 250u);
  EXPECT_EQ(limited.StatusText(), "Idle...");

  // Without a limit that stops it first, the list going round stops it.
  fake::FakeMaster round(Servers(300), faults);
  MasterSession session(kRegionEverywhere, "", 100000);
  now = 0;
  const Drive drive = RunAgainst(session, round, now);
  EXPECT_EQ(session.Outcome(), MasterOutcome::kRepeated);
  EXPECT_EQ(session.Addresses(), Servers(300));
  EXPECT_LE(drive.requests.size(), 4u);
}

TEST(MasterSessionTest, BadRepliesKeepWhatCame) {
  fake::MasterFaults faults;
  faults.garbagePage = 1;
  fake::FakeMaster master(Servers(400), faults);
  MasterSession session(kRegionEverywhere, "", 5000);
  std::uint32_t now = 0;
  RunAgainst(session, master, now);
  EXPECT_EQ(session.Outcome(), MasterOutcome::kBadReply);
  EXPECT_EQ(session.Addresses().size(), 231u);
  EXPECT_EQ(session.StatusText(),
            "Error: Master server sent a reply that is not a server list (231 servers received)");

  MasterSession cut(kRegionEverywhere, "", 5000);
  ASSERT_TRUE(cut.Poll(0));
  cut.OnDatagram(EncodeMasterPage(Servers(2), false) + "\x01\x02"s, 5);
  EXPECT_EQ(cut.Outcome(), MasterOutcome::kBadReply);
  EXPECT_EQ(cut.Addresses().size(), 2u);
  EXPECT_EQ(cut.StatusText(), "Error: Master server sent a cut-short page (2 servers received)");
}

TEST(MasterSessionTest, DuplicatesAndUnusableEntriesAreLeftOut) {
  std::vector<MasterAddress> page = Servers(3);
  page.push_back(page[0]);
  page.push_back({0xFFFFFFFF, 27015});
  page.push_back({0, 27015});
  page.push_back(Servers(1, 0x0C000001)[0]);
  MasterSession session(kRegionEverywhere, "", 5000);
  ASSERT_TRUE(session.Poll(0));
  EXPECT_EQ(session.OnDatagram(EncodeMasterPage(page, true), 1), 4u);
  EXPECT_EQ(session.Skipped(), 2u);
  EXPECT_EQ(session.Outcome(), MasterOutcome::kEnded);
}

TEST(MasterSessionTest, CancelFailAndStrayDatagrams) {
  MasterSession session(kRegionEverywhere, "", 5000);
  EXPECT_EQ(session.OnDatagram(EncodeMasterPage(Servers(2), false), 0), 0u);  // nothing asked yet
  ASSERT_TRUE(session.Poll(0));
  session.OnDatagram(EncodeMasterPage(Servers(2), false), 1);
  session.Cancel();
  EXPECT_EQ(session.Outcome(), MasterOutcome::kCancelled);
  EXPECT_EQ(session.StatusText(), "Idle...");
  EXPECT_EQ(session.Addresses().size(), 2u);
  EXPECT_FALSE(session.Poll(100000));

  MasterSession failing(kRegionEverywhere, "", 5000);
  failing.Fail("Error: Cannot reach the master server");
  EXPECT_EQ(failing.StatusText(), "Error: Cannot reach the master server (0 servers received)");
  EXPECT_EQ(MasterSession(kRegionEverywhere, "", 0).Outcome(), MasterOutcome::kLimit);
}

TEST(MasterSessionTest, TimesSurviveTheTickCounterWrapping) {
  MasterSession session(kRegionEverywhere, "", 5000);
  const std::uint32_t start = 0xFFFFFF00u;
  ASSERT_TRUE(session.Poll(start));
  EXPECT_EQ(session.WaitMs(start + 10), 2990u);
  EXPECT_FALSE(session.Poll(start + 2999));
  EXPECT_TRUE(session.Poll(start + 3000));  // past zero
}

}  // namespace
}  // namespace vantrix
