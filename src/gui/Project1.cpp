// The program: creates the seven windows, shows the main window and runs the loop.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "core/util/Texts.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/text/WindowLook.h"

int main(int argc, char* argv[]) {
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
    // run on, and nothing is saved.
    std::fflush(nullptr);
    std::_Exit(0);
  });
  app.Form1().show();
  return QApplication::exec();
}
