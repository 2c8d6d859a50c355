#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/master/WebApiServerList.h"

namespace vantrix {

// The Web API's reply read as a stream of JSON events (nlohmann/json's SAX interface): only
// response.servers[].addr is kept, nothing else of the document is built. Nesting deeper than
// kMaxDepth is refused, so a hostile reply cannot make the reader hold an unbounded path.
class WebApiListReader {
 public:
  static constexpr std::size_t kMaxDepth = 64;

  // The whole of ReadWebApiServerList: every address of response.servers up to `limit`.
  static WebApiServerList Read(std::string_view body, std::size_t limit);

  // The SAX interface's events; each returns false to stop the reading.
  bool null();
  bool boolean(bool value);
  bool number_integer(std::int64_t value);
  bool number_unsigned(std::uint64_t value);
  bool number_float(double value, const std::string& text);
  bool string(std::string& value);
  bool binary(nlohmann::json::binary_t& value);
  bool start_object(std::size_t elements);
  bool key(std::string& name);
  bool end_object();
  bool start_array(std::size_t elements);
  bool end_array();
  bool parse_error(std::size_t position, const std::string& lastToken,
                   const nlohmann::json::exception& error);

 private:
  // What an open container is to the list.
  enum class Role { kRoot, kResponse, kServers, kServer, kOther };
  enum class Kind { kObject, kArray, kString, kOther };

  explicit WebApiListReader(std::size_t limit) : m_limit(limit) {}
  Role Value(Kind kind, const std::string* text);
  bool Open(Kind kind);
  bool Close();
  void Skip();

  std::size_t m_limit;
  WebApiServerList m_list;
  std::vector<Role> m_open;
  std::string m_key;  // the member name the next value belongs to
  std::unordered_set<std::uint64_t> m_seen;
  bool m_rootIsObject = false;
  bool m_responseSeen = false;
  bool m_responseIsObject = false;
  bool m_serversSeen = false;
  bool m_serversIsArray = false;
  bool m_addrSeen = false;
  std::string m_addr;
};

}  // namespace vantrix
