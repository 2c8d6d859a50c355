// vantrix-check against vantrix-fakeserver, both as processes, on 127.0.0.1 only.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "fake/FakeServerProfile.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryReport.h"
#include "support/FakeServerLauncher.h"
#include "support/TestData.h"

extern char** environ;

namespace vantrix {
namespace {

using Clock = std::chrono::steady_clock;

// A child process with its standard output (and optionally input) on pipes; killed and
// reaped with the object.
class Child {
 public:
  Child(const std::string& program, const std::vector<std::string>& arguments,
        const std::string* input = nullptr) {
    int out[2];
    int in[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0 || (input && pipe2(in, O_CLOEXEC) != 0)) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (input) posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int status = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    m_out = out[0];
    if (input) {
      close(in[0]);
      // Small inputs only: they fit in the pipe at once.
      const ssize_t written = write(in[1], input->data(), input->size());
      close(in[1]);
      if (written != static_cast<ssize_t>(input->size())) throw std::runtime_error("stdin");
    }
    if (status != 0) throw std::runtime_error("cannot start " + program);
  }
  ~Child() {
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Reads standard output until `stop` is found in it, or to its end; false at the limit.
  bool ReadUntil(const std::string& stop, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (stop.empty() || output.find(stop) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) return false;
      pollfd fd{m_out, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
      char buffer[65536];
      const ssize_t got = read(m_out, buffer, sizeof buffer);
      if (got <= 0) return stop.empty();
      output.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
  }

  // The exit status after the output's end; nullopt when it does not end in time.
  std::optional<int> Finish(std::chrono::milliseconds limit) {
    if (!ReadUntil("", limit)) return std::nullopt;
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      usleep(10'000);
    }
    return std::nullopt;
  }

  std::string output;

 private:
  pid_t m_pid = -1;
  int m_out = -1;
};

std::string Bin(const char* name) {
  return (test::BinDir() / name).string();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
    ++count;
  return count;
}

// Simulated servers on a free range of loopback ports (other runs may hold some).
class FakeServers {
 public:
  // With `master`, a simulated master lists the servers on the port after the last one.
  FakeServers(int count, std::vector<std::string> options, bool master = false) : m_count(count) {
    test::FakeServerLauncher::Plan plan;
    plan.count = count;
    plan.options = {"--seconds", "60"};
    plan.options.insert(plan.options.end(), options.begin(), options.end());
    plan.master = master;
    if (!m_launcher.Start(plan))
      throw std::runtime_error("the simulated servers did not start: " + m_launcher.Error());
  }

  std::string Address(int index) const {
    return "127.0.0.1:" + std::to_string(m_launcher.BasePort() + index);
  }
  std::uint16_t BasePort() const { return m_launcher.BasePort(); }
  std::string MasterAddress() const { return Address(m_count); }
  std::string PlainList() const {
    std::string list;
    for (int i = 0; i < m_count; ++i) list += Address(i) + "\r\n";
    return list;
  }

 private:
  int m_count;
  test::FakeServerLauncher m_launcher;
};

struct CheckRun {
  std::optional<int> status;
  std::string output;
};

CheckRun Check(const std::vector<std::string>& arguments, const std::string* input = nullptr) {
  Child child(Bin("vantrix-check"), arguments, input);
  CheckRun run;
  run.status = child.Finish(std::chrono::seconds(30));
  run.output = child.output;
  return run;
}

TEST(CheckEndToEnd, NewerQueriesWithChallengesSplitCompressedRepliesAndSilence) {
  FakeServers servers(30, {"--silent", "3", "--challenge", "6", "--endless-challenge", "1", "--extra-rules",
                           "40", "--split-size", "300", "--compress"});
  test::TempDir dir;
  test::Spit(dir / "servers.txt", servers.PlainList());
  // Room for a challenge round and a compressed split reply under a thread sanitizer's pace.
  const CheckRun run = Check({"--query", "info", "--players", "--rules", "--format", "json", "--retries", "1",
                              "--timeout-ms", "1000", (dir / "servers.txt").string()});
  ASSERT_EQ(run.status, 1) << run.output;
  EXPECT_EQ(Count(run.output, "\"status\":\"answered\""), 26u) << run.output;
  EXPECT_EQ(Count(run.output, "\"status\":\"silent\""), 3u);
  EXPECT_EQ(Count(run.output, "\"error\":\"info: the server keeps answering with a challenge\""), 1u);

  fake::ServerSetup setup;
  setup.count = 30;
  setup.basePort = servers.BasePort();
  setup.silentCount = 3;
  setup.challengeCount = 6;
  setup.endlessChallengeCount = 1;
  setup.extraRules = 40;
  for (const fake::ServerProfile& profile : fake::MakeProfiles(setup)) {
    const std::string start = "{\"address\":\"" + profile.Address() + "\",\"status\":";
    const std::size_t at = run.output.find(start);
    ASSERT_NE(at, std::string::npos) << profile.Address();
    const std::string line = run.output.substr(at, run.output.find('\n', at) - at);
    if (profile.behaviour == fake::Behaviour::kSilent || profile.endlessChallenge) continue;
    EXPECT_NE(line.find("\"name\":\"" + profile.info.name + "\",\"map\":\"" + profile.info.map +
                        "\",\"players\":" + std::to_string(profile.info.players) +
                        ",\"max\":" + std::to_string(profile.info.maxPlayers)),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("{\"name\":\"vx_extra_40\",\"value\":\"extra value 40 of the list\"}]"),
              std::string::npos)
        << line;
    EXPECT_EQ(Count(line, "{\"name\":\"Player "), profile.players.size());
  }
}

// Every input watched: the first round only records; servers that stop answering give one
// line each, whatever the format says, and --count ends the watch with status 0.
TEST(CheckEndToEnd, WatchPrintsOneLinePerChange) {
  auto servers = std::make_unique<FakeServers>(2, std::vector<std::string>{});
  const std::string first = servers->Address(0);
  const std::string second = servers->Address(1);
  Child watch(Bin("vantrix-check"), {"--watch", "2", "--count", "2", "--buddy", "player 1", "--format",
                                     "json", "--timeout-ms", "200", first, second});
  std::this_thread::sleep_for(std::chrono::seconds(1));  // between the first round and the second
  servers.reset();
  ASSERT_EQ(watch.Finish(std::chrono::seconds(20)), 0) << watch.output;
  EXPECT_EQ(watch.output, "Server offline: Vantrix Test Server 1 (" + first +
                              ")\nServer offline: Vantrix Test Server 2 (" + second + ")\n");
}

TEST(CheckEndToEnd, DetailsOfEveryServerFromStandardInputExitZero) {
  FakeServers servers(12, {"--old-split", "--split-size", "100", "--extra-rules", "10"});
  const std::string list = servers.PlainList();
  const CheckRun table = Check({"--query", "details", "--format", "table", "--rules", "-"}, &list);
  ASSERT_EQ(table.status, 0) << table.output;
  EXPECT_TRUE(table.output.starts_with("ADDRESS "));
  EXPECT_NE(table.output.find("12 servers: 12 answered, 0 silent, 0 with errors\n"), std::string::npos);
  EXPECT_EQ(Count(table.output, "    rule vx_extra_10 = extra value 10 of the list\n"), 12u) << table.output;

  const CheckRun vnx = Check({"--query=details", "--format", "vnx", servers.Address(0), servers.Address(1)});
  ASSERT_EQ(vnx.status, 0);
  ServerTable rows;
  ParseRecordLayout(vnx.output, rows);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(rows.Cell(0, kNameCell), "Vantrix Test Server 1");
  EXPECT_EQ(rows.Cell(1, kWCell), "+");

  const CheckRun csv = Check({"--query", "details", "--format", "csv", "--default-port",
                              std::to_string(servers.BasePort() + 2), "127.0.0.1"});
  ASSERT_EQ(csv.status, 0);
  EXPECT_NE(csv.output.find("\r\n127.0.0.1,answered,"), std::string::npos) << csv.output;
  EXPECT_NE(csv.output.find(",Vantrix Test Server 3,"), std::string::npos);
}

// --filter keeps the rows that pass in every format; the summary and the exit status count
// only those (the silent row left out no longer fails the run).
TEST(CheckEndToEnd, FilterKeepsPassingRowsOnly) {
  FakeServers servers(6, {});
  std::string list;
  for (int i = 0; i < 6; ++i) list += servers.Address(i) + (i < 3 ? "|keep me" : "|other") + "\r\n";
  list += servers.Address(6) + "|nobody\r\n";  // nothing answers there
  test::TempDir dir;
  test::Spit(dir / "servers.txt", list);
  const std::vector<std::string> base{
      "--query", "details", "--timeout-ms", "200", "--retries", "0", (dir / "servers.txt").string()};
  const auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), base.begin(), base.end());
    return Check(extra);
  };
  const CheckRun table = with({"--format", "table", "--filter", "comment:\"KEEP me"});
  ASSERT_EQ(table.status, 0) << table.output;
  EXPECT_NE(table.output.find("3 servers: 3 answered, 0 silent, 0 with errors\n"), std::string::npos)
      << table.output;
  const CheckRun json = with({"--format", "json", "--filter", "-comment:keep"});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(Count(json.output, "\"address\""), 4u) << json.output;
  EXPECT_EQ(Count(json.output, "\"status\":\"silent\""), 1u);
  const CheckRun vnx = with({"--format", "vnx", "--filter", "server -nobody keep"});
  ServerTable rows;
  ParseRecordLayout(vnx.output, rows);
  EXPECT_EQ(rows.Count(), 3);
  EXPECT_EQ(with({"--format", "csv", "--filter", "no-such-thing"}).output.find("127.0.0.1"),
            std::string::npos);
}

// Servers of today answer only the current requests, each after a challenge: without --query
// every row is filled; the original request gets nothing from them.
TEST(CheckEndToEnd, WithoutAQueryServersOfTodayAnswer) {
  FakeServers servers(4, {"--current"});
  std::vector<std::string> arguments{"--format", "vnx", "--timeout-ms", "300", "--players", "--rules"};
  for (int i = 0; i < 4; ++i) arguments.push_back(servers.Address(i));
  const CheckRun run = Check(arguments);
  ASSERT_EQ(run.status, 0) << run.output;
  ServerTable rows;
  ParseRecordLayout(run.output, rows);
  ASSERT_EQ(rows.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rows.Cell(i, kWCell), "+") << i;
    EXPECT_EQ(rows.Cell(i, kNameCell), "Vantrix Test Server " + std::to_string(i + 1));
  }
  arguments.insert(arguments.begin(), {"--query", "details"});
  const CheckRun details = Check(arguments);
  EXPECT_EQ(details.status, 1);
  ServerTable silentRows;
  ParseRecordLayout(details.output, silentRows);
  ASSERT_EQ(silentRows.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(silentRows.Cell(i, kWCell), "-") << i;
}

// No --query: the current request with its challenge rounds. A server that keeps sending
// challenges (it would answer the original request) shows which request went out.
TEST(CheckEndToEnd, WithoutAQueryTheCurrentRequestFillsTheRows) {
  FakeServers servers(6, {"--challenge", "2", "--details-for-info", "1", "--endless-challenge", "1"});
  std::vector<std::string> arguments{"--format", "vnx", "--timeout-ms", "300"};
  for (int i = 0; i < 6; ++i) arguments.push_back(servers.Address(i));
  const CheckRun run = Check(arguments);
  ASSERT_EQ(run.status, 1) << run.output;
  ServerTable rows;
  ParseRecordLayout(run.output, rows);
  ASSERT_EQ(rows.Count(), 6);
  fake::ServerSetup setup;
  setup.count = 6;
  setup.basePort = servers.BasePort();
  setup.challengeCount = 2;
  setup.detailsForInfoCount = 1;
  setup.endlessChallengeCount = 1;
  const std::vector<fake::ServerProfile> profiles = fake::MakeProfiles(setup);
  int filled = 0;
  for (int i = 0; i < 6; ++i) {
    const fake::ServerProfile& profile = profiles[static_cast<std::size_t>(i)];
    EXPECT_EQ(rows.Address(i), profile.Address());
    if (profile.endlessChallenge) {
      EXPECT_EQ(rows.Cell(i, kWCell), "-") << profile.Address();
      continue;
    }
    ++filled;
    EXPECT_EQ(rows.Cell(i, kWCell), "+") << profile.Address();
    EXPECT_EQ(rows.Cell(i, kNameCell), profile.info.name);
    EXPECT_EQ(rows.Cell(i, kMapCell), profile.info.map);
  }
  EXPECT_EQ(filled, 5);

  // The same servers asked with the original request all answer, the endless one too.
  arguments.insert(arguments.begin(), {"--query", "details"});
  EXPECT_EQ(Check(arguments).status, 0);
}

TEST(CheckEndToEnd, BadInputsAreReportedPerItemAndBadUsageExitsTwo) {
  FakeServers servers(2, {});
  test::TempDir dir;
  const CheckRun run = Check({"--format", "json", "--timeout-ms", "200", (dir / "missing.vnx").string(),
                              "bad host!", "127.0.0.1:notaport", servers.Address(1)});
  ASSERT_EQ(run.status, 1) << run.output;
  EXPECT_EQ(Count(run.output, "\"status\":\"answered\""), 1u) << run.output;
  EXPECT_NE(run.output.find("\"error\":\"cannot resolve host 'bad host!'\""), std::string::npos);
  EXPECT_NE(run.output.find("\"error\":\"bad port 'notaport'\""), std::string::npos);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--bogus", servers.Address(0)},
                                              {"--timeout-ms", "0", servers.Address(0)},
                                              {"--format"}}) {
    const CheckRun refused = Check(bad);
    EXPECT_EQ(refused.status, 2) << bad[0];
    EXPECT_TRUE(refused.output.empty());
  }
  const CheckRun help = Check({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.output.starts_with("usage: vantrix-check"));
}

