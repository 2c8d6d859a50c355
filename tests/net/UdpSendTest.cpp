#include <sys/socket.h>

#include <cerrno>
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "net/EIdErrors.h"
#include "net/EndpointFixture.h"

namespace vantrix::test {
namespace {

using namespace std::chrono_literals;

using UdpSend = EndpointFixture;

std::string SendError(TIdUDPServer& server, std::string_view host, int port, std::string_view bytes = "x") {
  try {
    server.Send(host, port, bytes);
  } catch (const EIdSocketError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST_F(UdpSend, DatagramLeavesFromTheBoundPort) {
  const NetPeer peer;
  const std::string request(
      "\xFF\xFF\xFF\xFF"
      "details\0",
      12);
  m_server.Send("127.0.0.1", peer.Port(), request);
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, request);
  EXPECT_EQ(got->port, m_server.LocalPort());
}

TEST_F(UdpSend, RepliesReachTheSendingEndpoint) {
  const NetPeer peer;
  m_server.Send("127.0.0.1", peer.Port(), "ping");
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  ASSERT_TRUE(peer.SendTo(got->port, "pong"));
  ASSERT_TRUE(AwaitDeliveries(1));
  EXPECT_EQ(m_log.Entries()[0].bytes, "pong");
  EXPECT_EQ(m_log.Entries()[0].senderPort, peer.Port());
}

TEST_F(UdpSend, LocalhostAndDottedHostsSkipTheResolver) {
  const NetPeer peer;
  for (const char* host : {"localhost", "LOCALHOST", "LocalHost", "127.000.000.001", "127.0.0.1"}) {
    m_server.Send(host, peer.Port(), host);
    const auto got = peer.Receive(5s);
    ASSERT_TRUE(got.has_value()) << host;
    EXPECT_EQ(got->bytes, host);
  }
  EXPECT_TRUE(m_resolver->Questions().empty());
}

TEST(UdpSendResolver, InvalidDottedHostGoesThroughTheResolver) {
  HeadlessDispatcher dispatcher;
  // The fake answers with loopback, so nothing is ever sent off this machine.
  auto resolver = std::make_shared<NetFakeResolver>(ResolveResult{ResolveStatus::Found, 0x7F000001u});
  TIdUDPServer server(dispatcher, resolver);
  server.Open();
  const NetPeer peer;
  server.Send("10.0.0.256", peer.Port(), "via resolver");
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, "via resolver");
  EXPECT_EQ(resolver->Questions(), (std::vector<std::string>{"10.0.0.256"}));
}

TEST(UdpSendResolver, SystemResolverIsTheDefault) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  server.Open();
  const NetPeer peer;
  // Not a dotted address by the endpoint's rule; the system resolver reads it as 127.0.0.1.
  server.Send("127.1", peer.Port(), "short form");
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, "short form");
}

TEST_F(UdpSend, UnresolvableHostGivesTheExactMessage) {
  EXPECT_EQ(SendError(m_server, "no-such-host.example", 27015), "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(m_resolver->Questions(), (std::vector<std::string>{"no-such-host.example"}));
  EXPECT_EQ(SendError(m_server, "", 27015), "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(SendError(m_server, std::string_view("127.0.0.1\0", 10), 27015),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(m_resolver->Questions().size(), 1u);
  // Every socket error is also the program's base error.
  EXPECT_THROW(m_server.Send("no-such-host.example", 27015, "x"), EIdException);
}

TEST_F(UdpSend, PortsOutsideTheRangeAreRefusedNotTruncated) {
  const NetPeer peer;
  const std::string invalid = "Socket Error # " + std::to_string(EINVAL) + "\r\n" + ErrnoText(EINVAL);
  for (const int port : {0, -1, 99999, 65536 + peer.Port(), -65536 + peer.Port(), INT32_MIN}) {
    EXPECT_EQ(SendError(m_server, "127.0.0.1", port), invalid) << port;
  }
  // 65536 + port would land on the peer if cut to 16 bits.
  EXPECT_FALSE(peer.Receive(200ms).has_value());
  m_server.Send("127.0.0.1", 65535, "top of the range");
  m_server.Send("127.0.0.1", peer.Port(), "in range");
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, "in range");
}

TEST_F(UdpSend, DatagramTooLargeForTheTransport) {
  const NetPeer peer;
  try {
    m_server.Send("127.0.0.1", peer.Port(), std::string(65508, 'a'));
    ADD_FAILURE() << "no error";
  } catch (const EIdPackageSizeTooBig& error) {
    EXPECT_STREQ(error.what(), "Package Size Too Big.");
  }
  const std::string largest(65507, 'b');
  m_server.Send("127.0.0.1", peer.Port(), largest);
  const auto got = peer.Receive(5s);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, largest);
}

TEST_F(UdpSend, ClosedEndpointCannotSend) {
  m_server.Close();
  const std::string closed = "Socket Error # " + std::to_string(EBADF) + "\r\n" + ErrnoText(EBADF);
  EXPECT_EQ(SendError(m_server, "127.0.0.1", 27015), closed);
}

int BroadcastOption(const TIdUDPServer& server) {
  int value = -1;
  socklen_t size = sizeof value;
  if (::getsockopt(server.Binding().Handle(), SOL_SOCKET, SO_BROADCAST, &value, &size) != 0) return -1;
  return value;
}

TEST_F(UdpSend, BroadcastPermissionFollowsTheProperty) {
  // The loopback network's own broadcast address; nothing leaves the machine.
  constexpr const char* kLoopbackBroadcast = "127.255.255.255";
  const std::string denied = "Socket Error # " + std::to_string(EACCES) + "\r\n" + ErrnoText(EACCES);
  EXPECT_FALSE(m_server.BroadcastEnabled());
  EXPECT_EQ(BroadcastOption(m_server), 0);
  EXPECT_EQ(SendError(m_server, kLoopbackBroadcast, m_server.LocalPort()), denied);

  m_server.SetBroadcastEnabled(true);
  EXPECT_NE(BroadcastOption(m_server), 0);
  m_server.Send(kLoopbackBroadcast, m_server.LocalPort(), "to all");
  // The endpoint listens on all addresses, so its own broadcast comes back like a reply.
  ASSERT_TRUE(AwaitDeliveries(1));
  EXPECT_EQ(m_log.Entries()[0].bytes, "to all");
  EXPECT_EQ(m_log.Entries()[0].senderPort, m_server.LocalPort());

  m_server.SetBroadcastEnabled(false);
  EXPECT_EQ(BroadcastOption(m_server), 0);
  EXPECT_EQ(SendError(m_server, kLoopbackBroadcast, m_server.LocalPort()), denied);
}

TEST(UdpSendBroadcast, PermissionSetBeforeOpeningIsApplied) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  server.SetBroadcastEnabled(true);  // stored while closed
  server.Open();
  EXPECT_NE(BroadcastOption(server), 0);
  server.Send("127.255.255.255", server.LocalPort(), "x");
  server.Close();
  server.SetBroadcastEnabled(false);
  server.Open();
  EXPECT_EQ(BroadcastOption(server), 0);
}

}  // namespace
}  // namespace vantrix::test
