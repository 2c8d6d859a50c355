#pragma once

// Answers the window's file dialogs from a script, for the list-file tests.

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/lists/FileDialogs.h"

namespace vantrix::test {

class ScriptedFileChooser final : public FileChooser {
 public:
  // One dialog as the window asked for it.
  struct Asked {
    std::string name;
    std::string title;
    std::string filter;
    std::string defaultExtension;
    FileDialogKind kind;
    int preselectedFilter;
  };

  struct Script {
    std::deque<std::optional<FileChoice>> answers;  // nullopt: the user cancels
    std::vector<Asked> asked;

    void Answer(const std::filesystem::path& path, int filterIndex) {
      answers.push_back(FileChoice{path.string(), filterIndex});
    }
    void Cancel() { answers.push_back(std::nullopt); }
  };

  explicit ScriptedFileChooser(std::shared_ptr<Script> script) : m_script(std::move(script)) {}

  std::optional<FileChoice> Choose(const FileDialogInfo& dialog, int preselectedFilter) override {
    m_script->asked.push_back({std::string(dialog.name), std::string(dialog.title),
                               std::string(dialog.filter), std::string(dialog.defaultExtension), dialog.kind,
                               preselectedFilter});
    // A dialog nobody scripted is cancelled, so a test never blocks on it.
    if (m_script->answers.empty()) return std::nullopt;
    std::optional<FileChoice> answer = m_script->answers.front();
    m_script->answers.pop_front();
    return answer;
  }

 private:
  std::shared_ptr<Script> m_script;
};

}  // namespace vantrix::test
