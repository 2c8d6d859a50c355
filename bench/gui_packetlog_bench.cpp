// Appending datagrams to the packet log window: the text box must take each line without
// laying out the whole log again.

#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>

#include "core/time/WallClock.h"
#include "gui/Unit7.h"
#include "support/WindowBench.h"

namespace {

class FixedClock final : public vantrix::WallClock {
 public:
  std::int64_t NowSeconds() const override { return 0; }
  vantrix::TimeOfDay LocalTimeOfDay() const override { return {12, 0, 0}; }
};

template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// A typical info reply with its zero bytes.
std::vector<std::string> Datagrams() {
  std::vector<std::string> datagrams;
  for (int i = 0; i < 10000; ++i) {
    std::string reply = Bytes("\xFF\xFF\xFF\xFFm127.0.0.1:27015\0Server number ") + std::to_string(i);
    reply += Bytes("\0de_dust2\0cstrike\0Counter-Strike\0\x0C\x14\x2F\x64\x6C\x00\x01");
    datagrams.push_back(std::move(reply));
  }
  return datagrams;
}

// The window puts its pending lines into the text box every so often; the argument is how
// many datagrams arrive in between (1 is the worst case: every line inserted, laid out and
// painted on its own; 1000 is 20,000 datagrams a second at the window's pace). Each batch
// is followed by a pass of the event loop, which paints a shown window.
void LogTenThousand(benchmark::State& state, bool shown) {
  const auto datagrams = Datagrams();
  const auto perBatch = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto form = std::make_unique<vantrix::TForm7>(nullptr, std::make_unique<FixedClock>());
    if (shown) {
      form->show();
      QApplication::processEvents();
    }
    state.ResumeTiming();
    for (std::size_t i = 0; i < datagrams.size(); ++i) {
      form->LogPacket(datagrams[i]);
      if ((i + 1) % perBatch == 0) {
        form->ShowPendingLines();
        QApplication::processEvents();
      }
    }
    form->ShowPendingLines();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->Memo1()->blockCount());
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(datagrams.size()));
  state.SetLabel("items/s = lines/s");
}

void BM_PacketLogWindowHidden10k(benchmark::State& state) {
  LogTenThousand(state, false);
}
void BM_PacketLogWindowShown10k(benchmark::State& state) {
  LogTenThousand(state, true);
}

}  // namespace

BENCHMARK(BM_PacketLogWindowHidden10k)->Arg(1)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PacketLogWindowShown10k)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static WindowBenchHooks plain;
  return plain;
}
