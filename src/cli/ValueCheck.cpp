#include "cli/ValueCheck.h"

#include <charconv>

#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

std::string NotText(const std::string& text) {
  return ", not '" + text + "'";
}

}  // namespace

ValueCheck<int> WholeNumber(int low, int high) {
  return {[low, high](const std::string& text) -> std::optional<int> {
            const auto value = TryStrToInt(text);
            if (!value || *value < low || *value > high) return std::nullopt;
            return *value;
          },
          [low, high](const std::string& text) {
            return "needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                   NotText(text);
          }};
}

ValueCheck<double> Share() {
  return {[](const std::string& text) -> std::optional<double> {
            double value = -1;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, value);
            if (error != std::errc() || stop != end || !(value >= 0.0 && value <= 1.0)) return std::nullopt;
            return value;
          },
          [](const std::string& text) { return "needs a share from 0 to 1" + NotText(text); }};
}

ValueCheck<std::string> AnyText() {
  return {[](const std::string& text) -> std::optional<std::string> { return text; },
          [](const std::string&) { return std::string(); }};
}

ValueCheck<std::string> SomeText(std::string needs) {
  return {[](const std::string& text) -> std::optional<std::string> {
            if (text.empty()) return std::nullopt;
            return text;
          },
          [needs = std::move(needs)](const std::string&) { return needs; }};
}

}  // namespace vantrix
