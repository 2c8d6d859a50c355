#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

struct JsonMember;

// A parsed JSON value. Numbers keep their text: nothing here needs their value.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::string text;  // a string's UTF-8 bytes, or a number's text
  std::vector<JsonValue> items;
  std::vector<JsonMember> members;  // in document order

  // The first member with this name, or null when there is none (or this is no object).
  const JsonValue* Member(std::string_view name) const;
};

struct JsonMember {
  std::string name;
  JsonValue value;
};

inline const JsonValue* JsonValue::Member(std::string_view name) const {
  if (kind != Kind::kObject) return nullptr;
  for (const JsonMember& member : members)
    if (member.name == name) return &member.value;
  return nullptr;
}

}  // namespace vantrix
