#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/packetlog/PacketLog.h"
#include "core/packetlog/PacketLogObserver.h"

namespace {

class FixedClock final : public vantrix::WallClock {
 public:
  std::int64_t NowSeconds() const override { return 0; }
  vantrix::TimeOfDay LocalTimeOfDay() const override { return {12, 0, 0}; }
};

// A view that keeps its own copy of the text, as a text box would.
class CopyingView final : public vantrix::PacketLogObserver {
 public:
  void EntryAppended(std::string_view entry) override {
    m_text.append(entry);
    m_text.push_back('\n');
  }
  void LogCleared() override { m_text.clear(); }

 private:
  std::string m_text;
};

// The bytes of a literal, zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// A typical info reply: header, address, name, map, folder, game, counts, with zero bytes.
std::string OriginalInfoReply(int n) {
  std::string reply = Bytes("\xFF\xFF\xFF\xFFm127.0.0.1:27015");
  reply += Bytes("\0Server number ") + std::to_string(n);
  reply += Bytes("\0de_dust2\0cstrike\0Counter-Strike\0\x0C\x14\x2F\x64\x6C\x00\x01");
  return reply;
}

std::vector<std::string> Datagrams(bool withLineBreaks) {
  std::vector<std::string> datagrams;
  for (int i = 0; i < 10000; ++i) {
    datagrams.push_back(OriginalInfoReply(i));
    if (withLineBreaks && i % 4 == 0) datagrams.back() += "line\r\nbreak\nend\r";
  }
  return datagrams;
}

void LogTenThousand(benchmark::State& state, bool withLineBreaks, bool withView) {
  const auto datagrams = Datagrams(withLineBreaks);
  const FixedClock clock;
  for (auto _ : state) {
    vantrix::PacketLog log(clock);
    CopyingView view;
    if (withView) log.SetObserver(&view);
    for (const std::string& datagram : datagrams) log.LogPacket(datagram);
    benchmark::DoNotOptimize(log.LineCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(datagrams.size()));
}

void BM_LogPacket10k(benchmark::State& state) {
  LogTenThousand(state, false, false);
}
void BM_LogPacket10kWithLineBreaks(benchmark::State& state) {
  LogTenThousand(state, true, false);
}
void BM_LogPacket10kWithCopyingView(benchmark::State& state) {
  LogTenThousand(state, false, true);
}

}  // namespace

BENCHMARK(BM_LogPacket10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogPacket10kWithLineBreaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogPacket10kWithCopyingView)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
