// The window's parallel check of the whole list, driven step by step on a fake clock with
// the simulated servers' answers, as the window's event loop drives it.

#include "client/TableCheckRun.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "fake/FakeServerProfile.h"
#include "net/IPv4Text.h"
#include "support/FakeClock.h"
#include "support/FakeDatagramSender.h"

namespace vantrix {
namespace {

using test::FakeClock;
using test::FakeDatagramSender;

constexpr std::uint32_t kLoopback = 0x7F000001u;
constexpr std::uint32_t kLatencyMs = 3;

// Host names answered by the test, when it says so.
class ScriptedLookups final : public HostLookups {
 public:
  void Request(const std::string& host) override { requested.push_back(host); }
  std::vector<Answer> TakeDone() override { return std::exchange(done, {}); }
  void Answer(const std::string& host, ResolveResult result) { done.emplace_back(host, result); }

  std::vector<std::string> requested;
  std::vector<HostLookups::Answer> done;
};

// The simulated servers behind the fake sender, the clock, and the loop a window runs.
class World {
 public:
  explicit World(std::vector<fake::ServerProfile> profiles) : sender(clock) {
    for (auto& profile : profiles) m_profiles.emplace(profile.port, std::move(profile));
    sender.SetOnSend([this](const test::SentDatagram& sent) { Answer(sent); });
    status.SetObserver([this](int panel) {
      if (panel == StatusLine::kMessagePanel) messages.push_back({clock.Now(), status.Message()});
    });
  }

  void Answer(const test::SentDatagram& sent) {
    const auto address = ParseDottedIPv4(sent.host);
    ASSERT_TRUE(address);
    auto it = m_profiles.find(static_cast<std::uint16_t>(sent.port));
    if (*address != kLoopback || it == m_profiles.end() || it->second.behaviour == fake::Behaviour::kSilent)
      return;
    for (std::string& reply : fake::AnswerRequest(it->second, sent.bytes, fake::AnswerStyle{}, ++m_requests,
                                                  fake::ChallengeFor(it->second, 1)))
      pending.push_back({clock.Now() + kLatencyMs, *address, static_cast<std::uint16_t>(sent.port), reply});
  }

  // Steps the run to its end, moving the clock from event to event; `during` runs before
  // each step with the step's number. Bounded in steps.
  bool Run(TableCheckRun& run, const std::function<void(int)>& during = {}) {
    for (int step = 0; step < 100000; ++step) {
      if (during) during(step);
      Deliver(run);
      run.Step();
      if (run.Finished()) return true;
      std::optional<std::uint32_t> wait = run.NextStepInMs();
      for (const auto& delivery : pending) {
        const auto in = static_cast<std::uint32_t>(std::max(TickDifference(delivery.at, clock.Now()), 0));
        wait = wait ? std::min(*wait, in) : in;
      }
      if (!wait) return false;  // nothing would ever happen
      clock.Advance(*wait);
    }
    return false;
  }

  void Deliver(TableCheckRun& run) {
    std::vector<Delivery> due;
    auto split = std::stable_partition(pending.begin(), pending.end(), [&](const Delivery& d) {
      return TickDifference(d.at, clock.Now()) > 0;
    });
    due.assign(split, pending.end());
    pending.erase(split, pending.end());
    for (const Delivery& delivery : due) {
      if (run.Claims(delivery.address, delivery.port))
        run.Receive(delivery.address, delivery.port, delivery.bytes, delivery.at);
      else
        ++unclaimed;
    }
  }

  int SentTo(std::uint16_t port) const {
    return static_cast<int>(std::count_if(sender.Sent().begin(), sender.Sent().end(),
                                          [&](const test::SentDatagram& s) { return s.port == port; }));
  }

  struct Delivery {
    std::uint32_t at;
    std::uint32_t address;
    std::uint16_t port;
    std::string bytes;
  };
  struct Message {
    std::uint32_t at;
    std::string text;
  };

  FakeClock clock;
  FakeDatagramSender sender;
  ScriptedLookups lookups;
  ServerTable table;
  StatusLine status;
  std::vector<Delivery> pending;
  std::vector<Message> messages;
  int unclaimed = 0;

