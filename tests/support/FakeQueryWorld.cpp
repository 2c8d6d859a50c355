#include "support/FakeQueryWorld.h"

namespace vantrix::test {

std::string SampleInfoReply(const std::string& name, const std::string& map, std::uint8_t players,
                            std::uint8_t maxPlayers, char type, char os, std::uint8_t password) {
  fake::InfoFields fields;
  fields.address = "10.0.0.5:27015";
  fields.name = name;
  fields.map = map;
  fields.players = players;
  fields.maxPlayers = maxPlayers;
  fields.type = static_cast<std::uint8_t>(type);
  fields.os = static_cast<std::uint8_t>(os);
  fields.password = password;
  return fake::BuildInfoReply(fields);
}

FakeQueryWorld::FakeQueryWorld()
    : engine(table, status, settingsReader, clock, sleeper, pump, timer, sender,
             [this](const std::string& datagram) {
               logged.push_back(datagram);
               receivedAtLog.push_back(status.Panel(1));
             }) {
  timer.SetOnTick([this] { engine.Timer1Timer(); });
  pump.AddPoller([this] { timer.Poll(); });
  status.SetObserver([this](int panel) {
    if (panel == StatusLine::kMessagePanel) messages.push_back(status.Message());
  });
  sender.SetOnSend([this](const SentDatagram& sent) {
    auto it = servers.find({sent.host, sent.port});
    if (it == servers.end()) return;
    const Server& server = it->second;
    std::string reply = server.reply;
    if (server.answer) {
      reply = server.answer(sent.bytes);
      if (reply.empty()) return;  // the request goes unanswered
    }
    DeliverLater(server.passes, std::move(reply), server.fromIp, server.fromPort, server.arrivalLag);
  });
}

FakeQueryWorld::Server& FakeQueryWorld::Serve(const std::string& host, int port, std::string reply,
                                              long passes) {
  Server& server = servers[{host, port}];
  server.reply = std::move(reply);
  server.passes = passes;
  server.fromIp = host;
  server.fromPort = static_cast<std::uint16_t>(port);
  return server;
}

void FakeQueryWorld::Deliver(std::string_view bytes, const std::string& ip, std::uint16_t port,
                             std::uint32_t lag) {
  engine.OnDatagram(bytes, ip, port, clock.Now() - lag);
}

void FakeQueryWorld::DeliverLater(long passes, std::string bytes, std::string ip, std::uint16_t port,
                                  std::uint32_t lag) {
  pump.PostAfter(passes, [this, bytes = std::move(bytes), ip = std::move(ip), port, lag] {
    Deliver(bytes, ip, port, lag);
  });
}

int FakeQueryWorld::AddRows(int count) {
  const int first = table.Count();
  for (int i = 0; i < count; ++i)
    table.AppendRow("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1) + ":27015");
  return first;
}

int FakeQueryWorld::SendsTo(const std::string& host, int port) const {
  int count = 0;
  for (const auto& sent : sender.Sent())
    if (sent.host == host && sent.port == port) ++count;
  return count;
}

std::vector<std::string> FakeQueryWorld::MessagesStartingWith(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const auto& message : messages)
    if (std::string_view(message).starts_with(prefix)) found.push_back(message);
  return found;
}

}  // namespace vantrix::test
