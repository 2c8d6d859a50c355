#pragma once

#include <filesystem>

namespace vantrix {

// Opening files without ever waiting. A FIFO would wait in open() for its other end, and a
// device may never end or may be a system file; neither is one of the program's files.

// Opens for reading. Only regular files open: a folder is refused with errno EISDIR and
// anything else (FIFO, device, socket) with EINVAL, at once, like a file that is not there.
// Returns the descriptor or -1 with errno set.
int OpenForReading(const std::filesystem::path& path);

// Creates or empties a file and opens it for writing in place. A FIFO opens only while a
// reader holds it (else ENXIO at once, instead of waiting for one). Returns the descriptor
// or -1 with errno set.
int OpenForWriting(const std::filesystem::path& path);

// Makes each missing level of the folder, private to the user as the user's own folders
// should be. False when one cannot be made (a file in the way, no permission).
bool MakePrivateFolders(const std::filesystem::path& folder);

}  // namespace vantrix
