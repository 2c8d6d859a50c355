#include "check/CheckOptions.h"

#include <algorithm>
#include <map>

#include <CLI/CLI.hpp>

#include "core/lists/ListFile.h"
#include "core/master/MasterRequest.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

// What the generated option list cannot say: the inputs, and the exit status.
constexpr std::string_view kFooter =
    "Inputs: list files in the record (.vnx) or plain layout, host[:port] arguments,\n"
    "and standard input ('-', or when nothing is given and it is not a terminal).\n"
    "Options take their value as the next argument or after '='; '--' ends the options.\n"
    "Exit status: 0 every server answered, 1 some did not (or an input could not be\n"
    "read), 2 bad usage.";

int ParseNumber(std::string_view option, std::string_view text, int low, int high) {
  auto value = TryStrToInt(text);
  if (!value || *value < low || *value > high)
    throw CheckUsageError(std::string(option) + " needs a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high) + ", not '" + std::string(text) + "'");
  return *value;
}

// "details" and "info" are the names of the two info requests, kept as synonyms.
QueryProtocol ParseQuery(std::string_view text) {
  if (text == "details") return QueryProtocol::kOriginal;
  if (text == "info") return QueryProtocol::kCurrent;
  if (const auto protocol = QueryProtocolFromText(text)) return *protocol;
  throw CheckUsageError("--query is current or original, not '" + std::string(text) + "'");
}

CheckFormat ParseFormat(std::string_view text) {
  if (text == "table") return CheckFormat::kTable;
  if (text == "json") return CheckFormat::kJson;
  if (text == "csv") return CheckFormat::kCsv;
  if (text == "vnx") return CheckFormat::kVnx;
  throw CheckUsageError("--format is table, json, csv or vnx, not '" + std::string(text) + "'");
}

// Applies an option that takes a value (one that TakesValue names).
void ApplyValueOption(CheckOptions& options, std::string_view name, std::string_view value) {
  if (name == "--list") {
    options.inputs.push_back({CheckInputSpec::Kind::kFile, std::string(value)});
  } else if (name == "--default-port") {
    options.defaultPort = static_cast<std::uint16_t>(ParseNumber(name, value, 1, 65535));
  } else if (name == "--max-parallel") {
    options.maxParallel = ParseNumber(name, value, 1, 65536);
  } else if (name == "--timeout-ms") {
    options.timeoutMs = ParseNumber(name, value, 1, 60000);
  } else if (name == "--retries") {
    options.retries = ParseNumber(name, value, 0, 10);
  } else if (name == "--send-interval-us") {
    options.sendIntervalUs = ParseNumber(name, value, 0, 1000000);
  } else if (name == "--query") {
    options.query = ParseQuery(value);
  } else if (name == "--format") {
    options.format = ParseFormat(value);
  } else if (name == "--master") {
    options.master = value;
  } else if (name == "--region") {
    const auto region = ParseMasterRegion(value);
    if (!region)
      throw CheckUsageError("--region needs 0..255 or 0x00..0xFF, not '" + std::string(value) + "'");
    options.region = *region;
  } else if (name == "--master-filter") {
    options.masterFilter = value;
  } else if (name == "--filter") {
    options.filter = value;
  } else if (name == "--limit") {
    options.limit = ParseNumber(name, value, 1, 1000000);
  } else if (name == "--api-key-file") {
    options.apiKeyFile = value;
  } else if (name == "--web-api-url") {
    options.webApiUrl = value;
  } else if (name == "--watch") {
    options.watchSeconds = ParseNumber(name, value, 1, 86400);
  } else if (name == "--buddy") {
    if (value.empty()) throw CheckUsageError("--buddy needs a player's name");
    options.buddies.emplace_back(value);
  } else if (name == "--count") {
    options.watchCount = ParseNumber(name, value, 1, 1000000);
  } else if (name == "--history") {
    options.history = value;
  } else if (name == "--span") {
    if (value != "24h" && value != "7d" && value != "30d")
      throw CheckUsageError("--span is 24h, 7d or 30d, not '" + std::string(value) + "'");
    options.span = value;
  }
}

bool ApplyFlag(CheckOptions& options, std::string_view name) {
  if (name == "--players") {
    options.players = true;
  } else if (name == "--rules") {
    options.rules = true;
  } else if (name == "--no-progress") {
    options.progress = false;
  } else if (name == "--help" || name == "-h") {
    options.help = true;
  } else if (name == "--version") {
    options.version = true;
  } else if (name == "--check") {
    options.checkMaster = true;
  } else {
    return false;
  }
  return true;
}

constexpr std::string_view kValueOptions[] = {"--list",       "--default-port", "--max-parallel",
                                              "--timeout-ms", "--retries",      "--send-interval-us",
                                              "--query",      "--format"};

bool TakesValue(std::string_view name) {
  for (std::string_view option : kValueOptions)
    if (name == option) return true;
  for (std::string_view option :
       {"--master", "--region", "--master-filter", "--filter", "--limit", "--api-key-file", "--web-api-url",
        "--watch", "--buddy", "--count", "--history", "--span"})
    if (name == option) return true;
  return false;
}

// The command line's grammar: CLI11 splits the arguments into options, values and inputs and
// writes the help; the values are checked here, in command-line order, with the messages above.
class CommandLine {
 public:
  CommandLine() {
    m_app.set_help_flag();
    m_app.allow_extras();
    m_app.footer(std::string(kFooter));
    m_app.get_formatter()->label("Usage", "usage");
    m_app.get_formatter()->column_width(26);
    m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
    m_inputs =
        m_app
            .add_option("inputs", m_inputValues, "list files, host[:port] addresses, or - for standard input")
            ->type_name("FILE|HOST[:PORT]|-")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    Value("--list", "FILE", "read FILE as a list file, whatever its name");
    Value("--default-port", "N", "port for addresses without one (default 27015)");
    Value("--max-parallel", "N", "servers in flight at once (default 1024)");
    Value("--timeout-ms", "N", "time-out of each attempt (default 400)");
    Value("--retries", "N", "further attempts after the first (default 1)");
    Value("--send-interval-us", "N", "least time between two sends (default 0)");
    Value("--query", "current|original",
          "current (default; also: info): the 'T' request, with\n"
          "challenge rounds, answered with 'I' or 'm'; what servers of\n"
          "today answer. original (also: details): the 'm' request, for\n"
          "old servers that answer nothing else (--players and --rules\n"
          "follow)");
    Flag("--players", "also ask for the players");
    Flag("--rules", "also ask for the rules");
    Value("--format", "table|json|csv|vnx", "output (default: table on a terminal, else json)");
    Flag("--no-progress", "no progress line on standard error");
    Value("--filter", "TEXT",
          "keep only the servers whose row passes TEXT, as in the\n"
          "window's filter bar: words, \"phrases\", name: map: addr:\n"
          "comment:, -excluded; the summary and the exit status\n"
          "count only the servers kept");
    Value("--master", "HOST:PORT",
          "print the servers the master server lists (port 27011\n"
          "when none is given), or check them with --check");
    Value("--region", "N", "the master's region, 0..255 or 0x.. (default 0xFF, all)");
    Value("--master-filter", "F", "the master's filter, e.g. \\appid\\10 (default: none)");
    Value("--limit", "N", "the most servers to take (default 5000)");
    Value("--api-key-file", "F", "ask the Web API with the key in file F instead");
    Value("--web-api-url", "URL", "where the Web API's server list is asked");
    Flag("--check", "check the master's servers instead of printing them");
    Value("--watch", "SECONDS",
          "check the servers every SECONDS and print one line per\n"
          "change (SUMMARY: BODY), whatever --format says");
    Value("--buddy", "NAME", "with --watch: tell when this player joins (repeatable)");
    Value("--count", "N", "with --watch: end after N refreshes (default: never)");
    Value("--history", "ADDRESS", "print the history the window kept of ADDRESS (json or csv)");
    Value("--span", "24h|7d|30d",
          "the history's span: samples of 24h, or ten-minute\naggregates of 7d or 30d (default 24h)");
    Flag("--version", "print the version");
    Flag("-h,--help", "print this help");
  }

  CheckOptions Parse(const std::vector<std::string>& arguments) {
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 pops from the back
    try {
      m_app.parse(reversed);
    } catch (const CLI::ParseError& error) {
      throw CheckUsageError(error.what());
    }
    // Left over: options nobody defines, and the "--" that ended the options.
    for (const std::string& unknown : m_app.remaining())
      if (unknown != "--") throw CheckUsageError("unknown option '" + unknown + "'");

    CheckOptions options;
    const std::size_t inputCount = m_inputs->results().size();
    const std::size_t literalInputs = std::min(InputsAfterOptionsEnd(arguments), inputCount);
    std::map<const CLI::Option*, std::size_t> used;
    for (const CLI::Option* option : m_app.parse_order()) {
      const std::string& value = option->results().at(used[option]++);
      if (option == m_inputs) {
        const bool literal = used[option] > inputCount - literalInputs;
        const bool isStdin = value == "-" && !literal;
        options.inputs.push_back(
            {isStdin ? CheckInputSpec::Kind::kStdin : CheckInputSpec::Kind::kUnsure, value});
      } else if (!ApplyFlag(options, m_names.at(option))) {
        ApplyValueOption(options, m_names.at(option), value);
      }
    }
    return options;
  }

  std::string Help() const { return m_app.help(); }

 private:
  void Value(const std::string& name, const std::string& typeName, const std::string& description) {
    m_names[m_app.add_option(name, description)->type_name(typeName)->expected(1)] = name;
  }

  void Flag(const std::string& names, const std::string& description) {
    m_names[m_app.add_flag(names, description)] = names.substr(names.rfind(',') + 1);
  }

  // How many of the inputs come after "--" (and so are names, even "-").
  static std::size_t InputsAfterOptionsEnd(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (arguments[i] == "--") return arguments.size() - i - 1;
      if (TakesValue(arguments[i])) ++i;  // its value, whatever it looks like
    }
    return 0;
  }

  CLI::App m_app{"", "vantrix-check"};
  std::vector<std::string> m_inputValues;
  CLI::Option* m_inputs = nullptr;
  std::map<const CLI::Option*, std::string> m_names;
};

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments) {
  CheckOptions options = CommandLine().Parse(arguments);
  if (options.checkMaster && options.master.empty()) throw CheckUsageError("--check goes with --master");
  if (!options.history.empty() && options.format && *options.format != CheckFormat::kJson &&
      *options.format != CheckFormat::kCsv)
    throw CheckUsageError("--history prints json or csv");
  if (!options.apiKeyFile.empty() && options.master.empty()) options.master = kDefaultMasterAddress;
  if (options.watchSeconds == 0 && (!options.buddies.empty() || options.watchCount != 0))
    throw CheckUsageError("--buddy and --count go with --watch");
  return options;
}

CheckInputSpec::Kind ClassifyArgument(std::string_view argument, bool isExistingFile) {
  if (argument == "-") return CheckInputSpec::Kind::kStdin;
  if (isExistingFile) return CheckInputSpec::Kind::kFile;
  const std::string extension = ArgumentExtension(argument);
  if (extension == ".vnx" || extension == ".txt") return CheckInputSpec::Kind::kFile;
  return CheckInputSpec::Kind::kAddress;
}

std::string CheckUsageText() {
  return CommandLine().Help();
}

}  // namespace vantrix
