// Countries of a 1,000,000-row list: the window shown with and without the flags, the time
// until the shown rows have theirs, and every address looked up with the memory it adds.
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>

#include "core/settings/ConfigFile.h"
#include "geo/CountryLookups.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/model/RowCountries.h"
#include "gui/model/ServerTableModel.h"
#include "net/IPv4Text.h"
#include "support/BenchLists.h"
#include "support/WindowBench.h"

namespace vantrix {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 1000000;
const std::string kPackaged = "/usr/share/libloc-location/location.db";

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Resident memory of the process in bytes.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0;
}

// Distinct public addresses spread over the whole space (a multiplication by an odd number is
// a permutation), skipping the private, loopback and multicast ranges.
std::vector<std::uint32_t> PublicAddresses(int count) {
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<std::size_t>(count));
  for (std::uint32_t i = 1; static_cast<int>(out.size()) < count; ++i) {
    const std::uint32_t ip = i * 2654435761u;
    const std::uint32_t first = ip >> 24;
    if (first == 0 || first == 10 || first == 127 || first >= 224 || (ip >> 20) == 0xAC1 ||
        (ip >> 16) == 0xC0A8)
      continue;
    out.push_back(ip);
  }
  return out;
}

void FillPublic(ServerTable& table, const std::vector<std::uint32_t>& addresses) {
  table.BeginUpdate();
  for (const std::uint32_t ip : addresses) table.AppendRow(FormatIPv4(ip) + ":27015");
  table.EndUpdate();
}

// The window with a million public addresses, shown: arg 1 with the flags, 0 without (the
// window as it was before countries). Then the time until every row in view has its answer.
void BM_WindowShowsMillionRows(benchmark::State& state) {
  const bool flags = state.range(0) == 1;
  const std::vector<std::uint32_t> addresses = PublicAddresses(kRows);
  bench::Folder folder;
  for (auto _ : state) {
    state.PauseTiming();
    Application app;
    app.Form5().SetConfigFile(ConfigFile(folder.File("config.ini")));
    app.SetProgramEnd([] {});
    TForm1& form = app.Form1();
    if (!flags) form.Model().SetRowCountries(nullptr);
    FillPublic(form.Table(), addresses);
    const double before = ResidentBytes();
    state.ResumeTiming();
    const auto start = Clock::now();
    form.show();
    QApplication::processEvents();
    form.ListView1()->viewport()->repaint();
    const double shown = MillisecondsSince(start);
    state.PauseTiming();
    QTreeView* view = form.ListView1();
    const int last = std::max(0, view->indexAt(QPoint(0, view->viewport()->height() - 1)).row());
    const auto inView = [&] {
      for (int row = 0; row <= last; ++row)
        if (form.Countries().Lookups().Pending(addresses[static_cast<std::size_t>(row)])) return false;
      return true;
    };
    while (flags && !inView() && MillisecondsSince(start) < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    QApplication::processEvents();
    view->viewport()->repaint();
    state.counters["show_ms"] = shown;
    state.counters["flags_after_show_ms"] = MillisecondsSince(start) - shown;
    state.counters["rows_in_view"] = last + 1;
    state.counters["added_bytes"] = ResidentBytes() - before;
    if (flags && !form.Countries().CountryOfRow(0) && !inView()) state.SkipWithError("no answers");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowShowsMillionRows)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every one of a million distinct addresses asked (what a filter by country over the whole
// list costs): the asking thread's time, the time until all are answered, the longest turn of
// the asking thread that merges answers, and the memory the cache adds.
void BM_CountryLookupsMillionAddresses(benchmark::State& state) {
  const std::vector<std::uint32_t> addresses = PublicAddresses(kRows);
  for (auto _ : state) {
    const double before = ResidentBytes();
    CountryLookups lookups(kPackaged, {});
    const auto start = Clock::now();
    for (const std::uint32_t ip : addresses) lookups.Find(ip);
    const double asked = MillisecondsSince(start);
    double longestTurn = 0;
    std::size_t found = 0;
    while (lookups.Pending(addresses.back()) && MillisecondsSince(start) < 60000) {
      lookups.WaitForAnswers(std::chrono::milliseconds(0));
      const auto turn = Clock::now();
      lookups.TakeAnswers(65536);
      longestTurn = std::max(longestTurn, MillisecondsSince(turn));
    }
    while (lookups.TakeAnswers(65536)) {
    }
    const double answered = MillisecondsSince(start);
    for (const std::uint32_t ip : addresses) found += lookups.Find(ip) != nullptr;
    state.counters["ask_ms"] = asked;
    state.counters["all_answered_ms"] = answered;
    state.counters["longest_merge_ms"] = longestTurn;
    state.counters["with_country"] = static_cast<double>(found);
    state.counters["added_bytes"] = ResidentBytes() - before;
  }
}
BENCHMARK(BM_CountryLookupsMillionAddresses)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static vantrix::bench::WindowBenchHooks hooks;
  return hooks;
}