 private:
  std::map<std::uint16_t, fake::ServerProfile> m_profiles;
  std::uint32_t m_requests = 0;
};

std::vector<fake::ServerProfile> Profiles(int count, int silent, int challenge = 0) {
  fake::ServerSetup setup;
  setup.count = count;
  setup.silentCount = silent;
  setup.challengeCount = challenge;
  return fake::MakeProfiles(setup);
}

void AddRows(ServerTable& table, const std::vector<fake::ServerProfile>& profiles) {
  for (const auto& profile : profiles) {
    ServerRow row = ServerRow::Blank(profile.Address());
    row.cells[kNameCell] = "stale";
    row.cells[kCommentCell] = "note " + std::to_string(profile.index);
    table.AppendRow(row);
  }
}

std::string Upper(std::uint8_t letter) {
  return std::string(1, static_cast<char>(letter - 'a' + 'A'));
}

// The cells F9 would have written for this server's reply.
void ExpectAnswered(const ServerTable& table, int position, const fake::ServerProfile& profile,
                    QueryProtocol query) {
  SCOPED_TRACE("row " + std::to_string(position));
  const bool current = query == QueryProtocol::kCurrent;
  EXPECT_EQ(table.Cell(position, kWCell), "+");
  EXPECT_EQ(table.Cell(position, kPingCell), std::to_string(kLatencyMs));
  EXPECT_EQ(table.Cell(position, kNameCell), current ? profile.currentInfo.name : profile.info.name);
  EXPECT_EQ(table.Cell(position, kMapCell), current ? profile.currentInfo.map : profile.info.map);
  const int players = current ? profile.currentInfo.players : profile.info.players;
  const int maxPlayers = current ? profile.currentInfo.maxPlayers : profile.info.maxPlayers;
  EXPECT_EQ(table.Cell(position, kPlayersCell), std::to_string(players) + "/" + std::to_string(maxPlayers));
  EXPECT_EQ(table.Cell(position, kDCell),
            Upper(current ? profile.currentInfo.serverType : profile.info.type));
  EXPECT_EQ(table.Cell(position, kSCell), Upper(current ? profile.currentInfo.environment : profile.info.os));
  const bool password = current ? profile.currentInfo.visibility == 1 : profile.info.password == 1;
  EXPECT_EQ(table.Cell(position, kPCell), password ? "+" : "-");
  EXPECT_EQ(table.Cell(position, kCommentCell), "note " + std::to_string(profile.index));
}

void ExpectSilent(const ServerTable& table, int position) {
  SCOPED_TRACE("row " + std::to_string(position));
  EXPECT_EQ(table.Cell(position, kWCell), "-");
  EXPECT_EQ(table.Cell(position, kNameCell), "stale");  // not blanked first
  EXPECT_EQ(table.Cell(position, kPingCell), kBlank);
}

TEST(TableCheckRun, EveryRowInParallelInBothProtocols) {
  for (QueryProtocol query : {QueryProtocol::kOriginal, QueryProtocol::kCurrent}) {
    SCOPED_TRACE(query == QueryProtocol::kCurrent ? "current" : "original");
    const auto profiles = Profiles(40, 6, 10);
    World world(profiles);
    AddRows(world.table, profiles);
    TableCheckSetup setup;
    setup.protocol = query;
    TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
    const std::uint32_t start = world.clock.Now();
    run.Start();
    ASSERT_TRUE(world.Run(run));
    // All at once: the silent rows' two attempts, not one time-out per row.
    EXPECT_LE(world.clock.Now() - start, 2 * 400u + 2 * TableCheckRun::kWritePeriodMs);
    for (const auto& profile : profiles) {
      if (profile.behaviour == fake::Behaviour::kSilent) {
        ExpectSilent(world.table, profile.index);
        EXPECT_EQ(world.SentTo(profile.port), 2);  // one more attempt
      } else {
        ExpectAnswered(world.table, profile.index, profile, query);
        // The challenge costs a second request in the current protocol only.
        const int requests = query == QueryProtocol::kCurrent && profile.infoChallenge ? 2 : 1;
        EXPECT_EQ(world.SentTo(profile.port), requests);
      }
      EXPECT_EQ(world.table.Address(profile.index), profile.Address());
    }
    for (const auto& sent : world.sender.Sent()) {
      if (query == QueryProtocol::kOriginal)
        EXPECT_EQ(sent.bytes, kInfoRequest);
      else
        EXPECT_EQ(sent.bytes.substr(0, CurrentInfoRequest().size()), CurrentInfoRequest());
    }
    EXPECT_EQ(run.DoneRows(), profiles.size());
    EXPECT_EQ(world.status.Message(), "Idle...");
    EXPECT_EQ(world.unclaimed, 0);
  }
}

TEST(TableCheckRun, RowsAreFollowedByIdentityThroughSortsDeletionsAndAdditions) {
  const auto profiles = Profiles(12, 2);
  World world(profiles);
  AddRows(world.table, profiles);
  const RowId deleted = world.table.IdOf(4);
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, {});
  run.Start();
  ASSERT_TRUE(world.Run(run, [&](int step) {
    if (step != 1) return;  // the requests are out, no reply has come
    ASSERT_EQ(world.sender.Sent().size(), profiles.size());
    std::vector<int> reversed(static_cast<std::size_t>(world.table.Count()));
    for (int i = 0; i < world.table.Count(); ++i)
      reversed[static_cast<std::size_t>(i)] = world.table.Count() - 1 - i;
    world.table.ReorderRows(reversed);
    world.table.DeleteRow(*world.table.PositionOf(deleted));
    world.table.AppendRow(ServerRow::Blank(profiles[0].Address()));  // same address, added late
  }));
  ASSERT_EQ(world.table.Count(), 12);
  for (const auto& profile : profiles) {
    if (profile.index == 4) continue;
    const auto position = world.table.FindRowByAddress(profile.Address());
    ASSERT_TRUE(position);
    const int own = profile.index == 0 ? 10 : *position;  // the late row is the last of that address
    EXPECT_EQ(world.table.Cell(own, kCommentCell), "note " + std::to_string(profile.index));
    if (profile.behaviour == fake::Behaviour::kSilent)
      ExpectSilent(world.table, own);
    else
      ExpectAnswered(world.table, own, profile, QueryProtocol::kOriginal);
  }
  // The row added during the run was not queried and not written.
  EXPECT_EQ(world.table.Cell(11, kWCell), kBlank);
  EXPECT_EQ(world.table.Cell(11, kNameCell), kBlank);
  EXPECT_EQ(world.SentTo(profiles[0].port), 1);
  EXPECT_EQ(run.Total(), 12u);
}

TEST(TableCheckRun, RowsOfOneAddressAreAskedOnceAndAllGetTheAnswer) {
  const auto profiles = Profiles(2, 0);
  World world(profiles);
  AddRows(world.table, {profiles[0], profiles[1], profiles[0], profiles[0]});
  world.table.SetAddress(3, "localhost:" + std::to_string(profiles[0].port));  // the same server
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, {});
  run.Start();
  ASSERT_TRUE(world.Run(run));
  EXPECT_EQ(world.SentTo(profiles[0].port), 1);
  for (int position : {0, 2, 3}) ExpectAnswered(world.table, position, profiles[0], QueryProtocol::kOriginal);
  ExpectAnswered(world.table, 1, profiles[1], QueryProtocol::kOriginal);
  EXPECT_TRUE(world.lookups.requested.empty());  // localhost needs no resolver
}

