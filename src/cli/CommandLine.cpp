#include "cli/CommandLine.h"

namespace vantrix {

namespace {

// The help's column of option names.
constexpr std::size_t kNameColumn = 26;

}  // namespace

CommandLine::CommandLine(const std::string& program, const std::string& footer) : m_app("", program) {
  m_app.set_help_flag();
  m_app.allow_extras();  // so that an unknown option gets this tool's message
  m_app.footer(footer);
  m_app.get_formatter()->label("Usage", "usage");
  m_app.get_formatter()->column_width(kNameColumn);
  m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
}

CLI::Option* CommandLine::Flag(const std::string& names, bool& field, const std::string& description,
                               bool given) {
  return m_app.add_flag_callback(
      names, [&field, given] { field = given; }, description);
}

CLI::Option* CommandLine::Positionals(const std::string& name, std::vector<std::string>& field,
                                      const std::string& typeName, const std::string& description) {
  return m_app.add_option(name, field, description)
      ->type_name(typeName)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::vector<std::string> CommandLine::Parse(const std::vector<std::string>& arguments) {
  // The options end at the first "--" that is not an option's value.
  std::size_t end = 0;
  while (end < arguments.size() && arguments[end] != "--") {
    const CLI::Option* option =
        arguments[end].starts_with("-") ? m_app.get_option_no_throw(arguments[end]) : nullptr;
    end += option != nullptr && option->get_items_expected_min() > 0 ? 2 : 1;
  }
  end = std::min(end, arguments.size());
  std::vector<std::string> reversed(arguments.rend() - static_cast<std::ptrdiff_t>(end),
                                    arguments.rend());  // CLI11 takes them from the back
  try {
    m_app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    throw CommandLineError(error.what());
  }
  for (const std::string& unknown : m_app.remaining())
    throw CommandLineError("unknown option '" + unknown + "'");
  if (end == arguments.size()) return {};
  return {arguments.begin() + static_cast<std::ptrdiff_t>(end) + 1, arguments.end()};
}

std::string DefaultNote(const std::string& value) {
  return " (default " + value + ")";
}

}  // namespace vantrix