// The simulated servers' command line: bad use exits 2 before any port is opened, --help
// lists the options.
TEST(CheckEndToEnd, TheSimulatedServerRefusesBadOptions) {
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--bogus"},
                                              {"stray"},
                                              {"--count", "x"},
                                              {"--count"},
                                              {"--silent-share", "2"},
                                              {"--compress", "--old-split"},
                                              {"--odd-names=1"},
                                              {"--base-port", "65535", "--count", "2"}}) {
    Child child(Bin("vantrix-fakeserver"), bad);
    EXPECT_EQ(child.Finish(std::chrono::seconds(10)), 2) << bad[0];
    EXPECT_EQ(child.output.find("ready"), std::string::npos) << bad[0];
  }
  Child help(Bin("vantrix-fakeserver"), {"--help"});
  EXPECT_EQ(help.Finish(std::chrono::seconds(10)), 0);
  EXPECT_TRUE(help.output.starts_with("usage: vantrix-fakeserver")) << help.output;
  for (const char* option : {"--count", "--base-port", "--split-parts", "--details-for-info", "--seconds"})
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
}

// A reply the simulated server cannot give (more parts than a header can number) goes
// unanswered; the server stays up and answers what it can.
TEST(CheckEndToEnd, TheSimulatedServerOutlivesARequestItCannotAnswer) {
  FakeServers servers(1, {"--extra-rules", "5000", "--split-size", "500"});
  const CheckRun rules =
      Check({"--rules", "--format", "csv", "--timeout-ms", "300", "--retries", "0", servers.Address(0)});
  EXPECT_EQ(rules.status, 1) << rules.output;
  const CheckRun info =
      Check({"--format", "csv", "--timeout-ms", "300", "--retries", "0", servers.Address(0)});
  EXPECT_EQ(info.status, 0) << info.output;
  EXPECT_NE(info.output.find(servers.Address(0) + ",answered,"), std::string::npos) << info.output;
}

