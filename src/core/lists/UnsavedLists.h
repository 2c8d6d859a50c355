#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "core/io/WriteLimit.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// Lists that were never saved, kept when the program ends: unsaved-YYYYMMDD-HHMMSS.vnx (local
// time) in the record layout, the newest kKept of them, in one folder of the user's, with a
// note that tells the next start where the last one went. No file the user chose is touched.
class UnsavedLists {
 public:
  static constexpr int kKept = 10;

  explicit UnsavedLists(std::filesystem::path folder, WriteLimit limit = {});

  // $XDG_STATE_HOME/vantrix (~/.local/state/vantrix).
  static std::filesystem::path DefaultFolder();

  const std::filesystem::path& Folder() const { return m_folder; }

  // Writes the rows as `now` names them, like every save (complete or not at all), then
  // leaves the note and drops the oldest lists beyond kKept. An empty table has nothing to
  // keep. Never throws: on the way out, a folder that takes no file (read-only, a file in
  // its place, a full disk) only means nothing is written. The file's path, or nullopt.
  std::optional<std::filesystem::path> Keep(const ServerTable& table, std::time_t now) const noexcept;

  // The note of the last list kept, taken once: "Unsaved list of N servers kept in " + path +
  // " (F3 opens it)". Nullopt when there is none, or its list is gone.
  std::optional<std::string> TakeNotice() const;

 private:
  std::filesystem::path FreeName(std::time_t now) const;
  void DropOldest() const;

  std::filesystem::path m_folder;
  WriteLimit m_limit;
};

}  // namespace vantrix
