#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/protocol/PlayersWindowState.h"
#include "core/protocol/RulesCollector.h"

namespace {

std::string PlayersDatagram(int count) {
  std::string d("\xFF\xFF\xFF\xFF\x44", 5);
  d += static_cast<char>(count);
  for (int i = 0; i < count; ++i) {
    d += '\0';
    d += "Player number " + std::to_string(i);
    d += std::string("\x00\x05\x00\x00\x00\x00\x00\x00\x40", 9);
  }
  return d;
}

std::string RulesReply(int count) {
  std::string d("\xFF\xFF\xFF\xFF\x45", 5);
  d += static_cast<char>(count & 0xFF);
  d += static_cast<char>(count >> 8);
  for (int i = 0; i < count; ++i) {
    d += "sv_variable_" + std::to_string(i);
    d += '\0';
    d += std::to_string(i * 37);
    d += '\0';
  }
  return d;
}

std::string SplitPart(std::uint32_t number, int part, int total, const std::string& data) {
  std::string d("\xFE\xFF\xFF\xFF", 4);
  for (int i = 0; i < 4; ++i) d += static_cast<char>((number >> (8 * i)) & 0xFF);
  d += static_cast<char>((part << 4) | total);
  return d + data;
}

void BM_PlayersDecode(benchmark::State& state) {
  const std::string d = PlayersDatagram(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(vantrix::PlayersWindowState::Decode(d));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(d.size()));
}
BENCHMARK(BM_PlayersDecode)->Arg(16)->Arg(64)->Arg(255);

void BM_RulesOneDatagram(benchmark::State& state) {
  const std::string d = RulesReply(static_cast<int>(state.range(0)));
  vantrix::RulesCollector collector;
  for (auto _ : state) {
    benchmark::DoNotOptimize(collector.Receive(d));
    state.PauseTiming();
    collector.RequestRules("");
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(d.size()));
}
BENCHMARK(BM_RulesOneDatagram)->Arg(50)->Arg(400);

void BM_RulesSplitReply(benchmark::State& state) {
  const int parts = static_cast<int>(state.range(0));
  const std::string reply = RulesReply(200 * parts);
  std::vector<std::string> datagrams;
  const std::size_t step = reply.size() / static_cast<std::size_t>(parts) + 1;
  for (int i = 0; i < parts; ++i) {
    datagrams.push_back(SplitPart(7, i, parts, reply.substr(static_cast<std::size_t>(i) * step, step)));
  }
  vantrix::RulesCollector collector;
  for (auto _ : state) {
    collector.RequestRules("");  // forgets the reply just decoded
    for (auto it = datagrams.rbegin(); it != datagrams.rend(); ++it)
      benchmark::DoNotOptimize(collector.Receive(*it));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_RulesSplitReply)->Arg(2)->Arg(8);

}  // namespace

BENCHMARK_MAIN();
