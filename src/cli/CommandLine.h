#pragma once

#include <concepts>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/CommandLineError.h"
#include "cli/ValueCheck.h"

namespace vantrix {

// A tool's command line over CLI11: each option bound to its field with the check of its
// value, and the help written from the same bindings. A value is the next argument, whatever
// it looks like, or follows "="; of a repeated option the last value counts; "--" ends the
// options.
class CommandLine {
 public:
  // `footer` ends the help: what the list of options cannot say.
  CommandLine(const std::string& program, const std::string& footer);

  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // An option with one value, read into `field` by `check`; a text it refuses stops the
  // parse with "<name> <refusal>".
  template <class Field, class T>
  CLI::Option* Value(const std::string& name, Field& field, ValueCheck<T> check, const std::string& typeName,
                     const std::string& description) {
    auto read = check.read;
    CLI::Option* option = m_app.add_option_function<std::string>(
        name, [&field, read](const std::string& text) { field = static_cast<Field>(*read(text)); },
        description);
    return Checked(option->type_name(typeName), std::move(check));
  }

  // A repeatable option: each value, in order, appended to `field`.
  template <class T>
  CLI::Option* Values(const std::string& name, std::vector<T>& field, ValueCheck<T> check,
                      const std::string& typeName, const std::string& description) {
    auto read = check.read;
    CLI::Option* option = m_app.add_option_function<std::vector<std::string>>(
        name,
        [&field, read](const std::vector<std::string>& texts) {
          for (const std::string& text : texts) field.push_back(*read(text));
        },
        description);
    option->type_name(typeName)->expected(1)->allow_extra_args(false)->multi_option_policy(
        CLI::MultiOptionPolicy::TakeAll);
    return Checked(option, std::move(check));
  }

  // A flag (names as "-h,--help"): given, it sets `field` to `given`.
  CLI::Option* Flag(const std::string& names, bool& field, const std::string& description, bool given = true);

  // The arguments that are no option, in order.
  CLI::Option* Positionals(const std::string& name, std::vector<std::string>& field,
                           const std::string& typeName, const std::string& description);

  // Parses the arguments after the program's name into the bound fields. Returns the
  // arguments after the "--" that ended the options, which are names whatever they look
  // like. Throws CommandLineError.
  std::vector<std::string> Parse(const std::vector<std::string>& arguments);

  // The options in the order the arguments gave them, once per value (after Parse).
  const std::vector<CLI::Option*>& ParseOrder() const { return m_app.parse_order(); }

  std::string Help() const { return m_app.help(); }

 private:
  // The check runs on every value as CLI11 validates it, before any field is written.
  template <class T>
  static CLI::Option* Checked(CLI::Option* option, ValueCheck<T> check) {
    const std::string name = option->get_name();
    return option->check(CLI::Validator(
        [name, check = std::move(check)](std::string& text) {
          // Thrown past CLI11, which would put its own words around a returned message.
          if (!check.read(text)) throw CommandLineError(name + " " + check.refusal(text));
          return std::string();
        },
        ""));
  }

  CLI::App m_app;
};

// " (default 400)": a default as the help states it, from the value the field starts with.
std::string DefaultNote(const std::string& value);
template <std::integral T>
std::string DefaultNote(T value) {
  return DefaultNote(std::to_string(value));
}

}  // namespace vantrix
