// config.ini. The input is the file; its bytes also make a set of settings to save.
// Invariants: reading gives the settings of a reference reading of the lines, and fails at the
// same line; what is read saves as nine lines and reads back the same; any settings save and
// read back the same, less the line-breaking bytes the writer leaves out.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "common/ReferenceLines.h"
#include "core/settings/SettingsNumbers.h"
#include "core/settings/SettingsText.h"
#include "core/util/ConversionError.h"

namespace {

using namespace vantrix;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return out;
}

// A colour by name in any case, else a whole number; nullopt when it is neither.
std::optional<ColorValue> ReferenceColor(std::string_view text) {
  for (const NamedColor& color : NamedColors()) {
    if (Lower(color.name) == Lower(text)) return color.value;
  }
  const auto number = ParseWholeNumber(text);
  if (!number) return std::nullopt;
  return static_cast<ColorValue>(*number);
}

// Applies the lines in order; false at the first colour that does not convert.
bool ReferenceRead(std::string_view text, Settings& settings) {
  for (const std::string& line : fuzz::ReferenceLines(text)) {
    if (line.empty() || line.starts_with("//")) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Lower(line.substr(0, equals));
    const std::string value = line.substr(equals + 1);
    auto flag = [&](bool& target) {
      if (value == "1" || value == "0") target = value == "1";
    };
    auto color = [&](ColorValue& target) {
      const auto converted = ReferenceColor(value);
      if (converted) target = *converted;
      return converted.has_value();
    };
    if (key == "buffersize") settings.bufferSize = value;
    if (key == "udpdelay") settings.udpDelay = value;
    if (key == "defaultport") settings.defaultPort = value;
    if (key == "broadcast") flag(settings.broadcast);
    if (key == "packetlog") flag(settings.packetLog);
    if (key == "connect") flag(settings.connect);
    if (key == "progress") flag(settings.progress);
    if (key == "listcolor" && !color(settings.listColor)) return false;
    if (key == "textcolor" && !color(settings.textColor)) return false;
  }
  return true;
}

bool Read(std::string_view text, Settings& settings) {
  try {
    ParseSettingsText(text, settings);
    return true;
  } catch (const ConversionError&) {
    return false;
  }
}

// Settings unlike the defaults in every field, so a line that is not read shows.
Settings Unusual() {
  Settings settings;
  settings.bufferSize = "unusual";
  settings.broadcast = !settings.broadcast;
  settings.udpDelay = "unusual";
  settings.packetLog = !settings.packetLog;
  settings.connect = !settings.connect;
  settings.defaultPort = "unusual";
  settings.progress = !settings.progress;
  settings.listColor = 0x12345678;
  settings.textColor = 0x87654321;
  return settings;
}

// Nine lines, each ended by CR LF; no other CR, LF or 0x1A anywhere.
void CheckSavedText(const std::string& text) {
  VANTRIX_FUZZ_CHECK(text.ends_with("\r\n"));
  std::size_t lineEnds = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lineEnds;
  VANTRIX_FUZZ_CHECK(lineEnds == 9);
  VANTRIX_FUZZ_CHECK(std::count(text.begin(), text.end(), '\r') == 9);
  VANTRIX_FUZZ_CHECK(std::count(text.begin(), text.end(), '\n') == 9);
  VANTRIX_FUZZ_CHECK(text.find('\x1A') == std::string::npos);
}

void CheckRoundTrip(const Settings& settings, const Settings& expected) {
  const std::string text = SettingsToText(settings);
  CheckSavedText(text);
  Settings reread = Unusual();
  VANTRIX_FUZZ_CHECK(Read(text, reread));
  VANTRIX_FUZZ_CHECK(reread == expected);
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  for (const char c : text)
    if (c != '\r' && c != '\n' && c != '\x1A') out.push_back(c);
  return out;
}

ColorValue ColorFrom(fuzz::FuzzInput& input) {
  const ColorValue low = input.Uint16();
  const ColorValue high = input.Uint16();
  return low | (high << 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);

  Settings read;
  const bool complete = Read(text, read);
  Settings reference;
  VANTRIX_FUZZ_CHECK(ReferenceRead(text, reference) == complete);
  VANTRIX_FUZZ_CHECK(read == reference);
  CheckRoundTrip(read, read);

  fuzz::FuzzInput input(data, size);
  Settings any;
  const std::uint8_t flags = input.Byte();
  any.broadcast = flags & 1;
  any.packetLog = flags & 2;
  any.connect = flags & 4;
  any.progress = flags & 8;
  any.listColor = ColorFrom(input);
  any.textColor = ColorFrom(input);
  any.bufferSize = std::string(input.Frame());
  any.udpDelay = std::string(input.Frame());
  any.defaultPort = std::string(input.Rest());
  Settings expected = any;
  expected.bufferSize = WithoutLineBreaks(any.bufferSize);
  expected.udpDelay = WithoutLineBreaks(any.udpDelay);
  expected.defaultPort = WithoutLineBreaks(any.defaultPort);
  CheckRoundTrip(any, expected);
  return 0;
}