TEST(TableCheckRun, BadAddressesAndNamesEachGiveTheirOwnResult) {
  const auto profiles = Profiles(2, 0);
  World world(profiles);
  const std::string port0 = std::to_string(profiles[0].port);
  for (const char* address : {"", "10.0.0.5:abc", "10.0.0.5:0", ":27015", "nowhere.invalid:27015"})
    world.table.AppendRow(ServerRow::Blank(address));
  world.table.AppendRow(ServerRow::Blank("game.example:" + port0));
  world.table.AppendRow(ServerRow::Blank("nowhere.invalid:1"));
  world.table.AppendRow(ServerRow::Blank(profiles[1].Address()));
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, {});
  run.Start();
  // One lookup per distinct name, and the first bad row's error is the one shown.
  std::vector<std::string> requested = world.lookups.requested;
  std::sort(requested.begin(), requested.end());
  EXPECT_EQ(requested, (std::vector<std::string>{"game.example", "nowhere.invalid"}));
  ASSERT_FALSE(world.messages.empty());
  EXPECT_EQ(world.messages.front().text, "Error: Sending error to 10.0.0.5:abc");
  ASSERT_TRUE(world.Run(run, [&](int step) {
    if (step == 3) {  // the names resolve later, while the others are in flight
      world.lookups.Answer("nowhere.invalid", {ResolveStatus::HostNotFound, 0});
      world.lookups.Answer("game.example", {ResolveStatus::Found, kLoopback});
    }
  }));
  EXPECT_EQ(world.table.Cell(0, kWCell), kBlank);  // an empty address is not queried
  for (int position : {1, 2, 3, 4, 6}) EXPECT_EQ(world.table.Cell(position, kWCell), "-") << position;
  EXPECT_EQ(world.table.Cell(7, kWCell), "+");
  EXPECT_EQ(world.table.Cell(7, kNameCell), profiles[1].info.name);
  EXPECT_EQ(world.table.Cell(5, kWCell), "+");
  EXPECT_EQ(world.table.Cell(5, kNameCell), profiles[0].info.name);
  EXPECT_EQ(world.sender.Sent().size(), 2u);
  EXPECT_EQ(std::count_if(world.messages.begin(), world.messages.end(),
                          [](const auto& m) { return m.text.starts_with("Error: "); }),
            1);
  EXPECT_EQ(run.DoneRows(), 8u);
}

