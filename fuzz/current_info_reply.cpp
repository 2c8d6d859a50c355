// A datagram as an info reply read exactly, as the checker and the window's current protocol
// read it. The input is the datagram.
// Invariants: the decoders never read past the end; only 'I' and 'm' datagrams decode; an 'I'
// reply's texts are zero-free stretches of the datagram and its later fields are present in
// order (once one is missing, every later one is too); the letters are the window's. Through
// the main window's handler in the current protocol, the row of the sender gets exactly the
// fields the checker reports (or keeps its cells when the checker refuses the reply), and the
// same datagram from an address that is no row and was never asked changes no row.
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/OriginalInfoReply.h"
#include "core/protocol/ServerInfo.h"
#include "support/FakeQueryWorld.h"

namespace {

using namespace vantrix;

void CheckText(std::string_view text, std::string_view datagram) {
  VANTRIX_FUZZ_CHECK(text.find('\0') == std::string_view::npos);
  VANTRIX_FUZZ_CHECK(text.empty() || datagram.find(text) != std::string_view::npos);
}

void CheckOrder(const CurrentInfoReply& reply) {
  const bool present[] = {reply.bots.has_value(),        reply.serverType.has_value(),
                          reply.environment.has_value(), reply.visibility.has_value(),
                          reply.secure.has_value(),      reply.version.has_value()};
  for (std::size_t i = 1; i < std::size(present); ++i) VANTRIX_FUZZ_CHECK(present[i - 1] || !present[i]);
  if (!reply.version)
    VANTRIX_FUZZ_CHECK(reply.extraFlags == 0 && !reply.port && !reply.keywords && !reply.gameId);
}

void CheckHandler(std::string_view datagram, const std::optional<ServerInfo>& info) {
  test::FakeQueryWorld world;
  world.settings.queryProtocol = QueryProtocol::kCurrent;
  world.AddRow("10.0.0.5:27015");
  world.AddRow("10.0.0.6:27015");
  world.Deliver(datagram, "192.0.2.1", 5);
  for (int row = 0; row < 2; ++row)
    for (int cell = 0; cell < kCellCount; ++cell) VANTRIX_FUZZ_CHECK(world.table.Cell(row, cell) == kBlank);
  world.Deliver(datagram, "10.0.0.6", 27015);
  VANTRIX_FUZZ_CHECK(world.engine.ReceivedCount() == 2);
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kWCell) == (info ? "+" : kBlank));
  VANTRIX_FUZZ_CHECK(world.table.Cell(0, kWCell) == kBlank);
  if (!info) return;
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kNameCell) == info->name);
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kMapCell) == info->map);
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kPlayersCell) ==
                     std::to_string(*info->players) + "/" + std::to_string(*info->maxPlayers));
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kDCell) == (info->type ? std::string(1, *info->type) : kBlank));
  VANTRIX_FUZZ_CHECK(world.table.Cell(1, kSCell) == (info->os ? std::string(1, *info->os) : kBlank));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view datagram = vantrix::fuzz::AsText(data, size);
  const auto info = DecodeServerInfo(datagram);
  if (info) VANTRIX_FUZZ_CHECK(IsCurrentInfoReply(datagram) || IsOriginalInfoReply(datagram));
  CheckHandler(datagram, info);
  const auto reply = DecodeCurrentInfoReply(datagram);
  VANTRIX_FUZZ_CHECK(reply.has_value() == (IsCurrentInfoReply(datagram) && info.has_value()));
  if (info) {
    VANTRIX_FUZZ_CHECK(info->players && info->maxPlayers);
    if (info->type) VANTRIX_FUZZ_CHECK(std::string_view("DLP").find(*info->type) != std::string_view::npos);
    if (info->os) VANTRIX_FUZZ_CHECK(std::string_view("LWM").find(*info->os) != std::string_view::npos);
  }
  if (!reply) return 0;
  for (std::string_view text : {std::string_view(reply->name), std::string_view(reply->map),
                                std::string_view(reply->folder), std::string_view(reply->game)})
    CheckText(text, datagram);
  CheckOrder(*reply);
  VANTRIX_FUZZ_CHECK(info->gameId == (reply->gameId ? *reply->gameId : std::uint64_t{reply->appId}));
  VANTRIX_FUZZ_CHECK(info->gamePort == reply->port);
  return 0;
}
