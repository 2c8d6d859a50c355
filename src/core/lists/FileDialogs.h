#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// The program's file dialogs, described for whichever toolkit shows them. Texts are UTF-8.

enum class FileDialogKind { kOpen, kSave };

struct FileDialogInfo {
  std::string_view name;  // the component's name, e.g. "OpenDialog1"
  FileDialogKind kind;
  std::string_view title;
  std::string_view filter;            // "label|pattern|label|pattern|..."
  std::string_view defaultExtension;  // the completion for a name typed without one
};

// Shared by "Open file..." and "Import from file...".
inline constexpr FileDialogInfo kOpenDialog1{
    "OpenDialog1", FileDialogKind::kOpen, "Open file",
    "Файлы Vantrix (*.vnx)|*.vnx|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*", "*.txt"};
inline constexpr FileDialogInfo kSaveDialog1{
    "SaveDialog1", FileDialogKind::kSave, "Save file",
    "Файлы Vantrix (*.vnx)|*.vnx|Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*", "*.txt"};
// The Orbisk and the Trelvanox import.
inline constexpr FileDialogInfo kOpenDialog2{"OpenDialog2", FileDialogKind::kOpen, "Open file",
                                             "Файлы Orbisk (*.ini)|*.ini|Все файлы (*.*)|*.*", "*.ini"};
inline constexpr FileDialogInfo kOpenDialog3{"OpenDialog3", FileDialogKind::kOpen, "Open file",
                                             "Файлы Trelvanox (*.txt)|*.txt|Все файлы (*.*)|*.*", "*.txt"};

struct FileFilterEntry {
  std::string label;
  std::string pattern;
  bool operator==(const FileFilterEntry&) const = default;
};

// The entries of a filter string in order; entry i has the filter index i + 1.
inline std::vector<FileFilterEntry> FilterEntries(std::string_view filter) {
  std::vector<std::string> parts;
  for (;;) {
    const size_t bar = filter.find('|');
    parts.emplace_back(filter.substr(0, bar));
    if (bar == std::string_view::npos) break;
    filter.remove_prefix(bar + 1);
  }
  std::vector<FileFilterEntry> entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], parts[i + 1]});
  return entries;
}

// The 1-based index of the entry with this label, 0 when there is none.
inline int FilterIndexOfLabel(std::string_view filter, std::string_view label) {
  const std::vector<FileFilterEntry> entries = FilterEntries(filter);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].label == label) return static_cast<int>(i) + 1;
  }
  return 0;
}

// What the user confirmed: the file name as the dialog returned it (raw bytes) and the
// 1-based index of the filter selected at that moment.
struct FileChoice {
  std::string path;
  int filterIndex = 1;
};

// Shows a file dialog. Implementations open it with an empty file name and the given filter
// preselected, never ask before an existing file is replaced, and accept names of files that
// do not exist. nullopt when the user cancelled.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual std::optional<FileChoice> Choose(const FileDialogInfo& dialog, int preselectedFilter) = 0;
};

// One dialog of the window: its description and the filter confirmed last in it (1 at start).
struct FileDialogState {
  const FileDialogInfo* info;
  int filterIndex = 1;
};

// Shows the dialog and remembers the confirmed filter. An empty file name counts as a cancel;
// a filter index outside the dialog's entries is taken as the first filter.
inline std::optional<FileChoice> ShowFileDialog(FileChooser& chooser, FileDialogState& dialog) {
  std::optional<FileChoice> choice = chooser.Choose(*dialog.info, dialog.filterIndex);
  if (!choice || choice->path.empty()) return std::nullopt;
  const int count = static_cast<int>(FilterEntries(dialog.info->filter).size());
  if (choice->filterIndex < 1 || choice->filterIndex > count) choice->filterIndex = 1;
  dialog.filterIndex = choice->filterIndex;
  return choice;
}

}  // namespace vantrix
