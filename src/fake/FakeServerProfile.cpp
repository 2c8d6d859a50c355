#include "fake/FakeServerProfile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>

#include "core/protocol/CurrentRequests.h"

namespace vantrix::fake {

namespace {

constexpr std::array<const char*, 6> kMaps{"de_dust2", "cs_office", "de_inferno",
                                           "de_nuke",  "cs_italy",  "de_train"};
constexpr const char* kUtf8Name =
    "\xC3\x9Cn\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9 \xD0\xA1\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80";
constexpr const char* kLatin1Name = "Caf\xE9 Fran\xE7\x61is";
constexpr const char* kCrLf = "\r\n";

std::string ServerName(int index, bool oddNames) {
  const std::string number = std::to_string(index + 1);
  if (oddNames && index % 3 == 1) return std::string(kUtf8Name) + " " + number;
  if (oddNames && index % 3 == 2) return std::string(kLatin1Name) + " " + number;
  return "Vantrix Test Server " + number;
}

std::uint8_t TypeLetter(int index) {
  if (index % 5 == 4) return 'l';
  if (index % 7 == 6) return 'p';
  return 'd';
}

// The players' decoder finds each record by zero bytes and resumes inside the time
// value, so the time's upper three bytes must not be zero.
float TimeWithoutZeroBytes(float time) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const auto bits = std::bit_cast<std::uint32_t>(time);
    if ((bits & 0x0000FF00u) && (bits & 0x00FF0000u) && (bits & 0xFF000000u)) return time;
    time += 0.013f;
  }
  return 123.456f;  // 79 E9 F6 42
}

std::vector<Player> MakePlayers(int index, int count, bool oddNames) {
  std::vector<Player> players;
  for (int p = 0; p < count; ++p) {
    Player player;
    player.name = "Player " + std::to_string(p + 1);
    if (oddNames && p == 0) player.name = std::string(kUtf8Name);
    // Some scores above 255 and one negative: the window shows only the lowest byte.
    player.score = (p == 1) ? -1 : (index * 37 + p * 101) % 400;
    player.time = TimeWithoutZeroBytes(100.5f + static_cast<float>(p) * 61.25f + static_cast<float>(index));
    players.push_back(std::move(player));
  }
  return players;
}

std::vector<Rule> MakeRules(const ServerProfile& profile, bool oddNames) {
  std::vector<Rule> rules{{"sv_gravity", "800"},
                          {"mp_timelimit", "30"},
                          {"mp_friendlyfire", "0"},
                          {"sv_maxspeed", "320"},
                          {"hostname", profile.info.name},
                          {"sv_password", profile.info.password ? "1" : "0"},
                          {"sv_contact", "admin@example.invalid"}};
  if (oddNames) rules.push_back({"sv_motd", std::string(kLatin1Name)});
  return rules;
}

void AddExtraRules(std::vector<Rule>& rules, int count) {
  for (int r = 0; r < count; ++r)
    rules.push_back(
        {"vx_extra_" + std::to_string(r + 1), "extra value " + std::to_string(r + 1) + " of the list"});
}

// Every combination of the five extra-data fields over 32 servers, and one in 33 with no
// flag byte at all.
CurrentInfoFields MakeSourceInfo(const ServerProfile& profile) {
  constexpr std::array<std::uint8_t, 5> kFlags{0x80, 0x10, 0x40, 0x20, 0x01};
  const InfoFields& info = profile.info;
  const int i = profile.index;
  CurrentInfoFields source;
  source.name = info.name;
  source.map = info.map;
  source.players = info.players;
  source.maxPlayers = info.maxPlayers;
  source.bots = static_cast<std::uint8_t>(std::min<int>(info.players, i % 3));
  source.serverType = info.type;
  source.environment = (i % 6 == 5) ? 'm' : info.os;
  source.visibility = info.password;
  source.secure = static_cast<std::uint8_t>(i % 2);
  source.version = "1.0.0." + std::to_string(i % 10);
  const int combination = i % 33;
  source.hasExtraFlags = combination != 32;
  for (std::size_t bit = 0; bit < kFlags.size(); ++bit)
    if (combination & (1 << bit)) source.extraFlags |= kFlags[bit];
  source.port = profile.port;
  source.identity = 0x0110000100000000ull + static_cast<std::uint64_t>(i);
  source.spectatorPort = static_cast<std::uint16_t>(profile.port ^ 0x4000);
  source.spectatorName = "Vantrix TV " + std::to_string(i + 1);
  source.keywords = "vantrix,test," + std::to_string(i % 7);
  source.gameId = source.appId;
  return source;
}

