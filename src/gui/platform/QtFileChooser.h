#pragma once

#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "core/lists/FileDialogs.h"

class QFileDialog;
class QWidget;

namespace vantrix {

// Shows the program's file dialogs as the toolkit's own file dialog rather than the desktop's,
// so that every option holds on every desktop: the dialog's title and filter entries, the given
// filter preselected, an empty file name, no question before a file is replaced, names of files
// that do not exist accepted, and the default extension added to a name typed without one.
class QtFileChooser final : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}

  std::optional<FileChoice> Choose(const FileDialogInfo& dialog, int preselectedFilter) override;

  // The entries as the dialog shows them, "label (pattern)", in filter-index order.
  static QStringList DisplayedFilters(const FileDialogInfo& dialog);
  // The entries as the toolkit takes them: the shown text, then the patterns it matches in
  // parentheses, which the dialog does not show.
  static QStringList NameFilters(const FileDialogInfo& dialog);
  // The pattern the dialog matches names with for a pattern of the filter string.
  static QString MatchPattern(const std::string& pattern);
  // "*.txt" -> "txt": the suffix the toolkit adds to a name typed without one.
  static QString DefaultSuffix(const FileDialogInfo& dialog);

 private:
  static void Prepare(QFileDialog& fileDialog, const FileDialogInfo& dialog, int preselectedFilter);

  QWidget* m_parent;
};

}  // namespace vantrix
