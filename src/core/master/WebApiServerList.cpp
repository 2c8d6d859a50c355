#include "core/master/WebApiServerList.h"

#include <unordered_set>

#include "core/master/JsonReader.h"

namespace vantrix {

namespace {

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

}  // namespace

std::string WebApiRequestUrl(std::string_view base, std::string_view key, std::string_view filter,
                             std::size_t limit) {
  return std::string(base) + "?key=" + PercentEncode(key) + "&filter=" + PercentEncode(filter) +
         "&limit=" + std::to_string(limit);
}

WebApiServerList ReadWebApiServerList(std::string_view body, std::size_t limit) {
  WebApiServerList list;
  JsonReader reader;
  const auto document = reader.Read(body);
  if (!document) {
    list.error = "Error: Web API reply is not JSON (" + reader.Error() + ")";
    return list;
  }
  const JsonValue* response = document->Member("response");
  if (!response || response->kind != JsonValue::Kind::kObject) {
    list.error = "Error: Web API reply holds no server list";
    return list;
  }
  const JsonValue* servers = response->Member("servers");
  if (!servers) return list;  // the service leaves the member out when nothing matches
  if (servers->kind != JsonValue::Kind::kArray) {
    list.error = "Error: Web API reply holds no server list";
    return list;
  }
  std::unordered_set<std::uint64_t> seen;
  for (const JsonValue& server : servers->items) {
    if (list.addresses.size() >= limit) break;
    const JsonValue* addr = server.Member("addr");
    const auto address =
        addr && addr->kind == JsonValue::Kind::kString ? ParseMasterAddress(addr->text) : std::nullopt;
    if (!address || address->ip == 0 || address->ip == 0xFFFFFFFFu || address->port == 0) {
      ++list.skipped;
      continue;
    }
    if (seen.insert(address->Key()).second) list.addresses.push_back(*address);
  }
  return list;
}

std::string WebApiFailureText(int httpStatus, std::string_view transportError) {
  if (httpStatus == 401 || httpStatus == 403)
    return "Error: Web API refused the key (HTTP " + std::to_string(httpStatus) + ")";
  if (httpStatus == 429) return "Error: Web API is busy, try again later (HTTP 429)";
  if (httpStatus >= 300) return "Error: Web API answered HTTP " + std::to_string(httpStatus);
  if (!transportError.empty()) return "Error: Web API: " + std::string(transportError);
  return "Error: Web API did not answer";
}

}  // namespace vantrix
