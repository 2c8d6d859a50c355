#include "core/master/WebApiServerList.h"

#include "core/master/WebApiListReader.h"

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
  return WebApiListReader::Read(body, limit);
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
