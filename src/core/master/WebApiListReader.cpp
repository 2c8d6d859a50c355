#include "core/master/WebApiListReader.h"

#include <optional>

#include "core/util/Utf8.h"

namespace vantrix {

namespace {

bool IsHex4(std::string_view text, std::size_t at) {
  if (at > text.size() || text.size() - at < 4) return false;
  for (std::size_t i = at; i < at + 4; ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// The value of four hex digits that IsHex4 accepted.
unsigned Hex4(std::string_view text, std::size_t at) {
  unsigned code = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    const char c = text[i];
    code = code * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return code;
}

// Servers name themselves in any bytes, and one odd name must not cost the whole list: a byte
// that starts no UTF-8 sequence becomes '?' and a lone surrogate escape becomes \uFFFD, both
// in place, so positions in errors stay those of the body. The parser refuses both otherwise.
std::string Tolerated(std::string_view body) {
  std::string text(body);
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'u' && IsHex4(text, i + 2)) {
      const unsigned code = Hex4(text, i + 2);
      const bool high = code >= 0xD800 && code < 0xDC00;
      const bool pair = high && i + 8 <= text.size() && text.compare(i + 6, 2, "\\u") == 0 &&
                        IsHex4(text, i + 8) && Hex4(text, i + 8) >= 0xDC00 && Hex4(text, i + 8) < 0xE000;
      if (pair) {
        i += 12;
        continue;
      }
      if (code >= 0xD800 && code < 0xE000) text.replace(i + 2, 4, "FFFD");
      i += 6;
    } else if (text[i] == '\\') {
      i += 2;  // the escaped character, a backslash included, is no escape's start
    } else if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
      i += length;
    } else {
      text[i++] = '?';
    }
  }
  return text;
}

}  // namespace

WebApiServerList WebApiListReader::Read(std::string_view body, std::size_t limit) {
  WebApiListReader reader(limit);
  const std::string text = Tolerated(body);
  const bool read = nlohmann::json::sax_parse(text, &reader);
  WebApiServerList list = std::move(reader.m_list);
  if (!read) {
    if (list.error.empty()) list.error = "unexpected end";
    list = WebApiServerList{{}, 0, "Error: Web API reply is not JSON (" + list.error + ")"};
  } else if (!reader.m_responseIsObject || (reader.m_serversSeen && !reader.m_serversIsArray)) {
    // The service leaves "servers" out when nothing matches; anything else is not the list.
    list = WebApiServerList{{}, 0, "Error: Web API reply holds no server list"};
  }
  return list;
}

void WebApiListReader::Skip() {
  if (m_list.addresses.size() < m_limit) ++m_list.skipped;
}

// Decides what a value is to the list from where it stands; only the first member of a name
// counts, as a lookup by name would find it.
WebApiListReader::Role WebApiListReader::Value(Kind kind, const std::string* text) {
  if (m_open.empty()) {
    m_rootIsObject = kind == Kind::kObject;
    return m_rootIsObject ? Role::kRoot : Role::kOther;
  }
  switch (m_open.back()) {
    case Role::kRoot:
      if (m_key != "response" || m_responseSeen) break;
      m_responseSeen = true;
      m_responseIsObject = kind == Kind::kObject;
      return m_responseIsObject ? Role::kResponse : Role::kOther;
    case Role::kResponse:
      if (m_key != "servers" || m_serversSeen) break;
      m_serversSeen = true;
      m_serversIsArray = kind == Kind::kArray;
      return m_serversIsArray ? Role::kServers : Role::kOther;
    case Role::kServers:
      if (kind == Kind::kObject) {
        m_addrSeen = false;
        m_addr.clear();
        return Role::kServer;
      }
      Skip();
      break;
    case Role::kServer:
      if (m_key != "addr" || m_addrSeen) break;
      m_addrSeen = true;
      if (kind == Kind::kString) m_addr = *text;
      break;
    case Role::kOther:
      break;
  }
  return Role::kOther;
}

bool WebApiListReader::Open(Kind kind) {
  if (m_open.size() >= kMaxDepth) {
    m_list.error = "nesting too deep (more than " + std::to_string(kMaxDepth) + " levels)";
    return false;
  }
  m_open.push_back(Value(kind, nullptr));
  return true;
}

bool WebApiListReader::Close() {
  const Role closed = m_open.back();
  m_open.pop_back();
  if (closed != Role::kServer || m_list.addresses.size() >= m_limit) return true;
  const auto address = m_addr.empty() ? std::nullopt : ParseMasterAddress(m_addr);
  if (!address || address->ip == 0 || address->ip == 0xFFFFFFFFu || address->port == 0) {
    ++m_list.skipped;
  } else if (m_seen.insert(address->Key()).second) {
    m_list.addresses.push_back(*address);
  }
  return true;
}

bool WebApiListReader::null() {
  Value(Kind::kOther, nullptr);
  return true;
}

bool WebApiListReader::boolean(bool /*value*/) {
  Value(Kind::kOther, nullptr);
  return true;
}

bool WebApiListReader::number_integer(std::int64_t /*value*/) {
  Value(Kind::kOther, nullptr);
  return true;
}

bool WebApiListReader::number_unsigned(std::uint64_t /*value*/) {
  Value(Kind::kOther, nullptr);
  return true;
}

bool WebApiListReader::number_float(double /*value*/, const std::string& /*text*/) {
  Value(Kind::kOther, nullptr);
  return true;
}

bool WebApiListReader::string(std::string& value) {
  Value(Kind::kString, &value);
  return true;
}

bool WebApiListReader::binary(nlohmann::json::binary_t& /*value*/) {
  Value(Kind::kOther, nullptr);  // JSON text has none; the interface asks for it
  return true;
}

bool WebApiListReader::start_object(std::size_t /*elements*/) {
  return Open(Kind::kObject);
}

bool WebApiListReader::key(std::string& name) {
  m_key = name;
  return true;
}

bool WebApiListReader::end_object() {
  return Close();
}

bool WebApiListReader::start_array(std::size_t /*elements*/) {
  return Open(Kind::kArray);
}

bool WebApiListReader::end_array() {
  return Close();
}

bool WebApiListReader::parse_error(std::size_t position, const std::string& /*lastToken*/,
                                   const nlohmann::json::exception& error) {
  // The parser's text leads with its error number and a line and column; the reason follows.
  std::string_view what = error.what();
  if (const std::size_t number = what.find("] "); number != std::string_view::npos)
    what.remove_prefix(number + 2);
  if (const std::size_t reason = what.find(": "); reason != std::string_view::npos)
    what.remove_prefix(reason + 2);
  m_list.error = std::string(what) + " at byte " + std::to_string(position);
  return false;
}

}  // namespace vantrix
