#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "fake/FakeReplies.h"
#include "support/FakeClock.h"
#include "support/FakeDatagramSender.h"
#include "support/FakeEventPump.h"
#include "support/FakeOneShotTimer.h"
#include "support/FakeSleeper.h"

namespace vantrix::test {

// An info reply with the given fields and the usual texts around them.
std::string SampleInfoReply(const std::string& name = "Alpha", const std::string& map = "de_dust2",
                            std::uint8_t players = 12, std::uint8_t maxPlayers = 20, char type = 'd',
                            char os = 'l', std::uint8_t password = 0);

// A query engine wired to fakes, with simulated servers that answer through the event
// pump a scripted number of passes after each request.
struct FakeQueryWorld {
  struct Server {
    std::string reply;
    // When set, answers each request by its bytes instead ("" answers nothing).
    std::function<std::string(std::string_view request)> answer;
    long passes = 1;
    std::string fromIp;
    std::uint16_t fromPort = 0;
    std::uint32_t arrivalLag = 0;  // how long before the handler ran the datagram arrived
  };

  FakeQueryWorld();
  FakeQueryWorld(const FakeQueryWorld&) = delete;
  FakeQueryWorld& operator=(const FakeQueryWorld&) = delete;

  // Requests to host:port are answered with `reply`, by default from that address.
  Server& Serve(const std::string& host, int port, std::string reply, long passes = 1);
  void Silence(const std::string& host, int port) { servers.erase({host, port}); }

  // Hands a datagram to the engine now / in a later pass, arrival stamped `lag` ms ago.
  void Deliver(std::string_view bytes, const std::string& ip, std::uint16_t port, std::uint32_t lag = 0);
  void DeliverLater(long passes, std::string bytes, std::string ip, std::uint16_t port,
                    std::uint32_t lag = 0);

  int AddRow(const std::string& address) { return table.AppendRow(address); }
  int AddRows(int count);  // 10.0.<i/250>.<i%250+1>:27015, returns the first position
  std::optional<int> Find(RowId id) const { return table.PositionOf(id); }
  std::string_view CellOf(RowId id, int cell) const { return table.Cell(*table.PositionOf(id), cell); }
  int SendsTo(const std::string& host, int port) const;
  std::vector<std::string> MessagesStartingWith(std::string_view prefix) const;

  ServerTable table;
  StatusLine status;
  SettingsValuesReader settingsReader;
  Settings& settings = settingsReader.Values();  // changed at will, also in the middle of a wait
  FakeClock clock;
  FakeSleeper sleeper{clock};
  FakeEventPump pump;
  FakeOneShotTimer timer{clock};
  FakeDatagramSender sender{clock};
  std::vector<std::string> logged;         // every LogPacket call
  std::vector<std::string> receivedAtLog;  // panel 1 at the moment of each LogPacket call
  std::vector<std::string> messages;       // every text written to the message panel
  std::map<std::pair<std::string, int>, Server> servers;
  QueryEngine engine;
};

}  // namespace vantrix::test