std::vector<std::string> SendStyled(std::string reply, const AnswerStyle& style,
                                    std::uint32_t requestNumber) {
  const std::size_t size = std::max<std::size_t>(style.splitSize, 1);
  if (reply.size() <= size) return {std::move(reply)};
  const std::uint32_t id = requestNumber & 0x7FFFFFFFu;
  if (!style.oldSplitHeader) return SplitReplyBySize(reply, id, size, style.compress);
  const std::size_t parts = std::clamp<std::size_t>((reply.size() + size - 1) / size, 2, kMaxSplitParts);
  return SplitReply(reply, id, static_cast<int>(parts));
}

std::uint32_t EndlessChallenge(std::uint32_t challenge, std::uint32_t requestNumber) {
  const std::uint32_t value = challenge ^ (requestNumber * 2654435761u);
  return value == 0xFFFFFFFFu ? 0x0BADC0DEu : value;
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append(kCrLf);
}

}  // namespace

std::string ServerProfile::Address() const {
  return host + ":" + std::to_string(port);
}

std::string_view BehaviourName(Behaviour behaviour) {
  switch (behaviour) {
    case Behaviour::kAnswers:
      return "answers";
    case Behaviour::kSlow:
      return "slow";
    case Behaviour::kSilent:
      return "silent";
  }
  return "answers";
}

bool IsSpreadMember(int index, int members, int count) {
  if (count <= 0 || index < 0 || index >= count || members <= 0) return false;
  const auto before = static_cast<long long>(index) * members / count;
  const auto after = static_cast<long long>(index + 1) * members / count;
  return after > before;
}

std::vector<ServerProfile> MakeProfiles(const ServerSetup& setup) {
  if (setup.count < 0) throw std::invalid_argument("the server count is negative");
  if (static_cast<long>(setup.basePort) + setup.count > 65536L)
    throw std::invalid_argument("the ports do not fit below 65536");
  if (setup.basePort == 0 && setup.count > 0) throw std::invalid_argument("the base port must not be 0");

  std::vector<ServerProfile> profiles;
  profiles.reserve(static_cast<std::size_t>(setup.count));
  const int answering = setup.count - std::min(setup.silentCount, setup.count);
  int answerOrdinal = 0;
  for (int i = 0; i < setup.count; ++i) {
    ServerProfile profile;
    profile.index = i;
    profile.port = static_cast<std::uint16_t>(setup.basePort + i);
    profile.host = setup.host;
    if (IsSpreadMember(i, setup.silentCount, setup.count)) {
      profile.behaviour = Behaviour::kSilent;
    } else {
      if (IsSpreadMember(answerOrdinal, setup.slowCount, answering)) profile.behaviour = Behaviour::kSlow;
      ++answerOrdinal;
    }
    InfoFields& info = profile.info;
    info.address = profile.Address();
    info.name = ServerName(i, setup.oddNames);
    info.map = kMaps[static_cast<std::size_t>(i) % kMaps.size()];
    info.maxPlayers = static_cast<std::uint8_t>(8 + 8 * (i % 4));
    info.players = static_cast<std::uint8_t>((i * 5) % (info.maxPlayers + 1));
    info.type = TypeLetter(i);
    info.os = (i % 2 == 0) ? 'l' : 'w';
    info.password = (i % 4 == 3) ? 1 : 0;
    profile.players = MakePlayers(i, info.players, setup.oddNames);
    profile.rules = MakeRules(profile, setup.oddNames);
    AddExtraRules(profile.rules, setup.extraRules);
    profile.currentInfo = MakeSourceInfo(profile);
    if (profile.behaviour != Behaviour::kSilent) {
      const int ordinal = answerOrdinal - 1;
      profile.infoChallenge = IsSpreadMember(ordinal, setup.challengeCount, answering);
      profile.endlessChallenge = IsSpreadMember(ordinal, setup.endlessChallengeCount, answering);
      profile.detailsForInfo = IsSpreadMember(ordinal, setup.detailsForInfoCount, answering);
      if (setup.current) profile.infoChallenge = true;
    }
    profile.ignoresOriginal = setup.current;
    profiles.push_back(std::move(profile));
  }
  return profiles;
}

