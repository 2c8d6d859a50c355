#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/PlayerList.h"
#include "core/protocol/RuleList.h"
#include "core/protocol/ServerInfo.h"

namespace vantrix {

// answered: every query asked for was answered; silent: nothing at all came back;
// error: bad input, a send that failed, a reply that was refused or only part of the
// answers (the info, when it came, is kept).
enum class CheckStatus { kAnswered, kSilent, kError };

std::string_view CheckStatusName(CheckStatus status);

struct CheckResult {
  CheckStatus status = CheckStatus::kSilent;
  std::string error;
  std::optional<std::uint64_t> pingUs;  // send of the answered info request to the reply's arrival
  std::optional<ServerInfo> info;
  std::optional<std::vector<PlayerEntry>> players;
  std::optional<std::vector<RuleEntry>> rules;

  bool operator==(const CheckResult&) const = default;
};

// The ping in whole milliseconds, rounded to the nearest.
std::optional<std::uint64_t> PingMilliseconds(const CheckResult& result);

}  // namespace vantrix