// What the run learns beyond the cells: a game port other than the one asked, and the address
// a host name resolved to.
TEST(TableCheckRun, NotesTheGamePortAndTheAddressANameResolvedTo) {
  auto profiles = Profiles(2, 0);
  for (auto& profile : profiles) profile.currentInfo.extraFlags |= kExtraPort;
  profiles[0].currentInfo.port = 27999;
  World world(profiles);
  const std::string named = "game.example:" + std::to_string(profiles[1].port);
  world.table.AppendRow(ServerRow::Blank(profiles[0].Address()));
  world.table.AppendRow(ServerRow::Blank(named));
  RowCheckFacts facts;
  TableCheckSetup setup;
  setup.protocol = QueryProtocol::kCurrent;
  setup.facts = &facts;
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  ASSERT_TRUE(world.Run(run, [&](int step) {
    if (step == 1) world.lookups.Answer("game.example", {ResolveStatus::Found, kLoopback});
  }));
  EXPECT_EQ(facts.GamePort(world.table.IdOf(0), profiles[0].Address()), 27999);
  EXPECT_EQ(facts.GamePort(world.table.IdOf(1), named), std::nullopt);  // it plays where it answers
  EXPECT_EQ(facts.Resolved(world.table.IdOf(1), named), "127.0.0.1");
  EXPECT_EQ(facts.Resolved(world.table.IdOf(0), profiles[0].Address()), "");  // a literal is its own
}

TEST(TableCheckRun, OnlyAnswersToItsOwnRequestsAreClaimed) {
  const auto profiles = Profiles(3, 1);
  World world(profiles);
  AddRows(world.table, profiles);
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, {});
  EXPECT_FALSE(run.Claims(kLoopback, profiles[0].port));  // not started
  run.Start();
  EXPECT_FALSE(run.Claims(kLoopback, profiles[0].port));  // nothing sent yet
  run.Step();
  EXPECT_TRUE(run.Claims(kLoopback, profiles[0].port));
  EXPECT_FALSE(run.Claims(kLoopback, 9));                     // a stranger's port
  EXPECT_FALSE(run.Claims(0x7F000002u, profiles[0].port));    // another address
  EXPECT_FALSE(run.IsLateCopy(kLoopback, profiles[0].port));  // asked, not answered
  // A stranger's datagram handed in anyway changes nothing.
  run.Receive(0x0A000005u, profiles[0].port, "\xFF\xFF\xFF\xFFmjunk", world.clock.Now());
  // Once a server has answered, more from it is a late copy while the silent one keeps the run going.
  std::vector<std::uint16_t> late;
  ASSERT_TRUE(world.Run(run, [&](int) {
    for (const auto& profile : profiles)
      if (run.IsLateCopy(kLoopback, profile.port) && !run.Claims(kLoopback, profile.port) &&
          std::find(late.begin(), late.end(), profile.port) == late.end())
        late.push_back(profile.port);
  }));
  EXPECT_EQ(late.size(), profiles.size() - 1);
  EXPECT_FALSE(run.IsLateCopy(kLoopback, 9));
  for (const auto& profile : profiles)
    EXPECT_FALSE(run.Claims(kLoopback, profile.port) || run.IsLateCopy(kLoopback, profile.port));
  // Duplicates and late copies after the end go to the window's own handler.
  const std::size_t writes = world.messages.size();
  run.Receive(kLoopback, profiles[0].port, "\xFF\xFF\xFF\xFFm", world.clock.Now());
  run.Step();
  EXPECT_EQ(world.messages.size(), writes);
  EXPECT_EQ(world.table.Cell(0, kNameCell), profiles[0].info.name);
}

