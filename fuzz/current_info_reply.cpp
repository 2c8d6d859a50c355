// A datagram as an 'I' reply to the window's current info request. The input is the datagram.
// Invariants: the cell decoder never reads past the end and takes any 'I' datagram; its texts
// are zero-free stretches of the datagram; wherever the strict decoder (the checker's) reads the
// whole fixed part, both agree on every field the cells show. Through the main window's handler
// in the current protocol, the row of the sender gets the decoded texts, and the same datagram
// from an address that is no row and was never asked changes no row.
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/InfoReply.h"
#include "core/protocol/ServerInfo.h"
#include "core/protocol/SourceInfoReply.h"
#include "support/FakeQueryWorld.h"

namespace {

using namespace vantrix;

void CheckText(std::string_view text, std::string_view datagram) {
  VANTRIX_FUZZ_CHECK(text.find('\0') == std::string_view::npos);
  VANTRIX_FUZZ_CHECK(text.empty() || datagram.find(text) != std::string_view::npos);
}

void CheckHandler(std::string_view datagram, const std::optional<InfoReply>& reply) {
  test::FakeQueryWorld world;
  world.settings.queryProtocol = QueryProtocol::kCurrent;
  world.AddRow("10.0.0.5:27015");
  world.AddRow("10.0.0.6:27015");
  world.Deliver(datagram, "192.0.2.1", 5);
  for (int row = 0; row < 2; ++row)
    for (int cell = 0; cell < kCellCount; ++cell) VANTRIX_FUZZ_CHECK(world.table.Cell(row, cell) == kBlank);
  world.Deliver(datagram, "10.0.0.6", 27015);
  VANTRIX_FUZZ_CHECK(world.engine.ReceivedCount() == 2);
  const bool infoReply = reply.has_value() || IsInfoReply(datagram);
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kWCell) == (infoReply ? "+" : kBlank));
  VANTRIX_FUZZ_CHECK(world.table.Cell(0, kWCell) == kBlank);
  if (reply && reply->hasTexts) {
    VANTRIX_FUZZ_CHECK(world.table.Cell(1, kNameCell) == reply->serverName);
    VANTRIX_FUZZ_CHECK(world.table.Cell(1, kMapCell) == reply->map);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view datagram = vantrix::fuzz::AsText(data, size);
  const auto reply = DecodeCurrentInfoReply(datagram);
  VANTRIX_FUZZ_CHECK(reply.has_value() == IsCurrentInfoReply(datagram));
  VANTRIX_FUZZ_CHECK(!IsInfoReply(datagram) || !reply);
  CheckHandler(datagram, reply);
  if (!reply) return 0;
  CheckText(reply->serverName, datagram);
  CheckText(reply->map, datagram);
  if (!reply->hasTexts)
    VANTRIX_FUZZ_CHECK(!reply->players && !reply->typeLetter && reply->serverName.empty());
  if (reply->typeLetter)
    VANTRIX_FUZZ_CHECK(std::string_view("DLP").find(*reply->typeLetter) != std::string_view::npos);
  if (reply->osLetter)
    VANTRIX_FUZZ_CHECK(std::string_view("LWM").find(*reply->osLetter) != std::string_view::npos);

  const auto strict = DecodeSourceInfoReply(datagram);
  if (!strict) return 0;
  const ServerInfo info = ServerInfoFromSourceReply(*strict);
  VANTRIX_FUZZ_CHECK(reply->hasTexts);
  VANTRIX_FUZZ_CHECK(reply->serverName == info.name && reply->map == info.map);
  VANTRIX_FUZZ_CHECK(reply->players == strict->players && reply->maxPlayers == strict->maxPlayers);
  // The cells take lower-case letters only; the checker also takes upper case.
  if (reply->typeLetter) VANTRIX_FUZZ_CHECK(reply->typeLetter == info.type);
  if (reply->osLetter) VANTRIX_FUZZ_CHECK(reply->osLetter == info.os);
  VANTRIX_FUZZ_CHECK(reply->password == info.password);
  return 0;
}
