#pragma once

// Shared by the configuration tests: file helpers and a dialog runner that shows the
// dialog without blocking, so a test can work its controls as the user would.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QDialog>
#include <QFile>
#include <QString>

#include "gui/GuiTestSupport.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/platform/DialogRunner.h"

namespace vantrix::test {

inline std::string ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<cannot read " + path.toStdString() + ">";
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline bool WriteBytes(const QString& path, std::string_view bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

// The lines joined as config.ini is written: each ended by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class ShowingDialogRunner final : public DialogRunner {
 public:
  int Exec(QDialog& dialog) override {
    dialog.show();
    return QDialog::Accepted;
  }
};

// A recorded application whose dialogs really show, with its config.ini path at hand.
struct ConfigFixture {
  RecordedApplication recorded;
  QString path = recorded.configFolder.filePath(QStringLiteral("config.ini"));

  ConfigFixture() { recorded.app->SetDialogRunner(std::make_unique<ShowingDialogRunner>()); }

  TForm1& Main() const { return recorded.app->Form1(); }
  TForm5& Dialog() const { return recorded.app->Form5(); }
  const std::vector<std::string>& Errors() const { return *recorded.errors; }

  // "Settings..." from the main window's menu.
  void OpenDialog() const {
    if (QAction* action = Main().MenuAction(QStringLiteral("Settings2"))) action->trigger();
  }
};

}  // namespace vantrix::test
