#pragma once

#include <string_view>

#include "check/CheckReport.h"

namespace vantrix {

// --filter: keeps the servers whose row (as the vnx format writes it) passes the filter
// bar's text, so every format, the summary and the exit status see only those.
void KeepPassingServers(CheckReport& report, std::string_view filterText);

// The same for an address alone (the master's list when it is only printed).
bool AddressPasses(std::string_view address, std::string_view filterText);

}  // namespace vantrix
