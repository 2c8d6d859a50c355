#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vantrix {

// The general error report: shows the text of an error that a command did not handle.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void Report(const std::string& text) = 0;
};

// Runs a command; an error that escapes it ends the command and is reported, after which
// the program goes on.
template <typename Command>
void RunReported(ErrorReporter& reporter, Command&& command) {
  try {
    std::forward<Command>(command)();
  } catch (const std::exception& error) {
    reporter.Report(error.what());
  }
}

}  // namespace vantrix
