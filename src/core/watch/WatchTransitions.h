#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantrix {

// What one check of a watched server saw. The names and the map are the server's bytes.
struct WatchObservation {
  bool answered = false;
  std::string name;
  std::string map;
  int players = 0;
  int maxPlayers = 0;
  // The players' names when the players were asked and came; nullopt otherwise (the
  // buddies seen before are then taken as still there).
  std::optional<std::vector<std::string>> playerNames;
};

// A change worth telling the user: the notification's summary and body, as bytes.
struct WatchEvent {
  std::string address;
  std::string summary;
  std::string body;

  bool operator==(const WatchEvent&) const = default;
};

// Turns the checks of watched servers into events, for the window and vantrix-check alike.
// A server's first observation only records its state. An event of a server and summary
// is told at most once per kRepeatMs (for "Buddy online", per buddy: one friend's join does
// not hide another's). Buddies match players' names after ASCII case folding, byte for byte
// otherwise.
class WatchTransitions {
 public:
  static constexpr std::uint64_t kRepeatMs = 5 * 60 * 1000;

  static constexpr std::string_view kOnline = "Server online";
  static constexpr std::string_view kOffline = "Server offline";
  static constexpr std::string_view kPlayersJoined = "Players joined";
  static constexpr std::string_view kSlotFree = "Slot free";
  static constexpr std::string_view kMapChanged = "Map changed";
  static constexpr std::string_view kBuddyOnline = "Buddy online";

  void SetBuddies(const std::vector<std::string>& buddies);

  // The events of this observation at nowMs (any monotonic milliseconds).
  std::vector<WatchEvent> Observe(const std::string& address, WatchObservation observation,
                                  std::uint64_t nowMs);
  // A server no longer watched: its state goes, so watching it again starts afresh.
  void Forget(const std::string& address);
  std::size_t Servers() const { return m_servers.size(); }

 private:
  struct ServerState {
    WatchObservation last;
    std::vector<std::string> buddiesOn;  // folded buddy names seen on the server
  };

  std::vector<std::string> BuddiesAmong(const std::vector<std::string>& playerNames) const;
  void Emit(std::vector<WatchEvent>& events, const std::string& address, std::string_view summary,
            std::string body, std::string_view key, std::uint64_t nowMs);

  std::vector<std::string> m_buddies;  // folded, each once
  std::unordered_map<std::string, ServerState> m_servers;
  // When each address + summary (+ buddy) was last told.
  std::unordered_map<std::string, std::uint64_t> m_told;
};

}  // namespace vantrix
