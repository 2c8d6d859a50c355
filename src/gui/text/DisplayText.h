#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "core/util/Utf8.h"

namespace vantrix {

// Cells hold raw bytes. They are shown as UTF-8 when the bytes are valid UTF-8 and as
// Latin-1 otherwise, and nothing the user leaves untouched is ever re-encoded.

QString ToDisplay(std::string_view bytes);

// Text typed by the user becomes UTF-8 bytes.
std::string FromDisplay(const QString& text);

// The bytes to store after an edit: the original bytes when the shown text came back
// unchanged (so a Latin-1 cell survives an edit that was cancelled in spirit), else UTF-8.
std::string EditedBytes(const QString& edited, std::string_view original);

}  // namespace vantrix