TEST(TableCheckRun, StopKeepsWhatWasDecodedAndLeavesTheRestAlone) {
  const auto profiles = Profiles(6, 0);
  World world(profiles);
  AddRows(world.table, profiles);
  world.table.SetCell(5, kWCell, "+");
  TableCheckSetup setup;
  setup.sendsPerStep = 5;  // the sixth row is not asked before the stop
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  run.Step();
  ASSERT_EQ(world.sender.Sent().size(), 5u);
  world.clock.Advance(kLatencyMs);
  world.Deliver(run);
  run.Stop();
  EXPECT_TRUE(run.Finished());
  EXPECT_EQ(world.status.Message(), "Idle...");
  for (int i = 0; i < 5; ++i)
    ExpectAnswered(world.table, i, profiles[static_cast<std::size_t>(i)], QueryProtocol::kOriginal);
  EXPECT_EQ(world.table.Cell(5, kWCell), "+");  // kept as it was
  EXPECT_EQ(world.table.Cell(5, kNameCell), "stale");
  run.Step();
  EXPECT_EQ(world.sender.Sent().size(), 5u);
  EXPECT_FALSE(run.NextStepInMs());
}

TEST(TableCheckRun, SendsComeInSlicesWithinTheInFlightBound) {
  const auto profiles = Profiles(300, 300);  // all silent: every request stays in flight
  World world(profiles);
  AddRows(world.table, profiles);
  TableCheckSetup setup;
  setup.maxParallel = 100;
  setup.sendsPerStep = 40;
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  run.Step();
  EXPECT_EQ(world.sender.Sent().size(), 40u);
  EXPECT_EQ(run.NextStepInMs(), 0u);  // more to send at once, after the loop's other work
  run.Step();
  run.Step();
  run.Step();
  EXPECT_EQ(world.sender.Sent().size(), 100u);
  EXPECT_EQ(run.NextStepInMs(), 400u);  // nothing more before the first time-out
  ASSERT_TRUE(world.Run(run));
  EXPECT_EQ(world.sender.Sent().size(), 600u);
}

TEST(TableCheckRun, RowsAreTakenInSlicesAndOneDeletedBeforeItsSliceIsNotAsked) {
  const auto profiles = Profiles(10, 2);
  World world(profiles);
  AddRows(world.table, profiles);
  TableCheckSetup setup;
  setup.rowsPerStep = 3;
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  EXPECT_EQ(run.Scheduler().Servers(), 3u);  // the first slice only
  world.table.DeleteRow(8);
  ASSERT_TRUE(world.Run(run));
  for (const auto& profile : profiles) {
    if (profile.index == 8) {
      EXPECT_EQ(world.SentTo(profile.port), 0);
      continue;
    }
    const int position = profile.index < 8 ? profile.index : profile.index - 1;
    if (profile.behaviour == fake::Behaviour::kSilent)
      ExpectSilent(world.table, position);
    else
      ExpectAnswered(world.table, position, profile, QueryProtocol::kOriginal);
  }
  EXPECT_EQ(run.DoneRows(), 10u);
  EXPECT_EQ(world.status.Message(), "Idle...");
}

