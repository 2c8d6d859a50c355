#pragma once

#include <cstdint>
#include <functional>

#include "core/query/OneShotTimer.h"
#include "support/FakeClock.h"

namespace vantrix::test {

// A window timer on a fake clock. Poll (run by the event pump each pass) delivers the
// tick once the interval has run out; like a window timer it keeps ticking every
// interval until it is stopped, so a handler that forgets to stop it shows.
class FakeOneShotTimer final : public OneShotTimer {
 public:
  explicit FakeOneShotTimer(FakeClock& clock) : m_clock(clock) {}

  void Start(std::uint32_t intervalMilliseconds) override;
  void Stop() override;
  void SetOnTick(std::function<void()> onTick) { m_onTick = std::move(onTick); }
  void Poll();

  bool Active() const { return m_active; }
  std::uint32_t Interval() const { return m_interval; }
  std::uint32_t StartTick() const { return m_startTick; }
  int Starts() const { return m_starts; }
  int Stops() const { return m_stops; }
  int Ticks() const { return m_ticks; }

 private:
  FakeClock& m_clock;  // read without counting, so the code under test sees its own readings
  std::function<void()> m_onTick;
  bool m_active = false;
  std::uint32_t m_interval = 0;
  std::uint32_t m_startTick = 0;
  int m_starts = 0;
  int m_stops = 0;
  int m_ticks = 0;
};

}  // namespace vantrix::test
