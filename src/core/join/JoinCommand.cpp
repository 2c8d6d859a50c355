#include "core/join/JoinCommand.h"

#include "core/join/CommandWords.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

namespace {

// Everything but the unreserved characters, so the password cannot end the link's path.
std::string PercentEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

}  // namespace

JoinTarget JoinTargetOf(std::string_view address, std::optional<std::uint16_t> gamePort,
                        std::string_view defaultPort) {
  JoinTarget target;
  const std::size_t colon = address.find(':');
  target.host = std::string(address.substr(0, colon));
  if (gamePort)
    target.port = std::to_string(*gamePort);
  else if (colon != std::string_view::npos)
    target.port = std::string(address.substr(colon + 1));
  else
    target.port = std::string(defaultPort.empty() ? kDefaultPortText : defaultPort);
  return target;
}

std::string ConnectLink(const JoinTarget& target) {
  std::string link = "steam://connect/" + target.host + ":" + target.port;
  if (!target.password.empty()) link += "/" + PercentEncoded(target.password);
  return link;
}

std::string ExpandPlaceholders(std::string_view word, const JoinTarget& target) {
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%' || i + 1 == word.size()) {
      out.push_back(word[i]);
      continue;
    }
    switch (word[i + 1]) {
      case 'h':
        out += target.host;
        break;
      case 'p':
        out += target.port;
        break;
      case 'a':
        out += target.host + ":" + target.port;
        break;
      case 'w':
        out += target.password;
        break;
      case 'l':
        out += ConnectLink(target);
        break;
      case '%':
        out.push_back('%');
        break;
      default:
        out.push_back('%');
        continue;  // the next character is read as itself
    }
    ++i;
  }
  return out;
}

std::optional<std::vector<std::string>> JoinCommandLine(std::string_view command, const JoinTarget& target) {
  auto words = SplitCommandWords(command);
  if (!words || words->empty()) return std::nullopt;
  for (std::string& word : *words) word = ExpandPlaceholders(word, target);
  return words;
}

std::string CannotStartMessage(std::string_view command) {
  return "Error: Cannot start (" + std::string(command) + ")";
}

}  // namespace vantrix
