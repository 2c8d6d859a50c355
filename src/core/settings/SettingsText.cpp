#include "core/settings/SettingsText.h"

#include "core/io/TextFile.h"
#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

void SetFlag(std::string_view value, bool& flag) {
  if (value == "1") flag = true;
  if (value == "0") flag = false;
}

// The lines that stand for a setting away from its default: a file without one holds the
// default, as Save writes it.
struct OptionalLines {
  bool protocol = false;
  bool joinCommand = false;
};

void ApplyLine(std::string_view line, Settings& settings, OptionalLines& seen) {
  if (line.empty() || line.starts_with("//")) return;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string key = AsciiLower(line.substr(0, equals));
  const std::string_view value = line.substr(equals + 1);
  if (key == "buffersize") {
    settings.bufferSize = value;
  } else if (key == "udpdelay") {
    settings.udpDelay = value;
  } else if (key == "defaultport") {
    settings.defaultPort = value;
  } else if (key == "broadcast") {
    SetFlag(value, settings.broadcast);
  } else if (key == "packetlog") {
    SetFlag(value, settings.packetLog);
  } else if (key == "connect") {
    SetFlag(value, settings.connect);
  } else if (key == "progress") {
    SetFlag(value, settings.progress);
  } else if (key == "listcolor") {
    settings.listColor = ColorFromText(value);
  } else if (key == "textcolor") {
    settings.textColor = ColorFromText(value);
  } else if (key == "queryprotocol") {
    if (const auto protocol = QueryProtocolFromText(value)) settings.queryProtocol = *protocol;
    seen.protocol = true;
  } else if (key == "joincommand") {
    settings.joinCommand = value;
    seen.joinCommand = true;
  }
}

std::string_view FlagText(bool flag) {
  return flag ? "1" : "0";
}

// A CR, LF or 0x1A inside a value would split or end the file when it is read back, so
// such bytes are left out: every setting stays one line.
void AppendSetting(std::string& out, std::string_view key, std::string_view value) {
  std::string line(key);
  line.push_back('=');
  for (const char c : value) {
    if (c != '\r' && c != '\n' && c != '\x1A') line.push_back(c);
  }
  AppendLine(out, line);
}

}  // namespace

void ParseSettingsText(std::string_view text, Settings& settings) {
  LineReader reader(text);
  OptionalLines seen;
  while (!reader.AtEnd()) ApplyLine(reader.ReadLine(), settings, seen);
  // The nine-line file is the original protocol's and the default join command's: Save
  // writes no line for them.
  if (!seen.protocol) settings.queryProtocol = QueryProtocol::kOriginal;
  if (!seen.joinCommand) settings.joinCommand = kDefaultJoinCommand;
}

std::string SettingsToText(const Settings& settings) {
  std::string out;
  AppendSetting(out, "BufferSize", settings.bufferSize);
  AppendSetting(out, "Broadcast", FlagText(settings.broadcast));
  AppendSetting(out, "UDPDelay", settings.udpDelay);
  AppendSetting(out, "PacketLog", FlagText(settings.packetLog));
  AppendSetting(out, "Connect", FlagText(settings.connect));
  AppendSetting(out, "DefaultPort", settings.defaultPort);
  AppendSetting(out, "Progress", FlagText(settings.progress));
  AppendSetting(out, "ListColor", ColorToText(settings.listColor));
  AppendSetting(out, "TextColor", ColorToText(settings.textColor));
  // Only a choice away from the original adds a line, so the default file and a save with
  // the original protocol stay the nine lines that programs knowing nine keys expect.
  if (settings.queryProtocol != QueryProtocol::kOriginal)
    AppendSetting(out, "QueryProtocol", QueryProtocolText(settings.queryProtocol));
  if (settings.joinCommand != kDefaultJoinCommand) AppendSetting(out, "JoinCommand", settings.joinCommand);
  return out;
}

std::string DefaultSettingsText() {
  return SettingsToText(Settings{});
}

}  // namespace vantrix
