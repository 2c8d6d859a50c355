#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/util/Utf8.h"

namespace vantrix {

// Helpers for writing raw network texts into the output formats.

// A server's text as UTF-8 for the JSON, CSV and table outputs: kept when it is UTF-8, else
// each byte taken as Latin-1.
std::string Utf8Text(std::string_view text);

// The text in UTF-8 (see Utf8Text) as a terminal shows it safely: control characters become
// "?" (below 0x20, 0x7F, and the C1 controls U+0080..U+009F: bytes 0x80..0x9F in Latin-1).
std::string TerminalText(std::string_view text);

// Columns the text takes on a terminal: code points when it is valid UTF-8, else bytes.
std::size_t DisplayWidth(std::string_view text) noexcept;

// A CSV field, quoted (with quotes doubled) when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string& out, std::string_view text);

// A float in the shortest form that reads back the same, "null" when not finite.
std::string JsonNumber(float value);

}  // namespace vantrix
