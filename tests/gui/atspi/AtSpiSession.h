#pragma once

// A private desktop session for accessibility tests: a virtual X display, a D-Bus session
// bus and the accessibility bus launcher (which starts the accessibility bus and its
// registry on demand). Every process runs in a process group of its own and the whole
// group is ended when the session goes, so nothing outlives the test.

#include <sys/types.h>

#include <string>
#include <vector>

namespace vantrix::test {

class AtSpiSession {
 public:
  AtSpiSession() = default;
  ~AtSpiSession();
  AtSpiSession(const AtSpiSession&) = delete;
  AtSpiSession& operator=(const AtSpiSession&) = delete;

  // Starts the display, the bus and the launcher, each within a few seconds, and points
  // this process's environment at them (DISPLAY, DBUS_SESSION_BUS_ADDRESS, the xcb
  // platform, accessibility on), so a QApplication made afterwards joins the session.
  // Returns false with Problem() set when a tool is missing or does not start.
  bool Start();

  // Why Start failed; it begins with "missing" when a tool is not installed.
  const std::string& Problem() const { return m_problem; }
  const std::string& SessionBusAddress() const { return m_busAddress; }

 private:
  struct Child {
    pid_t pid = -1;
  };

  bool Spawn(const std::string& program, const std::vector<std::string>& arguments, int reportFd,
             Child& child);
  bool StartDisplay(const std::string& xvfb, std::string& display);
  bool ReadLine(int fd, int milliseconds, std::string& line);
  void StopChild(Child& child);
  static std::string FindTool(const std::vector<std::string>& candidates);

  Child m_display;
  Child m_bus;
  Child m_launcher;
  std::string m_runtimeDir;
  std::string m_busAddress;
  std::string m_problem;
};

}  // namespace vantrix::test
