#include "client/CheckResult.h"

namespace vantrix {

std::string_view CheckStatusName(CheckStatus status) {
  switch (status) {
    case CheckStatus::kAnswered:
      return "answered";
    case CheckStatus::kSilent:
      return "silent";
    case CheckStatus::kError:
      return "error";
  }
  return "error";
}

std::optional<std::uint64_t> PingMilliseconds(const CheckResult& result) {
  if (!result.pingUs) return std::nullopt;
  return (*result.pingUs + 500) / 1000;
}

}  // namespace vantrix
