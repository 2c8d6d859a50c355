// The program: creates the seven windows, shows the main window and runs the loop.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "core/lists/UnsavedLists.h"
#include "core/util/Texts.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ExitSignals.h"
#include "gui/text/WindowLook.h"

int main(int argc, char* argv[]) {
  // First of all: every thread made from here on inherits the blocked signals.
  vantrix::ExitSignals exitSignals;

  // The list files named on the command line are taken as raw bytes, before QApplication
  // removes the options it understands.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);

  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(vantrix::kProgramTitle));
  QApplication::setWindowIcon(vantrix::ProgramIcon());
  // The main window ends the program itself, whichever other windows are open.
  QApplication::setQuitOnLastWindowClosed(false);

  vantrix::Application app(std::move(arguments));
  app.SetProgramEnd([] {
    // At once, from inside the command: a query that waits in processEvents must not
    // run on. Nothing is asked; the main window has kept a changed list already.
    std::fflush(nullptr);
    std::_Exit(0);
  });
  app.Form1().KeepUnsavedListsIn(vantrix::UnsavedLists::DefaultFolder());
  // A signal ends the program as "Exit" does, also in the middle of a check's wait.
  exitSignals.Notify(&app.Form1(), [&app] { app.Form1().RunCommand([&app] { app.Form1().Exit1Click(); }); });
  app.Form1().show();
  return QApplication::exec();
}
