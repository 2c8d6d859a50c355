// Bodies of the Web API's server list replies.
// Invariants: the reader never reads past the text and refuses what is not one JSON value;
// a value it accepts is read the same way again after being written back out; the list
// keeps each address once, at most its limit, each one that a server can have, and says
// why when the body is not the list.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/master/JsonReader.h"
#include "core/master/WebApiServerList.h"

namespace {

using namespace vantrix;

void Escape(std::string& out, const std::string& text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += code;
    } else {
      out += c;
    }
  }
  out += '"';
}

void Write(std::string& out, const JsonValue& value) {
  switch (value.kind) {
    case JsonValue::Kind::kNull:
      out += "null";
      break;
    case JsonValue::Kind::kBool:
      out += value.boolean ? "true" : "false";
      break;
    case JsonValue::Kind::kNumber:
      out += value.text;
      break;
    case JsonValue::Kind::kString:
      Escape(out, value.text);
      break;
    case JsonValue::Kind::kArray:
      out += '[';
      for (std::size_t i = 0; i < value.items.size(); ++i) {
        if (i) out += ',';
        Write(out, value.items[i]);
      }
      out += ']';
      break;
    case JsonValue::Kind::kObject:
      out += '{';
      for (std::size_t i = 0; i < value.members.size(); ++i) {
        if (i) out += ',';
        Escape(out, value.members[i].name);
        out += ':';
        Write(out, value.members[i].value);
      }
      out += '}';
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  const std::size_t limit = input.Byte();
  const std::string_view body = input.Rest();

  JsonReader reader;
  const auto value = reader.Read(body);
  VANTRIX_FUZZ_CHECK(value.has_value() == reader.Error().empty());
  if (value) {
    std::string written;
    Write(written, *value);
    JsonReader again;
    const auto reread = again.Read(written);
    VANTRIX_FUZZ_CHECK(reread.has_value());
    std::string rewritten;
    Write(rewritten, *reread);
    VANTRIX_FUZZ_CHECK(rewritten == written);
  }

  const WebApiServerList list = ReadWebApiServerList(body, limit);
  VANTRIX_FUZZ_CHECK(list.addresses.size() <= limit);
  VANTRIX_FUZZ_CHECK(value.has_value() || list.error.starts_with("Error: Web API reply is not JSON"));
  if (!list.error.empty()) VANTRIX_FUZZ_CHECK(list.addresses.empty());
  std::unordered_set<std::uint64_t> seen;
  for (const MasterAddress& address : list.addresses) {
    VANTRIX_FUZZ_CHECK(seen.insert(address.Key()).second);
    VANTRIX_FUZZ_CHECK(address.ip != 0 && address.ip != 0xFFFFFFFFu && address.port != 0);
    VANTRIX_FUZZ_CHECK(ParseMasterAddress(address.Text()) == address);
  }
  return 0;
}
