// vantrix-check: checks many game servers at once from the command line.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "check/CheckHostResolver.h"
#include "check/CheckInputs.h"
#include "check/CheckReport.h"
#include "check/CheckRowFilter.h"
#include "check/CheckRunner.h"
#include "check/CheckScheduler.h"
#include "check/CheckSocket.h"
#include "check/CheckWatch.h"
#include "check/MasterRun.h"
#include "check/MonotonicClock.h"
#include "check/ProgressLine.h"
#include "check/TextEscaping.h"
#include "core/master/MasterSession.h"
#include "core/master/WebApiServerList.h"
#include "core/watch/WatchTexts.h"
#include "core/watch/WatchTransitions.h"
#ifdef VANTRIX_WEBAPI
#include <fstream>

#include <QCoreApplication>

#include "webapi/WebApiFetch.h"
#endif
#include "core/util/Version.h"
#include "geo/CountryDatabase.h"
#include "history/HistoryClock.h"
#include "history/HistoryError.h"
#include "history/HistoryPaths.h"
#include "history/HistoryReport.h"

namespace {

using namespace vantrix;

constexpr int kUsageStatus = 2;

int UsageFailure(const std::string& message) {
  std::cerr << "vantrix-check: " << message << "\n(vantrix-check --help shows the options)\n";
  return kUsageStatus;
}

// Resolves the items' hosts; items that cannot be sent to get their error.
std::vector<CheckEndpoint> ResolveItems(std::vector<CheckItem>& items,
                                        std::vector<std::size_t>& endpointOfItem) {
  CheckHostResolver resolver;
  std::vector<std::string> hosts;
  for (const CheckItem& item : items)
    if (item.target) hosts.push_back(item.target->host);
  resolver.ResolveAll(hosts);
  std::vector<CheckEndpoint> endpoints;
  endpointOfItem.assign(items.size(), SIZE_MAX);
  for (std::size_t i = 0; i < items.size(); ++i) {
    CheckItem& item = items[i];
    if (!item.target) continue;
    const CheckHostResolver::Result address = resolver.Resolve(item.target->host);
    if (const auto* error = std::get_if<std::string>(&address)) {
      item.error = *error;
      continue;
    }
    endpointOfItem[i] = endpoints.size();
    endpoints.push_back({std::get<std::uint32_t>(address), item.target->port});
  }
  return endpoints;
}

// The country code of each item that has an address; without the database, none.
std::vector<std::string> CountriesOf(const std::vector<CheckEndpoint>& endpoints,
                                     const std::vector<std::size_t>& endpointOfItem) {
  // Without a database no country is known: none at all, so "country:" stays a plain term.
  const auto database = CountryDatabase::Open(std::string(kDefaultCountryDatabase));
  if (!database) return {};
  std::vector<std::string> codes(endpointOfItem.size());
  for (std::size_t i = 0; i < endpointOfItem.size(); ++i) {
    if (endpointOfItem[i] == SIZE_MAX) continue;
    if (auto country = database->Lookup(endpoints[endpointOfItem[i]].address)) codes[i] = country->code;
  }
  return codes;
}

bool WriteAllOut(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

int RunCheck(const CheckOptions& options) {
  GatheredInputs inputs = GatherInputs(options);
  for (const std::string& error : inputs.errors) std::cerr << "vantrix-check: " << error << "\n";

  std::vector<std::size_t> endpointOfItem;
  const std::vector<CheckEndpoint> endpoints = ResolveItems(inputs.items, endpointOfItem);

  MonotonicClock clock;
  CheckSocket socket;
  CheckScheduler scheduler(endpoints, PlanFromOptions(options), socket, clock);
  ProgressLine progress(options.progress && isatty(STDERR_FILENO));
  CheckRunner(socket, clock, progress).Run(scheduler);

  CheckReport report;
  report.players = options.players;
  report.rules = options.rules;
  report.results.reserve(inputs.items.size());
  for (std::size_t i = 0; i < inputs.items.size(); ++i) {
    if (endpointOfItem[i] != SIZE_MAX) {
      report.results.push_back(scheduler.ResultFor(endpointOfItem[i]));
    } else {
      CheckResult failed;
      failed.status = CheckStatus::kError;
      failed.error = inputs.items[i].error;
      report.results.push_back(std::move(failed));
    }
  }
  report.items = std::move(inputs.items);
  // Countries first: the filter's "country:" reads them, and keeps them beside their rows.
  report.countries = CountriesOf(endpoints, endpointOfItem);
  if (!options.filter.empty()) KeepPassingServers(report, options.filter);

  const CheckFormat format =
      options.format.value_or(isatty(STDOUT_FILENO) ? CheckFormat::kTable : CheckFormat::kJson);
  if (!WriteAllOut(FormatCheckReport(report, format))) {
    std::cerr << "vantrix-check: cannot write the output\n";
    return 1;
  }
  return CheckExitStatus(report, !inputs.errors.empty());
}

// Every input server watched: checked every watchSeconds, one line per change. The first
// round only records what the servers are like.
int RunWatch(const CheckOptions& options) {
  GatheredInputs inputs = GatherInputs(options);
  for (const std::string& error : inputs.errors) std::cerr << "vantrix-check: " << error << "\n";
  std::vector<std::size_t> endpointOfItem;
  const std::vector<CheckEndpoint> endpoints = ResolveItems(inputs.items, endpointOfItem);

  CheckPlan plan = PlanFromOptions(options);
  plan.players = plan.players || !options.buddies.empty();
  WatchTransitions transitions;
  transitions.SetBuddies(options.buddies);
  MonotonicClock clock;
  CheckSocket socket;
  ProgressLine quiet(false);
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; options.watchCount == 0 || round < options.watchCount; ++round) {
    const auto roundStart = started + std::chrono::seconds(std::int64_t{options.watchSeconds} * round);
    std::this_thread::sleep_until(roundStart);
    CheckScheduler scheduler(endpoints, plan, socket, clock);
    CheckRunner(socket, clock, quiet).Run(scheduler);
    const auto nowMs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count());
    std::string lines;
    for (std::size_t i = 0; i < inputs.items.size(); ++i) {
      const CheckResult result =
          endpointOfItem[i] != SIZE_MAX ? scheduler.ResultFor(endpointOfItem[i]) : CheckResult{};
      for (const WatchEvent& event :
           transitions.Observe(inputs.items[i].row.address.Str(), WatchObservationOf(result), nowMs))
        lines += TerminalText(WatchEventLine(event.summary, event.body)) + "\n";
    }
    if (!lines.empty() && !WriteAllOut(lines)) {
      std::cerr << "vantrix-check: cannot write the output\n";
      return 1;
    }
  }
  return 0;
}

