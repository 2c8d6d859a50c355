#include "gui/atspi/AtSpiSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

extern char** environ;

namespace vantrix::test {

namespace {

constexpr int kStartMilliseconds = 8000;

std::vector<std::string> PathDirectories() {
  std::vector<std::string> out;
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= all.size()) {
    const std::size_t end = all.find(':', start);
    out.push_back(all.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

bool Executable(const std::string& path) {
  return !path.empty() && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

AtSpiSession::~AtSpiSession() {
  // The launcher first: its group holds the accessibility bus and the registry.
  StopChild(m_launcher);
  StopChild(m_bus);
  StopChild(m_display);
  if (!m_runtimeDir.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_runtimeDir, ignored);
  }
}

std::string AtSpiSession::FindTool(const std::vector<std::string>& candidates) {
  for (const std::string& candidate : candidates) {
    if (candidate.find('/') != std::string::npos) {
      if (Executable(candidate)) return candidate;
      continue;
    }
    for (const std::string& dir : PathDirectories())
      if (Executable(dir + "/" + candidate)) return dir + "/" + candidate;
  }
  return {};
}

bool AtSpiSession::Spawn(const std::string& program, const std::vector<std::string>& arguments, int reportFd,
                         Child& child) {
  // Everything the child needs is made before the fork: after it, only calls that are
  // safe in a child of a threaded process.
  std::vector<std::string> all{program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t parent = ::getpid();

  const pid_t pid = ::fork();
  if (pid < 0) {
    m_problem = "cannot start " + program + ": " + std::strerror(errno);
    return false;
  }
  if (pid == 0) {
    // A group of its own, so the session can end the child with whatever it started; and
    // the end of the test process, even by a crash, ends the child too.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      ::dup2(devNull, 0);
      ::dup2(devNull, 1);
      ::dup2(devNull, 2);
    }
    if (reportFd >= 0) ::dup2(reportFd, 3);  // dup2 clears close-on-exec on the copy
    ::execve(program.c_str(), argv.data(), environ);
    ::_exit(127);
  }
  ::setpgid(pid, pid);
  child.pid = pid;
  return true;
}

bool AtSpiSession::ReadLine(int fd, int milliseconds, std::string& line) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  line.clear();
  for (int reads = 0; reads < 4096; ++reads) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) return false;
    char c = 0;
    if (::read(fd, &c, 1) != 1) return false;
    if (c == '\n') return !line.empty();
    line.push_back(c);
  }
  return false;
}

void AtSpiSession::StopChild(Child& child) {
  if (child.pid <= 0) return;
  ::kill(-child.pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 300; ++i) {
    if (::waitpid(child.pid, &status, WNOHANG) != 0) {
      // The group may still hold a grandchild that ignored the leader's end.
      ::kill(-child.pid, SIGKILL);
      child.pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(-child.pid, SIGKILL);
  ::waitpid(child.pid, &status, 0);
  child.pid = -1;
}

// A display number picked at random far above the usual ones, so that other programs'
// displays on this machine are left alone; the server says on the pipe when it is ready,
// and ends at once when the number is taken, which is then tried again with another. It
// never resets: without -noreset an X server resets when its last client leaves (the bus
// launcher's, say), one more moment at which the test's connection could fail.
bool AtSpiSession::StartDisplay(const std::string& xvfb, std::string& display) {
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> numbers(200, 899);
  for (int attempt = 0; attempt < 6; ++attempt) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
      m_problem = "no pipe";
      return false;
    }
    const std::string number = std::to_string(numbers(random));
    const bool spawned = Spawn(
        xvfb,
        {":" + number, "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
        pipeFds[1], m_display);
    ::close(pipeFds[1]);
    const bool ready = spawned && ReadLine(pipeFds[0], kStartMilliseconds, display);
    ::close(pipeFds[0]);
    if (ready) return true;
    if (!spawned) return false;
    StopChild(m_display);
  }
  m_problem = "the virtual display did not start";
  return false;
}

bool AtSpiSession::Start() {
  const std::string xvfb = FindTool({"Xvfb"});
  const std::string daemon = FindTool({"dbus-daemon"});
  const std::string launcher =
      FindTool({"/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher",
                "/usr/lib/at-spi2/at-spi-bus-launcher", "at-spi-bus-launcher"});
  std::string missing;
  if (xvfb.empty()) missing += " Xvfb (package xvfb)";
  if (daemon.empty()) missing += " dbus-daemon (package dbus-daemon)";
  if (launcher.empty()) missing += " at-spi-bus-launcher (package at-spi2-core)";
  if (!missing.empty()) {
    m_problem = "missing" + missing;
    return false;
  }

  char runtimeTemplate[] = "/tmp/vantrix-atspi-XXXXXX";
  if (!::mkdtemp(runtimeTemplate)) {
    m_problem = "cannot make a runtime folder";
    return false;
  }
  m_runtimeDir = runtimeTemplate;
  ::chmod(m_runtimeDir.c_str(), 0700);

  std::string display;
  if (!StartDisplay(xvfb, display)) return false;

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    m_problem = "no pipe";
    return false;
  }
  bool ok = Spawn(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=3"}, pipeFds[1], m_bus);
  ::close(pipeFds[1]);
  if (ok && !ReadLine(pipeFds[0], kStartMilliseconds, m_busAddress)) {
    m_problem = "the session bus did not start";
    ok = false;
  }
  ::close(pipeFds[0]);
  if (!ok) return false;

  ::setenv("DISPLAY", (":" + display).c_str(), 1);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", m_runtimeDir.c_str(), 1);
  // The launcher makes the accessibility bus at once instead of on the first request.
  if (!Spawn(launcher, {"--launch-immediately"}, -1, m_launcher)) return false;

  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  ::setenv("QT_ACCESSIBILITY", "1", 1);
  // No screen reader sets the desktop's "screen reader on" flag here; this tells the
  // toolkit to serve the accessibility bus all the same.
  ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
  ::unsetenv("AT_SPI_BUS_ADDRESS");
  return true;
}

}  // namespace vantrix::test
