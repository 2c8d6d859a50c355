#include "core/lists/UnsavedLists.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/io/FileOpen.h"
#include "core/io/SafeFileWriter.h"
#include "core/io/TextFile.h"
#include "core/lists/ListFile.h"
#include "core/settings/ConfigFile.h"

namespace fs = std::filesystem;

namespace vantrix {

namespace {

constexpr std::string_view kPrefix = "unsaved-";
constexpr std::string_view kExtension = ".vnx";
// Two lines: the number of servers and the path of the list.
constexpr const char* kNoteName = "last-unsaved";

bool IsKeptList(const fs::path& path) {
  const std::string name = path.filename().string();
  return name.size() > kPrefix.size() + kExtension.size() && name.starts_with(kPrefix) &&
         name.ends_with(kExtension);
}

void WriteWhole(const fs::path& path, std::string_view bytes, WriteLimit limit) {
  SafeFileWriter writer(path, limit);
  if (!writer.Open()) throw FileWriteError("Cannot create file " + path.string());
  writer.Write(bytes);
  writer.Commit();
}

}  // namespace

UnsavedLists::UnsavedLists(fs::path folder, WriteLimit limit) : m_folder(std::move(folder)), m_limit(limit) {}

fs::path UnsavedLists::DefaultFolder() {
  return UserStateDirectory();
}

fs::path UnsavedLists::FreeName(std::time_t now) const {
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = std::string(kPrefix) + stamp;
  // Two ends within one second (two copies of the program) keep both lists.
  fs::path path = m_folder / (base + std::string(kExtension));
  std::error_code ec;
  for (int n = 2; fs::exists(fs::symlink_status(path, ec)) && n < 100; ++n)
    path = m_folder / (base + "-" + std::to_string(n) + std::string(kExtension));
  return path;
}

std::optional<fs::path> UnsavedLists::Keep(const ServerTable& table, std::time_t now) const noexcept {
  if (table.Count() == 0 || m_folder.empty()) return std::nullopt;
  try {
    if (!MakePrivateFolders(m_folder)) return std::nullopt;
    const fs::path path = FreeName(now);
    WriteWhole(path, FormatRecordLayout(table), m_limit);
    try {
      std::string note;
      AppendLine(note, std::to_string(table.Count()));
      AppendLine(note, path.string());
      WriteWhole(m_folder / kNoteName, note, m_limit);
      DropOldest();
    } catch (const std::exception&) {
      // The list is on disk; only the note or the tidying failed.
    }
    return path;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void UnsavedLists::DropOldest() const {
  std::vector<fs::path> kept;
  std::error_code ec;
  for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsKeptList(it->path()) && it->is_regular_file(ec)) kept.push_back(it->path());
  }
  if (kept.size() <= static_cast<size_t>(kKept)) return;
  // The names hold the time, so the newest sort last; a "-2" of the same second after its first.
  std::sort(kept.begin(), kept.end(),
            [](const fs::path& a, const fs::path& b) { return a.stem() < b.stem(); });
  for (size_t i = 0; i + kKept < kept.size(); ++i) fs::remove(kept[i], ec);
}

std::optional<std::string> UnsavedLists::TakeNotice() const {
  if (m_folder.empty()) return std::nullopt;
  const fs::path notePath = m_folder / kNoteName;
  std::string bytes;
  try {
    if (!ReadFileBytes(notePath, bytes)) return std::nullopt;
  } catch (const FileReadError&) {
    return std::nullopt;
  }
  std::error_code ec;
  fs::remove(notePath, ec);
  LineReader lines(bytes);
  const std::string count = lines.ReadLine();
  const std::string path = lines.ReadLine();
  if (count.empty() || path.empty() || !fs::is_regular_file(path, ec)) return std::nullopt;
  return "Unsaved list of " + count + " servers kept in " + path + " (F3 opens it)";
}

}  // namespace vantrix
