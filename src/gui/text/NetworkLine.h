#pragma once

#include <string_view>

#include <QString>

namespace vantrix {

// A line decoded from a datagram, for a list or text box that shows one line per entry:
// shown like every other byte text (UTF-8 when valid, else Latin-1), with line breaks and
// other control characters turned into U+FFFD, so a server cannot split one entry into
// several lines or smuggle control codes onto the screen. Tabs stay.
QString NetworkLine(std::string_view bytes);

// Characters a text box takes as the start of a new block besides CR and LF: the line and
// paragraph separators and the two it reserves for its own frames.
bool StartsTextBlock(QChar c);

}  // namespace vantrix
