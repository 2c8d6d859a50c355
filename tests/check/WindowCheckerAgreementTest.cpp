// The window's current protocol and the checker read replies with one engine: for the same
// generated replies (whole, cut anywhere, any letters and extra data) the row a single check
// writes holds exactly the fields the checker reports.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "check/CheckItem.h"
#include "check/CheckReport.h"
#include "client/CheckScheduler.h"
#include "fake/FakeReplies.h"
#include "support/FakeQueryWorld.h"

namespace vantrix {
namespace {

class AnyTransport final : public ClientTransport {
 public:
  SendResult Send(const IPv4Endpoint&, std::string_view) override { return {}; }
};

class FixedClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override { return 1'000; }
};

std::string Text(std::mt19937& random) {
  std::string text;
  const int length = std::uniform_int_distribution<int>(0, 12)(random);
  for (int i = 0; i < length; ++i)
    text.push_back(static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random)));
  return text;
}

std::uint8_t OneOf(std::mt19937& random, std::string_view bytes) {
  return static_cast<std::uint8_t>(
      bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)]);
}

std::string GeneratedReply(std::mt19937& random) {
  const auto byte = [&random] {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
  };
  std::string reply;
  if (random() % 2) {
    fake::CurrentInfoFields f;
    f.name = Text(random);
    f.map = Text(random);
    f.appId = random() % 4 ? static_cast<std::uint16_t>(random()) : 2400;
    f.players = byte();
    f.maxPlayers = byte();
    f.bots = byte();
    f.serverType = OneOf(random, "dlpDLPx");
    f.environment = OneOf(random, "lwmoLWMO?");
    f.visibility = OneOf(random, std::string_view("\x00\x01\x02", 3));
    f.extraFlags = byte();
    f.port = static_cast<std::uint16_t>(random());
    f.keywords = Text(random);
    reply = fake::BuildCurrentInfoReply(f);
  } else {
    fake::InfoFields f;
    f.address = "10.0.0.5:27015";
    f.name = Text(random);
    f.map = Text(random);
    f.players = byte();
    f.maxPlayers = byte();
    f.type = OneOf(random, "dlpDLPx");
    f.os = OneOf(random, "lwLW?");
    f.password = OneOf(random, std::string_view("\x00\x01\x02", 3));
    f.mod = OneOf(random, std::string_view("\x00\x01", 2));
    if (random() % 2) f.bots = byte();
    reply = fake::BuildInfoReply(f);
  }
  if (random() % 3 == 0) reply.resize(std::uniform_int_distribution<std::size_t>(5, reply.size())(random));
  return reply;
}

ServerRow CheckerRow(const std::string& reply) {
  AnyTransport transport;
  FixedClock clock;
  CheckPlan plan;
  plan.protocol = QueryProtocol::kCurrent;
  plan.retries = 0;
  const IPv4Endpoint server{0x0A000005u, 27015};
  CheckScheduler scheduler({server}, plan, transport, clock);
  scheduler.Advance();
  scheduler.Receive(server, reply, 1'000);
  CheckResult result = scheduler.ResultFor(0);
  if (!scheduler.Done()) result = {};  // refused: the check goes on to its time-out
  return CheckResultRow(MakeCheckItem(ServerRow::Blank("10.0.0.5:27015"), 27015), result);
}

TEST(WindowCheckerAgreement, TheSameRepliesGiveTheSameFields) {
  std::mt19937 random(2026);
  test::FakeQueryWorld window;
  window.settings.queryProtocol = QueryProtocol::kCurrent;
  const RowId row = window.table.IdOf(window.AddRow("10.0.0.5:27015"));
  int refused = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string reply = GeneratedReply(random);
    SCOPED_TRACE(testing::PrintToString(reply));
    for (int cell = 0; cell < kCellCount; ++cell) window.table.SetCell(0, cell, kBlank);
    window.Serve("10.0.0.5", 27015, reply, 1);
    window.engine.QueryServer("10.0.0.5:27015", row);
    const ServerRow expected = CheckerRow(reply);
    refused += expected.cells[kWCell] == "-";
    for (int cell : {kNameCell, kMapCell, kPlayersCell, kWCell, kDCell, kSCell, kPCell})
      EXPECT_EQ(window.CellOf(row, cell), expected.cells[cell]) << cell;
  }
  // The generated replies hold both kinds of outcome.
  EXPECT_GT(refused, 10);
  EXPECT_LT(refused, 200);
}

}  // namespace
}  // namespace vantrix
