#include "check/CheckOptions.h"

#include "cli/CommandLine.h"
#include "core/lists/ListFile.h"
#include "core/master/MasterRequest.h"

namespace vantrix {

namespace {

// What the generated option list cannot say: the inputs, and the exit status.
constexpr std::string_view kFooter =
    "Inputs: list files in the record (.vnx) or plain layout, host[:port] arguments,\n"
    "and standard input ('-', or when nothing is given and it is not a terminal).\n"
    "Options take their value as the next argument or after '='; '--' ends the options.\n"
    "Exit status: 0 every server answered, 1 some did not (or an input could not be\n"
    "read), 2 bad usage.";

// "details" and "info" are the names of the two info requests, kept as synonyms.
ValueCheck<QueryProtocol> QueryWord() {
  const auto text = [](QueryProtocol protocol) { return std::string(QueryProtocolText(protocol)); };
  return OneOf<QueryProtocol>({{text(QueryProtocol::kCurrent), QueryProtocol::kCurrent},
                               {text(QueryProtocol::kOriginal), QueryProtocol::kOriginal},
                               {"info", QueryProtocol::kCurrent},
                               {"details", QueryProtocol::kOriginal}},
                              "current or original");
}

ValueCheck<std::uint8_t> RegionNumber() {
  return {[](const std::string& text) { return ParseMasterRegion(text); },
          [](const std::string& text) { return "needs 0..255 or 0x00..0xFF, not '" + text + "'"; }};
}

std::string HexByte(std::uint8_t value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0xF];
}

// The inputs' texts apart from the options until their order is known: --list's files and
// the arguments that are no option.
struct InputTexts {
  std::vector<std::string> lists;
  std::vector<std::string> arguments;
  CLI::Option* listOption = nullptr;
  CLI::Option* argumentsOption = nullptr;
};

// Every option bound to its field; the help lists them in this order.
void BindOptions(CommandLine& line, CheckOptions& options, InputTexts& inputs) {
  inputs.argumentsOption = line.Positionals("inputs", inputs.arguments, "FILE|HOST[:PORT]|-",
                                            "list files, host[:port] addresses, or - for standard input");
  inputs.listOption =
      line.Values("--list", inputs.lists, AnyText(), "FILE", "read FILE as a list file, whatever its name");
  line.Value("--default-port", options.defaultPort, WholeNumber(1, 65535), "N",
             "port for addresses without one" + DefaultNote(options.defaultPort));
  line.Value("--max-parallel", options.maxParallel, WholeNumber(1, 65536), "N",
             "servers in flight at once" + DefaultNote(options.maxParallel));
  line.Value("--timeout-ms", options.timeoutMs, WholeNumber(1, 60000), "N",
             "time-out of each attempt" + DefaultNote(options.timeoutMs));
  line.Value("--retries", options.retries, WholeNumber(0, 10), "N",
             "further attempts after the first" + DefaultNote(options.retries));
  line.Value("--send-interval-us", options.sendIntervalUs, WholeNumber(0, 1000000), "N",
             "least time between two sends" + DefaultNote(options.sendIntervalUs));
  line.Value("--query", options.query, QueryWord(), "current|original",
             "current (default; also: info): the 'T' request, with\n"
             "challenge rounds, answered with 'I' or 'm'; what servers of\n"
             "today answer. original (also: details): the 'm' request, for\n"
             "old servers that answer nothing else (--players and --rules\n"
             "follow)");
  line.Flag("--players", options.players, "also ask for the players");
  line.Flag("--rules", options.rules, "also ask for the rules");
  line.Value("--format", options.format,
             OneOf<CheckFormat>({{"table", CheckFormat::kTable},
                                 {"json", CheckFormat::kJson},
                                 {"csv", CheckFormat::kCsv},
                                 {"vnx", CheckFormat::kVnx}},
                                "table, json, csv or vnx"),
             "table|json|csv|vnx", "output (default: table on a terminal, else json)");
  line.Flag("--no-progress", options.progress, "no progress line on standard error", false);
  line.Value("--filter", options.filter, AnyText(), "TEXT",
             "keep only the servers whose row passes TEXT, as in the\n"
             "window's filter bar: words, \"phrases\", name: map: addr:\n"
             "comment:, -excluded; the summary and the exit status\n"
             "count only the servers kept");
  line.Value("--master", options.master, AnyText(), "HOST:PORT",
             "print the servers the master server lists (port " + std::to_string(kDefaultMasterPort) +
                 "\nwhen none is given), or check them with --check");
  line.Value("--region", options.region, RegionNumber(), "N",
             "the master's region, 0..255 or 0x.. (default " + HexByte(options.region) + ", all)");
  line.Value("--master-filter", options.masterFilter, AnyText(), "F",
             "the master's filter, e.g. \\appid\\10 (default: none)");
  line.Value("--limit", options.limit, WholeNumber(1, 1000000), "N",
             "the most servers to take" + DefaultNote(options.limit));
  line.Value("--api-key-file", options.apiKeyFile, AnyText(), "F",
             "ask the Web API with the key in file F instead");
  line.Value("--web-api-url", options.webApiUrl, AnyText(), "URL",
             "where the Web API's server list is asked");
  line.Flag("--check", options.checkMaster, "check the master's servers instead of printing them");
  line.Value("--watch", options.watchSeconds, WholeNumber(1, 86400), "SECONDS",
             "check the servers every SECONDS and print one line per\n"
             "change (SUMMARY: BODY), whatever --format says");
  line.Values("--buddy", options.buddies, SomeText("needs a player's name"), "NAME",
              "with --watch: tell when this player joins (repeatable)");
  line.Value("--count", options.watchCount, WholeNumber(1, 1000000), "N",
             "with --watch: end after N refreshes (default: never)");
  line.Value("--history", options.history, AnyText(), "ADDRESS",
             "print the history the window kept of ADDRESS (json or csv)");
  line.Value("--span", options.span,
             OneOf<std::string>({{"24h", "24h"}, {"7d", "7d"}, {"30d", "30d"}}, "24h, 7d or 30d"),
             "24h|7d|30d",
             "the history's span: samples of 24h, or ten-minute\naggregates of 7d or 30d" +
                 DefaultNote(options.span));
  line.Flag("--version", options.version, "print the version");
  line.Flag("-h,--help", options.help, "print this help");
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments) {
  CheckOptions options;
  InputTexts texts;
  CommandLine line("vantrix-check", std::string(kFooter));
  BindOptions(line, options, texts);
  const std::vector<std::string> names = line.Parse(arguments);
  // The list files and the other inputs in the order the arguments gave them; "-" is
  // standard input unless it comes after "--".
  std::size_t nextList = 0;
  std::size_t nextArgument = 0;
  for (const CLI::Option* option : line.ParseOrder()) {
    if (option == texts.listOption) {
      options.inputs.push_back({CheckInputSpec::Kind::kFile, texts.lists.at(nextList++)});
    } else if (option == texts.argumentsOption) {
      const std::string& text = texts.arguments.at(nextArgument++);
      options.inputs.push_back(
          {text == "-" ? CheckInputSpec::Kind::kStdin : CheckInputSpec::Kind::kUnsure, text});
    }
  }
  for (const std::string& name : names) options.inputs.push_back({CheckInputSpec::Kind::kUnsure, name});

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
  CheckOptions options;
  InputTexts texts;
  CommandLine line("vantrix-check", std::string(kFooter));
  BindOptions(line, options, texts);
  return line.Help();
}

}  // namespace vantrix
