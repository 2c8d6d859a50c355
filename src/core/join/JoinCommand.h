#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// What the join command and the connect link are built from.
struct JoinTarget {
  std::string host;      // as the address cell writes it; a name stays a name
  std::string port;      // the game port, else the address's port, else DefaultPort
  std::string password;  // empty when none was asked for
};

inline constexpr std::string_view kDefaultJoinCommand = "xdg-open %l";

// The target of a row: host and port from its address cell, the port replaced by the game
// port its last current-protocol reply announced (when there was one); an address without
// a port takes DefaultPort, and an empty DefaultPort 27015.
JoinTarget JoinTargetOf(std::string_view address, std::optional<std::uint16_t> gamePort,
                        std::string_view defaultPort);

// steam://connect/HOST:PORT, then "/" and the percent-encoded password when there is one.
std::string ConnectLink(const JoinTarget& target);

// Replaces %h %p %a %w %l and %% in one word; any other "%" stays as it is.
std::string ExpandPlaceholders(std::string_view word, const JoinTarget& target);

// The program and its arguments: the command split into words first, then each word's
// placeholders replaced, so no value can add or split a word. nullopt when the command has
// no word or an unclosed quote.
std::optional<std::vector<std::string>> JoinCommandLine(std::string_view command, const JoinTarget& target);

// The message when the command cannot start: the command as configured, not expanded.
std::string CannotStartMessage(std::string_view command);

}  // namespace vantrix
