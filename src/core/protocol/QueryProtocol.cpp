#include "core/protocol/QueryProtocol.h"

namespace vantrix {

std::optional<QueryProtocol> QueryProtocolFromText(std::string_view text) {
  if (text == "original") return QueryProtocol::kOriginal;
  if (text == "current") return QueryProtocol::kCurrent;
  return std::nullopt;
}

std::string_view QueryProtocolText(QueryProtocol protocol) {
  return protocol == QueryProtocol::kCurrent ? "current" : "original";
}

}  // namespace vantrix
