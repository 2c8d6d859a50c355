#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/lists/FileDialogs.h"
#include "gui/platform/DialogRunner.h"
#include "gui/platform/ErrorReporter.h"
#include "gui/platform/QtDispatcher.h"

class QWidget;

namespace vantrix {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;

// Owns the seven windows, created hidden in their fixed order (main window, server
// editor, players, configuration, about box, packet log, rules) and destroyed in the
// reverse order, together with what the windows share: the program's arguments, the
// general error report, the way modal dialogs are shown, the end of the program and the
// hand-over to the main thread. Tests replace the seams with recorders.
class Application {
 public:
  // Needs a QApplication. `arguments` are the raw bytes of argv[1..].
  explicit Application(std::vector<std::string> arguments = {});
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  TForm1& Form1() const { return *m_form1; }
  TForm2& Form2() const { return *m_form2; }
  TForm3& Form3() const { return *m_form3; }
  TForm4& Form4() const { return *m_form4; }
  TForm5& Form5() const { return *m_form5; }
  TForm6& Form6() const { return *m_form6; }
  TForm7& Form7() const { return *m_form7; }
  // The windows in creation order.
  std::vector<QWidget*> Windows() const;

  const std::vector<std::string>& Arguments() const { return m_arguments; }

  ErrorReporter& Errors() { return *m_errors; }
  void SetErrorReporter(std::unique_ptr<ErrorReporter> reporter);

  DialogRunner& Dialogs() { return *m_dialogs; }
  void SetDialogRunner(std::unique_ptr<DialogRunner> runner);

  // Shows the file dialogs of the list-file commands.
  FileChooser& Files() { return *m_files; }
  void SetFileChooser(std::unique_ptr<FileChooser> chooser);

  // Ends the program at once; nothing is asked (the main window has kept a changed list). By default it hides
  // the windows and leaves the event loop; the program installs an immediate exit.
  void EndProgram();
  void SetProgramEnd(std::function<void()> end) { m_end = std::move(end); }

  // Posts to the main thread (for the datagram endpoints' listeners).
  QtDispatcher& MainThread() { return m_mainThread; }

 private:
  std::vector<std::string> m_arguments;
  std::unique_ptr<ErrorReporter> m_errors;
  std::unique_ptr<DialogRunner> m_dialogs;
  std::unique_ptr<FileChooser> m_files;
  std::function<void()> m_end;
  QtDispatcher m_mainThread;
  std::unique_ptr<TForm1> m_form1;
  std::unique_ptr<TForm2> m_form2;
  std::unique_ptr<TForm4> m_form4;
  std::unique_ptr<TForm5> m_form5;
  std::unique_ptr<TForm6> m_form6;
  std::unique_ptr<TForm7> m_form7;
  std::unique_ptr<TForm3> m_form3;
};

}  // namespace vantrix
