#pragma once

#include "core/query/QueryEngine.h"
#include "core/table/RowCheckFacts.h"
#include "core/time/SteadyClock.h"
#include "gui/platform/AnsweringSleeper.h"
#include "gui/platform/EndpointSender.h"
#include "gui/platform/QtEventPump.h"
#include "gui/platform/QtOneShotTimer.h"
#include "gui/platform/SettingsRelay.h"
#include "gui/platform/TableCheckDriver.h"
#include "net/TIdUDPServer.h"

class QTimer;

namespace vantrix {

class Dispatcher;

// The main window's info query and the parts it runs on, in the order they are made: the
// engine goes first, the endpoint after it. The endpoint is made closed; the window opens it.
struct QueryWiring {
  QueryWiring(ServerTable& table, StatusLine& status, SettingsRelay::Source liveSettings,
              Dispatcher& mainThread, QTimer& timer1, QueryEngine::PacketLogFn logPacket)
      : settings(std::move(liveSettings)),
        idUDPServer1(mainThread),
        sender(idUDPServer1),
        timer1Driver(timer1),
        engine(table, status, settings, clock, sleeper, pump, timer1Driver, sender, std::move(logPacket)),
        atOnce(table, status, clock, sender) {
    engine.SetCheckFacts(&facts);
    // Many answers come at once only during a parallel run: only then may the listener read
    // ahead; F9, F10 and the other windows keep their one datagram at a time.
    atOnce.SetRunningChanged([this](bool running) { idUDPServer1.SetReadAhead(running); });
  }

  QueryWiring(const QueryWiring&) = delete;
  QueryWiring& operator=(const QueryWiring&) = delete;

  // Tests read the settings from here instead of the configuration dialog when it is set.
  const SettingsReader* settingsOverride = nullptr;
  SettingsRelay settings;
  SteadyClock clock;
  AnsweringSleeper sleeper;
  QtEventPump pump;
  TIdUDPServer idUDPServer1;
  EndpointSender sender;
  QtOneShotTimer timer1Driver;
  // What the checks learn beyond the cells: resolved addresses and game ports.
  RowCheckFacts facts;
  QueryEngine engine;
  // "Check all servers at once": the checker's engine driven from the event loop.
  TableCheckDriver atOnce;
};

}  // namespace vantrix
