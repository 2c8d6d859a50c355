#include "core/settings/SettingsText.h"

#include "core/io/TextFile.h"

namespace vantrix {

namespace {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

void SetFlag(std::string_view value, bool& flag) {
  if (value == "1") flag = true;
  if (value == "0") flag = false;
}

// Gives true for a QueryProtocol line, whatever its value.
bool ApplyLine(std::string_view line, Settings& settings) {
  if (line.empty() || line.starts_with("//")) return false;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string key = LowerAscii(line.substr(0, equals));
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
    return true;
  }
  return false;
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
  bool protocolLine = false;
  while (!reader.AtEnd()) protocolLine = ApplyLine(reader.ReadLine(), settings) || protocolLine;
  // The nine-line file is the original protocol's: Save writes no line for it.
  if (!protocolLine) settings.queryProtocol = QueryProtocol::kOriginal;
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
  return out;
}

std::string DefaultSettingsText() {
  return SettingsToText(Settings{});
}

}  // namespace vantrix
