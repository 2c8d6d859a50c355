#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "net/HeadlessDispatcher.h"
#include "net/TIdUDPServer.h"
#include "support/NetDeliveryLog.h"
#include "support/NetFakeResolver.h"
#include "support/NetPeer.h"

namespace vantrix::test {

// One open endpoint whose owner thread is the test thread, with a recording handler and a
// fake resolver that fails every name unless a test scripts otherwise.
class EndpointFixture : public ::testing::Test {
 protected:
  EndpointFixture()
      : m_resolver(std::make_shared<NetFakeResolver>(ResolveResult{ResolveStatus::HostNotFound, 0})),
        m_server(m_dispatcher, m_resolver) {}

  void SetUp() override {
    m_log.Attach(m_server);
    m_server.Open();
    ASSERT_TRUE(m_server.Active());
    ASSERT_NE(m_server.LocalPort(), 0);
  }

  // Pumps until the log holds `count` entries (bounded).
  bool AwaitDeliveries(std::size_t count) {
    return PumpUntil(m_dispatcher, [&] { return m_log.Count() >= count; });
  }

  // Sends a fresh marker (kept in m_marker) from `peer` and pumps until it is logged:
  // everything sent before it from the same peer has then been delivered or dropped.
  void Flush(const NetPeer& peer) {
    m_marker = "marker " + std::to_string(++m_flushes);
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), m_marker));
    ASSERT_TRUE(PumpUntil(m_dispatcher, [&] {
      const auto entries = m_log.Entries();
      return !entries.empty() && entries.back().bytes == m_marker;
    }));
  }

  HeadlessDispatcher m_dispatcher;
  std::shared_ptr<NetFakeResolver> m_resolver;
  TIdUDPServer m_server;
  NetDeliveryLog m_log;
  std::string m_marker;
  int m_flushes = 0;
};

}  // namespace vantrix::test
