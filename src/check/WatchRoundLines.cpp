#include "check/WatchRoundLines.h"

#include "client/CheckWatch.h"
#include "core/util/TextEscaping.h"
#include "core/watch/WatchTexts.h"

namespace vantrix {

std::string WatchRoundLines(WatchTransitions& transitions, const std::vector<CheckItem>& items,
                            const ItemEndpoints& endpoints,
                            const std::function<const CheckResult&(std::size_t)>& resultFor,
                            std::uint64_t nowMs) {
  std::string lines;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const CheckResult result = endpoints.ResultOfItem(items, i, resultFor);
    for (const WatchEvent& event :
         transitions.Observe(items[i].row.address.Str(), WatchObservationOf(result), nowMs))
      lines += TerminalText(WatchEventLine(event.summary, event.body)) + "\n";
  }
  return lines;
}

}  // namespace vantrix
