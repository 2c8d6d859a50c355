#include "gui/Application.h"

#include <QCoreApplication>

#include "gui/Unit1.h"
#include "gui/Unit2.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "gui/Unit6.h"
#include "gui/Unit7.h"
#include "gui/platform/ExecDialogRunner.h"
#include "gui/platform/MessageBoxErrorReporter.h"
#include "gui/platform/QtFileChooser.h"

namespace vantrix {

Application::Application(std::vector<std::string> arguments)
    : m_arguments(std::move(arguments)), m_dialogs(std::make_unique<ExecDialogRunner>()) {
  // Members are declared in creation order, so they are also destroyed in reverse.
  m_form1 = std::make_unique<TForm1>(*this);
  m_form2 = std::make_unique<TForm2>(*this);
  m_form4 = std::make_unique<TForm4>(*this);
  m_form5 = std::make_unique<TForm5>(*this);
  m_form6 = std::make_unique<TForm6>();
  m_form7 = std::make_unique<TForm7>();
  m_form3 = std::make_unique<TForm3>(*this);
  m_errors = std::make_unique<MessageBoxErrorReporter>(m_form1.get());
  m_files = std::make_unique<QtFileChooser>(m_form1.get());
}

Application::~Application() = default;

std::vector<QWidget*> Application::Windows() const {
  return {m_form1.get(), m_form2.get(), m_form4.get(), m_form5.get(),
          m_form6.get(), m_form7.get(), m_form3.get()};
}

void Application::SetErrorReporter(std::unique_ptr<ErrorReporter> reporter) {
  if (reporter) m_errors = std::move(reporter);
}

void Application::SetDialogRunner(std::unique_ptr<DialogRunner> runner) {
  if (runner) m_dialogs = std::move(runner);
}

void Application::SetFileChooser(std::unique_ptr<FileChooser> chooser) {
  if (chooser) m_files = std::move(chooser);
}

void Application::EndProgram() {
  if (m_end) {
    m_end();
    return;
  }
  for (QWidget* window : Windows()) window->hide();
  QCoreApplication::exit(0);
}

}  // namespace vantrix
