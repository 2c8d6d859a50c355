#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <QString>

class QClipboard;
class QMimeData;

namespace vantrix {

// Cells are bytes, and what the program puts on the clipboard must reach other programs as
// those bytes. Valid UTF-8 goes as text; anything else as text/plain in ISO-8859-1, where
// every byte is one character, together with the same characters as text.
inline constexpr const char* kLatin1TextMime = "text/plain;charset=ISO-8859-1";

std::unique_ptr<QMimeData> ClipboardMimeData(std::string_view bytes);

// The text the clipboard offers for the bytes once they are on it.
QString ClipboardText(std::string_view bytes);

// The bytes of a text on the clipboard: those of its ISO-8859-1 form when it has one (as the
// program puts a non-UTF-8 cell there), else its text in UTF-8.
std::string ClipboardBytes(const QMimeData& data);

// Replaces the clipboard's content. False when there is no clipboard or the text cannot be
// read back from it afterwards (the toolkit itself reports no failure).
bool WriteClipboardBytes(QClipboard* clipboard, std::string_view bytes);

}  // namespace vantrix
