#pragma once

// Recorders for the window's seams, shared by the GUI test programs.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include "core/lists/FileDialogs.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/Unit2.h"
#include "gui/Unit5.h"
#include "gui/platform/DialogRunner.h"
#include "gui/platform/ErrorReporter.h"
#include "gui/watch/WatchCommand.h"
#include "gui/widgets/FilterBar.h"

namespace vantrix::test {

// Notes each modal dialog as it is shown (its object name, caption and, for the server
// editor, its confirm button's caption) and returns at once instead of blocking.
class RecordingDialogRunner final : public DialogRunner {
 public:
  struct Shown {
    QString objectName;
    QString caption;
    QString button1;
    bool modal;
  };

  explicit RecordingDialogRunner(std::shared_ptr<std::vector<Shown>> log) : m_log(std::move(log)) {}

  int Exec(QDialog& dialog) override {
    QString button;
    if (auto* editor = qobject_cast<TForm2*>(&dialog)) button = editor->Button1()->text();
    m_log->push_back({dialog.objectName(), dialog.windowTitle(), button, dialog.isModal()});
    return QDialog::Rejected;
  }

 private:
  std::shared_ptr<std::vector<Shown>> m_log;
};

class RecordingErrorReporter final : public ErrorReporter {
 public:
  explicit RecordingErrorReporter(std::shared_ptr<std::vector<std::string>> log) : m_log(std::move(log)) {}
  void Report(const std::string& text) override { m_log->push_back(text); }

 private:
  std::shared_ptr<std::vector<std::string>> m_log;
};

// Notes the name of each file dialog asked for and cancels it, so nothing blocks.
class CancellingFileChooser final : public FileChooser {
 public:
  explicit CancellingFileChooser(std::shared_ptr<std::vector<std::string>> log) : m_log(std::move(log)) {}
  std::optional<FileChoice> Choose(const FileDialogInfo& dialog, int /*preselectedFilter*/) override {
    m_log->push_back(std::string(dialog.name));
    return std::nullopt;
  }

 private:
  std::shared_ptr<std::vector<std::string>> m_log;
};

// An Application whose seams all record instead of acting; its config.ini lies in a
// folder of its own instead of beside the test program.
struct RecordedApplication {
  QTemporaryDir configFolder;
  std::shared_ptr<std::vector<RecordingDialogRunner::Shown>> dialogs =
      std::make_shared<std::vector<RecordingDialogRunner::Shown>>();
  std::shared_ptr<std::vector<std::string>> errors = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<std::vector<std::string>> fileDialogs = std::make_shared<std::vector<std::string>>();
  int endCount = 0;
  std::unique_ptr<Application> app;

  explicit RecordedApplication(std::vector<std::string> arguments = {})
      : app(std::make_unique<Application>(std::move(arguments))) {
    app->SetDialogRunner(std::make_unique<RecordingDialogRunner>(dialogs));
    app->SetErrorReporter(std::make_unique<RecordingErrorReporter>(errors));
    app->SetFileChooser(std::make_unique<CancellingFileChooser>(fileDialogs));
    app->SetProgramEnd([this] { ++endCount; });
    app->Form5().SetConfigFile(ConfigFile(configFolder.filePath(QStringLiteral("config.ini")).toStdString()));
    app->Form1().Watch().SetPath(configFolder.filePath(QStringLiteral("vantrix/watch.ini")).toStdString());
    app->Form1().FilterBar1()->SetSettingsPath(
        configFolder.filePath(QStringLiteral("view.ini")).toStdString());
  }
};

}  // namespace vantrix::test
