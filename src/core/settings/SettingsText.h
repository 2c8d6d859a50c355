#pragma once

#include <string>
#include <string_view>

#include "core/settings/Settings.h"

namespace vantrix {

// Reads the text of config.ini into the settings, line by line (the 8-bit line rules: a line
// ends at LF, CRs are dropped, 0x1A ends the text). Empty lines, lines starting with "//"
// and lines without "=" are skipped. The key is the text before the first "=", lower-cased;
// the value is everything after it; neither is trimmed. Unknown keys and flag values other
// than exactly "1" or "0" are ignored, and so are QueryProtocol values other than exactly
// "original" or "current" (a text without any QueryProtocol line is the original protocol's,
// as Save writes it); settings the text does not mention keep the value
// they had; a key given twice takes its last value.
// A colour value that does not convert throws ConversionError at that line: the lines before
// it have taken effect in `settings`, the lines after it have not.
void ParseSettingsText(std::string_view text, Settings& settings);

// The nine lines of config.ini in their fixed order, each ended by CR LF, and a tenth,
// "QueryProtocol=current", only when the current query protocol is chosen, and then
// "JoinCommand=" only when the join command is not the default. Text settings
// unchanged (except that CR, LF and 0x1A bytes, which would break the line structure, are
// left out), flags as "1"/"0", colours by name or "$" and eight hexadecimal digits.
std::string SettingsToText(const Settings& settings);

// The bytes of the default config.ini.
std::string DefaultSettingsText();

}  // namespace vantrix