TEST(TableCheckRun, ProgressAndWritesAreSpacedOut) {
  const auto profiles = Profiles(200, 20);
  World world(profiles);
  AddRows(world.table, profiles);
  TableCheckSetup setup;
  setup.maxParallel = 10;  // answers trickle in over many steps
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  struct Writes final : TableObserver {
    explicit Writes(FakeClock& c) : clock(c) {}
    void RowsInserted(int, int) override {}
    void RowsRemoved(int, int) override {}
    void Reset() override {}
    void CellChanged(int, int) override {
      if (times.empty() || times.back() != clock.Now()) times.push_back(clock.Now());
    }
    FakeClock& clock;
    std::vector<std::uint32_t> times;
  } writes(world.clock);
  world.table.SetObserver(&writes);
  run.Start();
  ASSERT_TRUE(world.Run(run));
  ASSERT_GE(world.messages.size(), 3u);
  EXPECT_EQ(world.messages.front().text, "Checking servers: 0/200");
  EXPECT_EQ(world.messages.back().text, "Idle...");
  for (std::size_t i = 1; i + 1 < world.messages.size(); ++i) {
    EXPECT_TRUE(world.messages[i].text.starts_with("Checking servers: ")) << world.messages[i].text;
    EXPECT_GE(world.messages[i].at - world.messages[i - 1].at, TableCheckRun::kProgressPeriodMs);
  }
  // Spaced out until the last batch, which is written as soon as the run is over.
  ASSERT_GE(writes.times.size(), 3u);
  for (std::size_t i = 1; i + 1 < writes.times.size(); ++i)
    EXPECT_GE(writes.times[i] - writes.times[i - 1], TableCheckRun::kWritePeriodMs);
  world.table.SetObserver(nullptr);
}

// A refresh: only the rows given, their players asked too, nothing in the message panel, the
// held row not written, and every finished row told to the observer with its address.
TEST(TableCheckRun, QuietRunOverSomeRowsWithAnObserver) {
  const auto profiles = Profiles(6, 1);  // the last one is silent
  World world(profiles);
  AddRows(world.table, profiles);
  world.table.AppendRow(ServerRow::Blank("bad:port"));
  TableCheckSetup setup;
  setup.quiet = true;
  setup.players = true;
  for (int position : {1, 3, 5, 6}) setup.rows.push_back(world.table.IdOf(position));
  const RowId held = world.table.IdOf(3);
  setup.holdRow = [&](RowId row) { return row == held; };
  std::map<std::string, CheckResult> observed;
  setup.observer = [&](RowId, std::string_view address, const CheckResult& result) {
    EXPECT_TRUE(observed.emplace(address, result).second) << address;
  };
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  ASSERT_TRUE(world.Run(run));
  EXPECT_TRUE(world.messages.empty());
  EXPECT_EQ(run.Total(), 4u);
  ExpectAnswered(world.table, 1, profiles[1], QueryProtocol::kOriginal);
  EXPECT_EQ(world.table.Cell(3, kWCell), kBlank);  // held: checked, observed, not written
  ExpectSilent(world.table, 5);
  EXPECT_EQ(world.table.Cell(6, kWCell), "-");
  for (int position : {0, 2, 4}) EXPECT_EQ(world.table.Cell(position, kWCell), kBlank);
  EXPECT_EQ(world.SentTo(profiles[0].port), 0);

  ASSERT_EQ(observed.size(), 4u);
  const CheckResult& answered = observed.at(profiles[3].Address());
  ASSERT_TRUE(answered.info && answered.players);
  EXPECT_EQ(answered.players->size(), profiles[3].players.size());
  EXPECT_FALSE(observed.at(profiles[5].Address()).info);
  EXPECT_EQ(observed.at("bad:port").status, CheckStatus::kError);
}

TEST(TableCheckRun, ProgressOffAndAnEmptyTable) {
  World world({});
  TableCheckSetup setup;
  setup.progress = false;
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, setup);
  run.Start();
  EXPECT_TRUE(run.Finished());
  ASSERT_EQ(world.messages.size(), 1u);
  EXPECT_EQ(world.messages[0].text, "Idle...");
}

TEST(TableCheckRun, PingsSurviveTheTickCounterWrapping) {
  const auto profiles = Profiles(3, 0);
  World world(profiles);
  world.clock.Set(0xFFFFFFFFu - 1);
  AddRows(world.table, profiles);
  TableCheckRun run(world.table, world.status, world.clock, world.sender, world.lookups, {});
  run.Start();
  ASSERT_TRUE(world.Run(run));
  for (const auto& profile : profiles)
    ExpectAnswered(world.table, profile.index, profile, QueryProtocol::kOriginal);
}

}  // namespace
}  // namespace vantrix
