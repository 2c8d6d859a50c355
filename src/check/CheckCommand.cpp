#include "check/CheckCommand.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <thread>
#include <utility>

#include "check/CheckInputs.h"
#include "check/CheckReport.h"
#include "check/CheckRowFilter.h"
#include "check/ItemEndpoints.h"
#include "check/PlanFromOptions.h"
#include "check/ProgressLine.h"
#include "check/WatchRoundLines.h"
#include "client/CheckRunner.h"
#include "client/CheckScheduler.h"
#include "client/MasterRun.h"
#include "client/UdpClientSocket.h"
#include "core/master/MasterSession.h"
#include "core/time/MonotonicClock.h"
#include "core/time/SystemWallClock.h"
#include "geo/CountryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryPaths.h"
#include "history/HistoryReport.h"

namespace vantrix {

namespace {

// The key is the file's first line without surrounding blanks; nullopt when the file cannot
// be read at all.
std::optional<std::string> ReadApiKey(const std::string& path) {
  std::ifstream file(path);
  std::string key;
  std::getline(file, key);
  const auto first = key.find_first_not_of(" \t\r");
  key = first == std::string::npos ? "" : key.substr(first, key.find_last_not_of(" \t\r") - first + 1);
  if (!file && key.empty()) return std::nullopt;
  return key;
}

// The country of an address from the offline database; none at all without it.
CountryOfAddress CountriesFromDatabase() {
  std::shared_ptr<CountryDatabase> database = CountryDatabase::Open(std::string(kDefaultCountryDatabase));
  if (!database) return {};
  return [database](std::uint32_t address) {
    const auto country = database->Lookup(address);
    return country ? country->code : std::string();
  };
}

}  // namespace

CheckConsole CheckConsole::Standard() {
  CheckConsole console;
  console.write = [](const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
  };
  console.errors = &std::cerr;
  console.inputIsTerminal = isatty(STDIN_FILENO) != 0;
  console.outputIsTerminal = isatty(STDOUT_FILENO) != 0;
  console.errorsIsTerminal = isatty(STDERR_FILENO) != 0;
  return console;
}

int UsageFailure(std::ostream& errors, const std::string& message) {
  errors << "vantrix-check: " << message << "\n(vantrix-check --help shows the options)\n";
  return kUsageStatus;
}

CheckCommand::CheckCommand(CheckOptions options, CheckConsole console, WebApiAsk webApi)
    : m_options(std::move(options)), m_console(std::move(console)), m_webApi(std::move(webApi)) {}

int CheckCommand::Run() {
  if (!m_options.history.empty()) return RunHistory();
  try {
    if (!m_options.master.empty()) return RunMaster();
    if (m_options.inputs.empty()) {
      if (m_console.inputIsTerminal) return UsageFailure(*m_console.errors, "no servers given");
      m_options.inputs.push_back({CheckInputSpec::Kind::kStdin, "-"});
    }
    return m_options.watchSeconds > 0 ? RunWatch() : RunCheck();
  } catch (const std::exception& error) {
    Tell(error.what());
    return 1;
  }
}

int CheckCommand::RunCheck() {
  GatheredInputs inputs = GatherInputs(m_options);
  for (const std::string& error : inputs.errors) Tell(error);
  const ItemEndpoints endpoints = ResolveItems(inputs.items);

  MonotonicClock clock;
  UdpClientSocket socket;
  CheckScheduler scheduler(endpoints.endpoints, PlanFromOptions(m_options), socket, clock);
  ProgressLine progress(m_options.progress && m_console.errorsIsTerminal);
  CheckRunner(socket, clock, progress).Run(scheduler);

  // Countries first: the filter's "country:" reads them, and keeps them beside their rows.
  CheckReport report = AssembleReport(
      std::move(inputs.items), endpoints,
      [&scheduler](std::size_t endpoint) -> const CheckResult& { return scheduler.ResultFor(endpoint); },
      CountriesFromDatabase());
  report.players = m_options.players;
  report.rules = m_options.rules;
  if (!m_options.filter.empty()) KeepPassingServers(report, m_options.filter);

  const CheckFormat format =
      m_options.format.value_or(m_console.outputIsTerminal ? CheckFormat::kTable : CheckFormat::kJson);
  if (Write(FormatCheckReport(report, format)) != 0) return 1;
  return CheckExitStatus(report, !inputs.errors.empty());
}

// Every input server watched: checked every watchSeconds, one line per change. The first
// round only records what the servers are like.
int CheckCommand::RunWatch() {
  GatheredInputs inputs = GatherInputs(m_options);
  for (const std::string& error : inputs.errors) Tell(error);
  const ItemEndpoints endpoints = ResolveItems(inputs.items);

  CheckPlan plan = PlanFromOptions(m_options);
  plan.players = plan.players || !m_options.buddies.empty();
  WatchTransitions transitions;
  transitions.SetBuddies(m_options.buddies);
  MonotonicClock clock;
  UdpClientSocket socket;
  ProgressLine quiet(false);
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; m_options.watchCount == 0 || round < m_options.watchCount; ++round) {
    std::this_thread::sleep_until(started +
                                  std::chrono::seconds(std::int64_t{m_options.watchSeconds} * round));
    CheckScheduler scheduler(endpoints.endpoints, plan, socket, clock);
    CheckRunner(socket, clock, quiet).Run(scheduler);
    const auto nowMs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count());
    const std::string lines = WatchRoundLines(
        transitions, inputs.items, endpoints,
        [&scheduler](std::size_t endpoint) -> const CheckResult& { return scheduler.ResultFor(endpoint); },
        nowMs);
    if (!lines.empty() && Write(lines) != 0) return 1;
  }
  return 0;
}

