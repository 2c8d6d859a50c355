#include "check/CheckOptions.h"

#include "core/lists/ListFile.h"
#include "core/master/MasterRequest.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::string_view kUsage =
    "usage: vantrix-check [options] [list-file | host[:port] | -] ...\n"
    "Queries game servers in parallel over UDP and prints what they answer.\n"
    "Inputs: list files in the record (.vnx) or plain layout, host[:port] arguments,\n"
    "and standard input ('-', or when nothing is given and it is not a terminal).\n"
    "  --list FILE            read FILE as a list file, whatever its name\n"
    "  --default-port N       port for addresses without one (default 27015)\n"
    "  --max-parallel N       servers in flight at once (default 512)\n"
    "  --timeout-ms N         time-out of each attempt (default 400)\n"
    "  --retries N            further attempts after the first (default 1)\n"
    "  --send-interval-us N   least time between two sends (default 0)\n"
    "  --query details|info   details: the 'm' info request (default); info: the newer\n"
    "                         'T' request, answered with 'I' or 'm', with challenges\n"
    "  --players              also ask for the players\n"
    "  --rules                also ask for the rules\n"
    "  --format table|json|csv|vnx\n"
    "                         output (default: table on a terminal, else json)\n"
    "  --no-progress          no progress line on standard error\n"
    "  --master HOST:PORT     print the servers the master server lists (port 27011\n"
    "                         when none is given), or check them with --check\n"
    "  --region N             the master's region, 0..255 or 0x.. (default 0xFF, all)\n"
    "  --filter F             the master's filter, e.g. \\appid\\10 (default: none)\n"
    "  --limit N              the most servers to take (default 5000)\n"
    "  --api-key-file F       ask the Web API with the key in file F instead\n"
    "  --web-api-url URL      where the Web API's server list is asked\n"
    "  --check                check the master's servers instead of printing them\n"
    "  --version              print the version\n"
    "  -h, --help             print this help\n"
    "Exit status: 0 every server answered, 1 some did not (or an input could not be\n"
    "read), 2 bad usage.\n";

int ParseNumber(std::string_view option, std::string_view text, int low, int high) {
  auto value = TryStrToInt(text);
  if (!value || *value < low || *value > high)
    throw CheckUsageError(std::string(option) + " needs a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high) + ", not '" + std::string(text) + "'");
  return *value;
}

CheckQuery ParseQuery(std::string_view text) {
  if (text == "details") return CheckQuery::kDetails;
  if (text == "info") return CheckQuery::kInfo;
  throw CheckUsageError("--query is details or info, not '" + std::string(text) + "'");
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
  } else if (name == "--filter") {
    options.filter = value;
  } else if (name == "--limit") {
    options.limit = ParseNumber(name, value, 1, 1000000);
  } else if (name == "--api-key-file") {
    options.apiKeyFile = value;
  } else if (name == "--web-api-url") {
    options.webApiUrl = value;
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

bool TakesValue(std::string_view name) {
  for (std::string_view option : {"--list", "--default-port", "--max-parallel", "--timeout-ms", "--retries",
                                  "--send-interval-us", "--query", "--format"})
    if (name == option) return true;
  for (std::string_view option : {"--master", "--region", "--filter", "--limit", "--api-key-file", "--web-api-url"})
    if (name == option) return true;
  return false;
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments) {
  CheckOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
      const bool isStdin = argument == "-" && !optionsEnded;
      options.inputs.push_back(
          {isStdin ? CheckInputSpec::Kind::kStdin : CheckInputSpec::Kind::kUnsure, argument});
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(0, equals);
    if (equals != std::string::npos) {
      if (!TakesValue(name)) throw CheckUsageError("unknown option '" + argument + "'");
      ApplyValueOption(options, name, std::string_view(argument).substr(equals + 1));
    } else if (ApplyFlag(options, name)) {
      continue;
    } else if (TakesValue(name)) {
      if (i + 1 >= arguments.size()) throw CheckUsageError(argument + " needs a value");
      ApplyValueOption(options, name, arguments[++i]);
    } else {
      throw CheckUsageError("unknown option '" + argument + "'");
    }
  }
  if (options.checkMaster && options.master.empty()) throw CheckUsageError("--check goes with --master");
  if (!options.apiKeyFile.empty() && options.master.empty()) options.master = kDefaultMasterAddress;
  return options;
}

CheckInputSpec::Kind ClassifyArgument(std::string_view argument, bool isExistingFile) {
  if (argument == "-") return CheckInputSpec::Kind::kStdin;
  if (isExistingFile) return CheckInputSpec::Kind::kFile;
  const std::string extension = ArgumentExtension(argument);
  if (extension == ".vnx" || extension == ".txt") return CheckInputSpec::Kind::kFile;
  return CheckInputSpec::Kind::kAddress;
}

std::string_view CheckUsageText() {
  return kUsage;
}

}  // namespace vantrix