// The addresses one a line, or checked (with every other option) when --check asks for it.
int PrintOrCheck(CheckOptions& options, const std::vector<MasterAddress>& addresses, bool failed) {
  if (!options.checkMaster) {
    std::string text;
    for (const MasterAddress& address : addresses)
      if (options.filter.empty() || AddressPasses(address.Text(), options.filter))
        text += address.Text() + "\n";
    if (!WriteAllOut(text)) {
      std::cerr << "vantrix-check: cannot write the output\n";
      return 1;
    }
    return failed ? 1 : 0;
  }
  for (const MasterAddress& address : addresses)
    options.inputs.push_back({CheckInputSpec::Kind::kAddress, address.Text()});
  const int status = RunCheck(options);
  return failed && status == 0 ? 1 : status;
}

// The Web API's list with the key in the file (its first line, without surrounding blanks).
// Returns the addresses; `failure` gets the message when it fails.
std::vector<MasterAddress> AskWebApi(const CheckOptions& options, std::string& failure) {
#ifdef VANTRIX_WEBAPI
  std::ifstream file(options.apiKeyFile);
  std::string key;
  std::getline(file, key);
  const auto first = key.find_first_not_of(" \t\r");
  key = first == std::string::npos ? "" : key.substr(first, key.find_last_not_of(" \t\r") - first + 1);
  if (!file && key.empty()) {
    failure = "Error: Cannot read the key file " + options.apiKeyFile;
    return {};
  }
  int argc = 1;
  char name[] = "vantrix-check";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  WebApiFetch fetch;
  const std::string base = options.webApiUrl.empty() ? std::string(kWebApiServerListUrl) : options.webApiUrl;
  FetchAndWait(fetch,
               WebApiRequestUrl(base, key, options.masterFilter, static_cast<std::size_t>(options.limit)));
  if (!fetch.Failure().empty()) {
    failure = fetch.Failure();
    return {};
  }
  WebApiServerList list = ReadWebApiServerList(fetch.Body(), static_cast<std::size_t>(options.limit));
  failure = list.error;
  return std::move(list.addresses);
#else
  (void)options;
  failure = "Error: this vantrix-check was built without the Web API (it needs Qt Network)";
  return {};
#endif
}