// The master's list: printed one address a line, or handed to the check as its inputs.
int CheckCommand::RunMaster() {
  MasterSession session(m_options.region, m_options.masterFilter, static_cast<std::size_t>(m_options.limit));
  if (!m_options.apiKeyFile.empty()) {
    std::string failure;
    const std::vector<MasterAddress> addresses = AskWebApi(failure);
    if (!failure.empty()) Tell(failure);
    return PrintOrCheck(addresses, !failure.empty());
  }
  try {
    MonotonicClock clock;
    const bool showProgress = m_options.progress && m_console.errorsIsTerminal;
    RunMasterImport(session, ResolveMasterEndpoint(m_options.master), clock,
                    [&](const MasterSession& running) {
                      if (showProgress) *m_console.errors << "\r" << running.StatusText() << std::flush;
                    });
    if (showProgress) *m_console.errors << "\r\033[K";
  } catch (const std::exception& error) {
    session.Fail(error.what());
  }
  const bool failed =
      session.Outcome() != MasterOutcome::kEnded && session.Outcome() != MasterOutcome::kLimit;
  if (failed) Tell(session.StatusText());
  return PrintOrCheck(session.Addresses(), failed);
}

// The addresses one a line, or checked (with every other option) when --check asks for it.
int CheckCommand::PrintOrCheck(const std::vector<MasterAddress>& addresses, bool failed) {
  if (!m_options.checkMaster) {
    std::string text;
    for (const MasterAddress& address : addresses)
      if (m_options.filter.empty() || AddressPasses(address.Text(), m_options.filter))
        text += address.Text() + "\n";
    if (Write(text) != 0) return 1;
    return failed ? 1 : 0;
  }
  for (const MasterAddress& address : addresses)
    m_options.inputs.push_back({CheckInputSpec::Kind::kAddress, address.Text()});
  const int status = RunCheck();
  return failed && status == 0 ? 1 : status;
}

// The Web API's list with the key in the file. Returns the addresses; `failure` gets the
// message when it fails.
std::vector<MasterAddress> CheckCommand::AskWebApi(std::string& failure) {
  if (!m_webApi) {
    failure = "Error: this vantrix-check was built without the Web API (it needs Qt Network)";
    return {};
  }
  const std::optional<std::string> key = ReadApiKey(m_options.apiKeyFile);
  if (!key) {
    failure = "Error: Cannot read the key file " + m_options.apiKeyFile;
    return {};
  }
  const auto limit = static_cast<std::size_t>(m_options.limit);
  const std::string base =
      m_options.webApiUrl.empty() ? std::string(kWebApiServerListUrl) : m_options.webApiUrl;
  WebApiServerList list = m_webApi(WebApiRequestUrl(base, *key, m_options.masterFilter, limit), limit);
  failure = list.error;
  return std::move(list.addresses);
}

// --history: one server's samples or aggregates from the window's history file.
int CheckCommand::RunHistory() {
  const HistorySpan span = ParseSpan(m_options.span).value_or(HistorySpan::kDay);
  std::vector<HistoryPoint> points;
  try {
    points = ReadHistory(DefaultHistoryPath(), m_options.history, span, SystemWallClock().NowSeconds());
  } catch (const HistoryError& error) {
    Tell(std::string("Error: ") + error.what());
    return 1;
  }
  if (points.empty()) {
    Tell("No history yet for " + m_options.history);
    return 1;
  }
  const bool csv = m_options.format.value_or(CheckFormat::kJson) == CheckFormat::kCsv;
  return Write(csv ? FormatHistoryCsv(m_options.history, span, points)
                   : FormatHistoryJson(m_options.history, span, points));
}

int CheckCommand::Write(const std::string& text) {
  if (m_console.write(text)) return 0;
  Tell("cannot write the output");
  return 1;
}

void CheckCommand::Tell(const std::string& message) {
  *m_console.errors << "vantrix-check: " << message << "\n";
}

}  // namespace vantrix
