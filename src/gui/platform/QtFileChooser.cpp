#include "gui/platform/QtFileChooser.h"

#include <QFile>
#include <QFileDialog>

namespace vantrix {

QStringList QtFileChooser::DisplayedFilters(const FileDialogInfo& dialog) {
  QStringList shown;
  for (const FileFilterEntry& entry : FilterEntries(dialog.filter)) {
    const QString label = QString::fromStdString(entry.label);
    const QString suffix = QStringLiteral("(") + QString::fromStdString(entry.pattern) + QStringLiteral(")");
    shown << (label.endsWith(suffix) ? label : label + QStringLiteral(" ") + suffix);
  }
  return shown;
}

QString QtFileChooser::MatchPattern(const std::string& pattern) {
  // "*.*" means every file, a name without a dot included; taken literally it would not.
  if (pattern == "*.*") return QStringLiteral("*");
  return QString::fromStdString(pattern);
}

QStringList QtFileChooser::NameFilters(const FileDialogInfo& dialog) {
  // The toolkit matches the patterns in the last parentheses and, with the details hidden,
  // shows the text before them: the label as written, whatever pattern does the matching.
  const QStringList shown = DisplayedFilters(dialog);
  const std::vector<FileFilterEntry> entries = FilterEntries(dialog.filter);
  QStringList filters;
  for (qsizetype i = 0; i < shown.size(); ++i)
    filters << shown[i] + QStringLiteral(" (") + MatchPattern(entries[static_cast<size_t>(i)].pattern) +
                   QStringLiteral(")");
  return filters;
}

QString QtFileChooser::DefaultSuffix(const FileDialogInfo& dialog) {
  QString suffix = QString::fromUtf8(dialog.defaultExtension.data(),
                                     static_cast<qsizetype>(dialog.defaultExtension.size()));
  while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  return suffix;
}

void QtFileChooser::Prepare(QFileDialog& fileDialog, const FileDialogInfo& dialog, int preselectedFilter) {
  fileDialog.setObjectName(QString::fromUtf8(dialog.name.data(), static_cast<qsizetype>(dialog.name.size())));
  fileDialog.setWindowTitle(
      QString::fromUtf8(dialog.title.data(), static_cast<qsizetype>(dialog.title.size())));
  fileDialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                        QFileDialog::HideNameFilterDetails);
  fileDialog.setAcceptMode(dialog.kind == FileDialogKind::kSave ? QFileDialog::AcceptSave
                                                                : QFileDialog::AcceptOpen);
  // Open accepts names that do not exist too, so that a missing file is reported.
  fileDialog.setFileMode(QFileDialog::AnyFile);
  fileDialog.setDefaultSuffix(DefaultSuffix(dialog));
  const QStringList filters = NameFilters(dialog);
  fileDialog.setNameFilters(filters);
  if (preselectedFilter >= 1 && preselectedFilter <= filters.size())
    fileDialog.selectNameFilter(filters[preselectedFilter - 1]);
  // No places bar.
  fileDialog.setSidebarUrls({});
  if (auto* sidebar = fileDialog.findChild<QWidget*>(QStringLiteral("sidebar"))) sidebar->hide();
  fileDialog.selectFile(QString());
}

std::optional<FileChoice> QtFileChooser::Choose(const FileDialogInfo& dialog, int preselectedFilter) {
  QFileDialog fileDialog(m_parent);
  Prepare(fileDialog, dialog, preselectedFilter);
  if (fileDialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = fileDialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  FileChoice choice;
  // File names go back to the bytes the file system knows them by.
  choice.path = QFile::encodeName(files.front()).toStdString();
  // With the details hidden the toolkit may report the entry by its shown text.
  const QString selectedFilter = fileDialog.selectedNameFilter();
  qsizetype selected = NameFilters(dialog).indexOf(selectedFilter);
  if (selected < 0) selected = DisplayedFilters(dialog).indexOf(selectedFilter);
  choice.filterIndex = selected < 0 ? 1 : static_cast<int>(selected) + 1;
  return choice;
}

}  // namespace vantrix