// The master's list: printed one address a line, or handed to the check as its inputs.
int RunMaster(CheckOptions& options) {
  MasterSession session(options.region, options.masterFilter, static_cast<std::size_t>(options.limit));
  if (!options.apiKeyFile.empty()) {
    std::string failure;
    const std::vector<MasterAddress> addresses = AskWebApi(options, failure);
    if (!failure.empty()) std::cerr << "vantrix-check: " << failure << "\n";
    return PrintOrCheck(options, addresses, !failure.empty());
  }
  try {
    MonotonicClock clock;
    const bool showProgress = options.progress && isatty(STDERR_FILENO);
    RunMasterImport(session, ResolveMasterEndpoint(options.master), clock, [&](const MasterSession& running) {
      if (showProgress) std::cerr << "\r" << running.StatusText() << std::flush;
    });
    if (showProgress) std::cerr << "\r\033[K";
  } catch (const std::exception& error) {
    session.Fail(error.what());
  }
  const bool failed =
      session.Outcome() != MasterOutcome::kEnded && session.Outcome() != MasterOutcome::kLimit;
  if (failed) std::cerr << "vantrix-check: " << session.StatusText() << "\n";
  return PrintOrCheck(options, session.Addresses(), failed);
}

// --history: one server's samples or aggregates from the window's history file.
int RunHistory(const CheckOptions& options) {
  const HistorySpan span = ParseSpan(options.span).value_or(HistorySpan::kDay);
  std::vector<HistoryPoint> points;
  try {
    points = ReadHistory(DefaultHistoryPath(), options.history, span, SystemHistoryClock().NowSeconds());
  } catch (const HistoryError& error) {
    std::cerr << "vantrix-check: Error: " << error.what() << "\n";
    return 1;
  }
  if (points.empty()) {
    std::cerr << "vantrix-check: No history yet for " << options.history << "\n";
    return 1;
  }
  const bool csv = options.format.value_or(CheckFormat::kJson) == CheckFormat::kCsv;
  const std::string text = csv ? FormatHistoryCsv(options.history, span, points)
                               : FormatHistoryJson(options.history, span, points);
  if (!WriteAllOut(text)) {
    std::cerr << "vantrix-check: cannot write the output\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CheckOptions options;
  try {
    options = ParseCheckOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const CheckUsageError& error) {
    return UsageFailure(error.what());
  }
  if (options.help) {
    std::cout << CheckUsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "vantrix-check " VANTRIX_VERSION "\n";
    return 0;
  }
  if (!options.history.empty()) return RunHistory(options);
  if (!options.master.empty()) {
    try {
      return RunMaster(options);
    } catch (const std::exception& error) {
      std::cerr << "vantrix-check: " << error.what() << "\n";
      return 1;
    }
  }
  if (options.inputs.empty()) {
    if (isatty(STDIN_FILENO)) return UsageFailure("no servers given");
    options.inputs.push_back({CheckInputSpec::Kind::kStdin, "-"});
  }
  try {
    return options.watchSeconds > 0 ? RunWatch(options) : RunCheck(options);
  } catch (const std::exception& error) {
    std::cerr << "vantrix-check: " << error.what() << "\n";
    return 1;
  }
}