std::vector<std::string> AnswerRequest(const ServerProfile& profile, std::string_view request, int splitParts,
                                       std::uint32_t requestNumber) {
  switch (ClassifyRequest(request)) {
    case RequestKind::kInfo:
      return {BuildInfoReply(profile.info)};
    case RequestKind::kPlayers:
      return {BuildPlayersReply(profile.players)};
    case RequestKind::kRules: {
      std::string reply = BuildRulesReply(profile.rules);
      if (splitParts < 2) return {reply};
      return SplitReply(reply, requestNumber, std::min(splitParts, kMaxSplitParts));
    }
    case RequestKind::kSourceInfo:  // the newer requests need a challenge: see the overload below
    case RequestKind::kSourcePlayers:
    case RequestKind::kSourceRules:
    case RequestKind::kGetChallenge:
    case RequestKind::kUnknown:
      break;
  }
  return {};
}

std::vector<std::string> AnswerRequest(const ServerProfile& profile, std::string_view request,
                                       const AnswerStyle& style, std::uint32_t requestNumber,
                                       std::uint32_t challenge) {
  const RequestKind kind = ClassifyRequest(request);
  switch (kind) {
    case RequestKind::kInfo:
    case RequestKind::kPlayers:
    case RequestKind::kRules:
      if (profile.ignoresOriginal) return {};
      return AnswerRequest(profile, request, style.splitParts, requestNumber);
    case RequestKind::kGetChallenge:
      return {BuildChallengeReply(challenge)};
    case RequestKind::kSourceInfo:
      if (profile.endlessChallenge) return {BuildChallengeReply(EndlessChallenge(challenge, requestNumber))};
      if (profile.infoChallenge && RequestChallenge(request, kCurrentInfoText.size()) != challenge)
        return {BuildChallengeReply(challenge)};
      return {profile.detailsForInfo ? BuildInfoReply(profile.info)
                                     : BuildCurrentInfoReply(profile.currentInfo)};
    case RequestKind::kSourcePlayers:
    case RequestKind::kSourceRules:
      if (profile.endlessChallenge) return {BuildChallengeReply(EndlessChallenge(challenge, requestNumber))};
      if (RequestChallenge(request, 0) != challenge) return {BuildChallengeReply(challenge)};
      return SendStyled(kind == RequestKind::kSourcePlayers ? BuildPlayersReply(profile.players)
                                                            : BuildRulesReply(profile.rules),
                        style, requestNumber);
    case RequestKind::kUnknown:
      break;
  }
  return {};
}

std::uint32_t ChallengeFor(const ServerProfile& profile, std::uint64_t client) {
  // A 64-bit mix (splitmix64's finaliser) of the client and the server.
  std::uint64_t x = client ^ (static_cast<std::uint64_t>(profile.port) << 48) ^ 0x5DEECE66Dull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  const auto challenge = static_cast<std::uint32_t>(x);
  return challenge == 0xFFFFFFFFu ? 0x13572468u : challenge;
}

std::string PlainListText(const std::vector<ServerProfile>& profiles) {
  std::string out;
  for (const ServerProfile& profile : profiles) AppendLine(out, profile.Address());
  return out;
}

std::string RecordListText(const std::vector<ServerProfile>& profiles) {
  std::string out;
  for (const ServerProfile& profile : profiles) {
    AppendLine(out, profile.Address());
    for (int cell = 0; cell < 9; ++cell) AppendLine(out, cell == 4 ? BehaviourName(profile.behaviour) : " ");
  }
  return out;
}

}  // namespace vantrix::fake