// Hosts are read as the window reads them: four decimal parts first (leading zeros decimal),
// anything else through the system's resolver, and never a text cut short at a NUL byte in
// a list file. (Every reading of these texts stays on the loopback network.)
TEST(CheckEndToEnd, HostsAreReadLikeTheWindowReadsThem) {
  FakeServers servers(1, {});
  const std::string port = std::to_string(servers.BasePort());
  test::TempDir dir;
  test::Spit(dir / "odd.txt",
             std::string("127.0.0.1\0junk:") + port + "\r\n127.000.000.001:" + port + "\r\n");
  const CheckRun run = Check({"--format", "csv", "--timeout-ms", "300", "--retries", "0", "127.1:" + port,
                              (dir / "odd.txt").string()});
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("127.1:" + port + ",answered,"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("127.000.000.001:" + port + ",answered,"), std::string::npos) << run.output;
  EXPECT_EQ(Count(run.output, ",answered,"), 2u) << run.output;
  EXPECT_EQ(Count(run.output.substr(run.output.find("\r\n")), ",error,"), 1u)
      << run.output;  // not the header
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

std::string Lines(const FakeServers& servers, int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) text += servers.Address(i) + "\n";
  return text;
}

TEST(CheckEndToEnd, MasterListPagedPrintedAndChecked) {
  // 500 servers: three pages of 231 entries, the end marker on the third.
  FakeServers servers(500, {"--silent", "250"}, true);
  const CheckRun listed =
      Check({"--master", servers.MasterAddress(), "--region", "0x03", "--master-filter", "\\appid\\10"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.output, Lines(servers, 0, 500));

  const CheckRun limited = Check({"--master", servers.MasterAddress(), "--limit", "240"});
  EXPECT_EQ(limited.status, 0);
  EXPECT_EQ(limited.output, Lines(servers, 0, 240));

  const CheckRun checked = Check({"--master", servers.MasterAddress(), "--limit", "20", "--check", "--format",
                                  "csv", "--timeout-ms", "300"});
  EXPECT_EQ(checked.status, 1);  // every other server is silent
  EXPECT_EQ(Count(checked.output, ",answered,"), 10u) << checked.output;
  EXPECT_EQ(Count(checked.output, ",silent,"), 10u);
}

TEST(CheckEndToEnd, MasterFaultsEndTheListWithWhatCame) {
  // A lost page is asked again; a page of garbage ends the list after the first page.
  FakeServers dropping(300, {"--master-drop", "1"}, true);
  const CheckRun retried = Check({"--master", dropping.MasterAddress()});
  EXPECT_EQ(retried.status, 0);
  EXPECT_EQ(retried.output, Lines(dropping, 0, 300));

  FakeServers garbage(300, {"--master-garbage", "1"}, true);
  const CheckRun cut = Check({"--master", garbage.MasterAddress()});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.output, Lines(garbage, 0, 231));

  FakeServers endless(300, {"--master-never-end"}, true);
  const CheckRun round = Check({"--master", endless.MasterAddress(), "--limit", "1000"});
  EXPECT_EQ(round.status, 1);
  EXPECT_EQ(round.output, Lines(endless, 0, 300));
}

}  // namespace
}  // namespace vantrix

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace vantrix {
namespace {

// Answers one HTTP request on 127.0.0.1 with a status and a body, noting the request line;
// gives up after a few seconds without a client.
class OneHttpAnswer {
 public:
  OneHttpAnswer(int status, std::string body) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 1) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("no loopback listener");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this, status, body = std::move(body)] { Serve(status, body); });
  }
  ~OneHttpAnswer() {
    if (m_thread.joinable()) m_thread.join();
    close(m_listener);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/list/"; }
  // Valid once the answering thread is done (after the client finished).
  std::string RequestLine() {
    if (m_thread.joinable()) m_thread.join();
    return m_requestLine;
  }

 private:
  void Serve(int status, const std::string& body) {
    pollfd ready{m_listener, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) return;
    const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    std::string request;
    char buffer[4096];
    for (int reads = 0; reads < 64 && request.find("\r\n\r\n") == std::string::npos; ++reads) {
      pollfd in{client, POLLIN, 0};
      if (poll(&in, 1, 5000) <= 0) break;
      const ssize_t got = read(client, buffer, sizeof buffer);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    m_requestLine = request.substr(0, request.find("\r\n"));
    const std::string reply = "HTTP/1.1 " + std::to_string(status) +
                              " X\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\nConnection: close\r\n\r\n" + body;
    [[maybe_unused]] const ssize_t sent = write(client, reply.data(), reply.size());
    close(client);
  }

  int m_listener = -1;
  std::uint16_t m_port = 0;
  std::thread m_thread;
  std::string m_requestLine;
};

TEST(CheckEndToEnd, WebApiListWithTheKeyFromAFile) {
#ifndef VANTRIX_WEBAPI
  GTEST_SKIP() << "vantrix-check is built without the Web API here (no Qt)";
#endif
  test::TempDir dir;
  test::Spit(dir / "key", " SECRET \n");
  OneHttpAnswer api(
      200, R"({"response":{"servers":[{"addr":"10.0.0.5:27015"},{"addr":"x"},{"addr":"10.0.0.6:27016"}]}})");
  const CheckRun run = Check({"--api-key-file", (dir / "key").string(), "--web-api-url", api.Url(),
                              "--master-filter", "\\appid\\10", "--limit", "50"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "10.0.0.5:27015\n10.0.0.6:27016\n");
  EXPECT_EQ(api.RequestLine(), "GET /list/?key=SECRET&filter=%5Cappid%5C10&limit=50 HTTP/1.1");

  OneHttpAnswer refusing(403, "<html>Forbidden</html>");
  const CheckRun refused = Check({"--api-key-file", (dir / "key").string(), "--web-api-url", refusing.Url()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output, "");
}

// The window's history, read from the data folder: the last day as samples, nothing for an
// address without history.
TEST(CheckEndToEnd, HistoryPrintsTheSamplesTheWindowKept) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "vantrix");
  // Two checks in one ten minutes, an hour ago.
  const std::int64_t first = (std::time(nullptr) - 3600) / 600 * 600 + 10;
  {
    HistoryDatabase db((dir / "vantrix" / "history.sqlite").string());
    db.Append({{first, "10.0.0.5:27015", true, 12, 20, std::nullopt, 41},
               {first + 30, "10.0.0.5:27015", false, 0, 0, std::nullopt, 0}});
  }
  setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  Child csv(Bin("vantrix-check"), {"--history", "10.0.0.5:27015", "--format", "csv"});
  const auto csvStatus = csv.Finish(std::chrono::seconds(10));
  Child week(Bin("vantrix-check"), {"--history", "10.0.0.5:27015", "--span", "7d"});
  const auto weekStatus = week.Finish(std::chrono::seconds(10));
  Child none(Bin("vantrix-check"), {"--history", "10.0.0.9:27015"});
  const auto noneStatus = none.Finish(std::chrono::seconds(10));
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(csvStatus, 0);
  EXPECT_EQ(csv.output, "time,address,answered,players,max,bots,ping\n" + IsoUtcTime(first) +
                            ",10.0.0.5:27015,1,12,20,,41\n" + IsoUtcTime(first + 30) +
                            ",10.0.0.5:27015,0,,,,\n");
  EXPECT_EQ(weekStatus, 0);
  EXPECT_NE(week.output.find("\"count\": 2"), std::string::npos) << week.output;
  EXPECT_EQ(noneStatus, 1);
  EXPECT_EQ(none.output, "");
}

}  // namespace
}  // namespace vantrix
