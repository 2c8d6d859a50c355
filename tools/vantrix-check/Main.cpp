// vantrix-check: checks many game servers at once from the command line.
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "check/CheckCommand.h"
#include "check/CheckOptions.h"
#include "core/util/Version.h"
#ifdef VANTRIX_WEBAPI
#include "webapi/WebApiFetch.h"
#endif

int main(int argc, char** argv) {
  using namespace vantrix;
  CheckOptions options;
  try {
    options = ParseCheckOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const CheckUsageError& error) {
    return UsageFailure(std::cerr, error.what());
  }
  if (options.help) {
    std::cout << CheckUsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "vantrix-check " VANTRIX_VERSION "\n";
    return 0;
  }
  WebApiAsk webApi;
#ifdef VANTRIX_WEBAPI
  webApi = FetchWebApiServerList;
#endif
  return CheckCommand(std::move(options), CheckConsole::Standard(), std::move(webApi)).Run();
}
