#include "support/FakeServerLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "support/TestData.h"

extern char** environ;

namespace vantrix::test {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

FakeServerLauncher::~FakeServerLauncher() {
  Stop();
}

bool FakeServerLauncher::Start(const Plan& plan) {
  Stop();
  std::mt19937 random(static_cast<unsigned>(getpid()) ^
                      static_cast<unsigned>(Clock::now().time_since_epoch().count()));
  const int span = plan.highestPort - plan.lowestPort - plan.count - (plan.master ? 1 : 0);
  for (int attempt = 0; attempt < plan.attempts; ++attempt) {
    m_count = plan.count;
    m_basePort = static_cast<std::uint16_t>(plan.lowestPort +
                                            static_cast<int>(random() % static_cast<unsigned>(span)));
    if (Launch(plan)) return true;
  }
  return false;
}

bool FakeServerLauncher::Launch(const Plan& plan) {
  const std::string program = (BinDir() / "vantrix-fakeserver").string();
  std::vector<std::string> arguments{program, "--count", std::to_string(plan.count), "--base-port",
                                     std::to_string(m_basePort)};
  arguments.insert(arguments.end(), plan.options.begin(), plan.options.end());
  if (plan.master) {
    arguments.push_back("--master");
    arguments.push_back(std::to_string(MasterPort()));
    arguments.insert(arguments.end(), plan.masterOptions.begin(), plan.masterOptions.end());
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    m_error = "cannot make a pipe";
    return false;
  }
  m_out.Reset(out[0]);
  UniqueFd writeEnd(out[1]);
  char errName[] = "/tmp/vantrix-fakeserver-XXXXXX";
  m_err.Reset(mkostemp(errName, O_CLOEXEC));
  if (!m_err.Valid()) {
    m_error = "cannot make a file for the servers' errors";
    return false;
  }
  unlink(errName);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, m_err.Get(), STDERR_FILENO);
  const int spawned = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  writeEnd.Reset();
  if (spawned != 0) {
    m_pid = -1;
    m_error = "cannot start " + program;
    return false;
  }

  std::string output;
  const auto deadline = Clock::now() + plan.readyWithin;
  while (output.find("ready") == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd fd{m_out.Get(), POLLIN, 0};
    const int polled = poll(&fd, 1, static_cast<int>(left));
    if (polled < 0 && errno != EINTR) break;
    if (polled <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(m_out.Get(), buffer, sizeof buffer);
    if (got <= 0) break;  // the servers ended before they were ready
    output.append(buffer, static_cast<std::size_t>(got));
  }
  if (output.find("ready") != std::string::npos) return true;
  kill(m_pid, SIGKILL);
  Reap(std::chrono::seconds(5));
  m_error = "vantrix-fakeserver did not get ready: " + ErrorOutput();
  return false;
}

std::optional<int> FakeServerLauncher::Reap(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = -1;
      return status;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string FakeServerLauncher::ErrorOutput() const {
  std::string text;
  char buffer[4096];
  off_t at = 0;
  for (ssize_t got; (got = pread(m_err.Get(), buffer, sizeof buffer, at)) > 0; at += got)
    text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

std::optional<FakeServerLauncher::Counts> FakeServerLauncher::Stop() {
  if (!Running()) return std::nullopt;
  kill(m_pid, SIGTERM);
  std::optional<int> status = Reap(std::chrono::seconds(10));
  if (!status) {
    kill(m_pid, SIGKILL);
    Reap(std::chrono::seconds(5));
    return std::nullopt;
  }
  const std::string report = ErrorOutput();
  Counts counts;
  const std::size_t at = report.rfind("vantrix-fakeserver: ");
  if (at == std::string::npos ||
      std::sscanf(report.c_str() + at, "vantrix-fakeserver: %ld requests, %ld datagrams sent",
                  &counts.requests, &counts.datagrams) != 2)
    return std::nullopt;
  return counts;
}

}  // namespace vantrix::test
