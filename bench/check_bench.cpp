// CPU cost of the checker per reply: decoding, the scheduler's bookkeeping, split
// reassembly with decompression, and the output formats.
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "check/CheckReport.h"
#include "client/CheckScheduler.h"
#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/SplitReplyAssembler.h"
#include "fake/FakeServerProfile.h"

namespace {

using namespace vantrix;

class BenchClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override { return ++now; }
  std::uint64_t now = 0;
};

// Takes every send and drops it: the replies are handed in by the benchmark itself.
class SinkTransport final : public ClientTransport {
 public:
  SendResult Send(const IPv4Endpoint&, std::string_view) override {
    ++sent;
    return {};
  }
  std::uint64_t sent = 0;
};

std::vector<fake::ServerProfile> Profiles(int count) {
  fake::ServerSetup setup;
  setup.count = count;
  setup.basePort = 20000;
  return fake::MakeProfiles(setup);
}

void BM_DecodeCurrentInfoReply(benchmark::State& state) {
  const auto profiles = Profiles(33);
  std::vector<std::string> replies;
  for (const auto& profile : profiles) replies.push_back(fake::BuildCurrentInfoReply(profile.currentInfo));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeCurrentInfoReply(replies[i]));
    i = (i + 1) % replies.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeCurrentInfoReply);

// A whole run of n servers, each answering at once: the cost per answered server of
// sending, matching the reply to its server, decoding and finishing.
void BM_SchedulerRunPerReply(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const bool info = state.range(1) != 0;
  const auto profiles = Profiles(count);
  std::vector<IPv4Endpoint> endpoints;
  std::vector<std::string> replies;
  for (const auto& profile : profiles) {
    endpoints.push_back({0x7F000001u, profile.port});
    replies.push_back(info ? fake::BuildCurrentInfoReply(profile.currentInfo)
                           : fake::BuildInfoReply(profile.info));
  }
  CheckPlan plan;
  plan.protocol = info ? QueryProtocol::kCurrent : QueryProtocol::kOriginal;
  for (auto _ : state) {
    BenchClock clock;
    SinkTransport transport;
    CheckScheduler scheduler(endpoints, plan, transport, clock);
    while (!scheduler.Done()) {
      scheduler.Advance();
      for (std::size_t i = 0; i < endpoints.size(); ++i)
        scheduler.Receive(endpoints[i], replies[i], clock.now);
    }
    benchmark::DoNotOptimize(scheduler.Answered());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SchedulerRunPerReply)->Args({1000, 0})->Args({1000, 1})->Args({10000, 1});

void BM_CompressedSplitReply(benchmark::State& state) {
  fake::ServerSetup setup;
  setup.count = 1;
  setup.extraRules = static_cast<int>(state.range(0));
  const auto profile = fake::MakeProfiles(setup)[0];
  const std::string reply = fake::BuildRulesReply(profile.rules);
  const auto parts = fake::SplitReplyBySize(reply, 1, 1248, true);
  std::uint32_t id = 0;
  for (auto _ : state) {
    SplitReplyAssembler assembler;
    SplitReplyAssembler::Outcome outcome;
    ++id;
    for (const std::string& part : parts) outcome = assembler.Take(part);
    benchmark::DoNotOptimize(outcome.reply.size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
  state.counters["parts"] = static_cast<double>(parts.size());
}
BENCHMARK(BM_CompressedSplitReply)->Arg(100)->Arg(1000);

void BM_FormatReport(benchmark::State& state) {
  const auto format = static_cast<CheckFormat>(state.range(0));
  CheckReport report;
  for (const auto& profile : Profiles(1000)) {
    report.items.push_back(MakeCheckItem(ServerRow::Blank(profile.Address()), 27015));
    CheckResult result;
    result.status = CheckStatus::kAnswered;
    result.pingUs = 1234;
    result.info =
        ServerInfoFromCurrentReply(*DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(profile.currentInfo)));
    report.results.push_back(std::move(result));
  }
  for (auto _ : state) benchmark::DoNotOptimize(FormatCheckReport(report, format));
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FormatReport)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
