#include "core/master/JsonReader.h"

namespace vantrix {

namespace {

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<JsonValue> JsonReader::Read(std::string_view text) {
  m_text = text;
  m_pos = 0;
  m_error.clear();
  JsonValue value;
  SkipSpace();
  if (!Value(value, 0)) return std::nullopt;
  SkipSpace();
  if (m_pos != m_text.size()) {
    Fail("text after the value");
    return std::nullopt;
  }
  return value;
}

bool JsonReader::Fail(const char* what) {
  if (m_error.empty()) m_error = std::string(what) + " at byte " + std::to_string(m_pos);
  return false;
}

void JsonReader::SkipSpace() {
  while (m_pos < m_text.size()) {
    const char c = m_text[m_pos];
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
    ++m_pos;
  }
}

bool JsonReader::Value(JsonValue& out, int depth) {
  if (m_pos >= m_text.size()) return Fail("unexpected end");
  switch (m_text[m_pos]) {
    case '{':
      if (depth >= kMaxDepth) return Fail("nesting too deep");
      return Object(out, depth + 1);
    case '[':
      if (depth >= kMaxDepth) return Fail("nesting too deep");
      return Array(out, depth + 1);
    case '"':
      out.kind = JsonValue::Kind::kString;
      return String(out.text);
    case 't':
      out.kind = JsonValue::Kind::kBool;
      out.boolean = true;
      return Literal("true");
    case 'f':
      out.kind = JsonValue::Kind::kBool;
      return Literal("false");
    case 'n':
      out.kind = JsonValue::Kind::kNull;
      return Literal("null");
    default:
      out.kind = JsonValue::Kind::kNumber;
      return Number(out.text);
  }
}

bool JsonReader::Literal(std::string_view word) {
  if (m_text.substr(m_pos, word.size()) != word) return Fail("unknown word");
  m_pos += word.size();
  return true;
}

bool JsonReader::Object(JsonValue& out, int depth) {
  out.kind = JsonValue::Kind::kObject;
  ++m_pos;  // '{'
  SkipSpace();
  if (m_pos < m_text.size() && m_text[m_pos] == '}') {
    ++m_pos;
    return true;
  }
  for (;;) {
    SkipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != '"') return Fail("expected a member name");
    std::string key;
    if (!String(key)) return false;
    SkipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != ':') return Fail("expected ':'");
    ++m_pos;
    SkipSpace();
    JsonValue value;
    if (!Value(value, depth)) return false;
    out.members.push_back(JsonMember{std::move(key), std::move(value)});
    SkipSpace();
    if (m_pos >= m_text.size()) return Fail("unexpected end");
    if (m_text[m_pos] == '}') {
      ++m_pos;
      return true;
    }
    if (m_text[m_pos] != ',') return Fail("expected ',' or '}'");
    ++m_pos;
  }
}

bool JsonReader::Array(JsonValue& out, int depth) {
  out.kind = JsonValue::Kind::kArray;
  ++m_pos;  // '['
  SkipSpace();
  if (m_pos < m_text.size() && m_text[m_pos] == ']') {
    ++m_pos;
    return true;
  }
  for (;;) {
    SkipSpace();
    JsonValue item;
    if (!Value(item, depth)) return false;
    out.items.push_back(std::move(item));
    SkipSpace();
    if (m_pos >= m_text.size()) return Fail("unexpected end");
    if (m_text[m_pos] == ']') {
      ++m_pos;
      return true;
    }
    if (m_text[m_pos] != ',') return Fail("expected ',' or ']'");
    ++m_pos;
  }
}

bool JsonReader::Hex4(unsigned& out) {
  if (m_text.size() - m_pos < 4) return Fail("short \\u escape");
  out = 0;
  for (int i = 0; i < 4; ++i) {
    const char c = m_text[m_pos++];
    out <<= 4;
    if (IsDigit(c)) {
      out |= static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      out |= static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      out |= static_cast<unsigned>(c - 'A' + 10);
    } else {
      return Fail("bad \\u escape");
    }
  }
  return true;
}

bool JsonReader::String(std::string& out) {
  ++m_pos;  // '"'
  for (;;) {
    if (m_pos >= m_text.size()) return Fail("unended string");
    const char c = m_text[m_pos++];
    if (c == '"') return true;
    if (static_cast<unsigned char>(c) < 0x20) return Fail("control character in a string");
    if (c != '\\') {
      out += c;
      continue;
    }
    if (m_pos >= m_text.size()) return Fail("unended string");
    const char escape = m_text[m_pos++];
    switch (escape) {
      case '"':
        out += '"';
        break;
      case '\\':
        out += '\\';
        break;
      case '/':
        out += '/';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        unsigned code = 0;
        if (!Hex4(code)) return false;
        if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_pos, 2) == "\\u") {
          const std::size_t mark = m_pos;
          m_pos += 2;
          unsigned low = 0;
          if (!Hex4(low)) return false;
          if (low >= 0xDC00 && low < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else {
            m_pos = mark;  // not a pair: the second escape is read on its own
            code = 0xFFFD;
          }
        } else if (code >= 0xD800 && code < 0xE000) {
          code = 0xFFFD;
        }
        AppendUtf8(out, code);
        break;
      }
      default:
        return Fail("bad escape");
    }
  }
}

bool JsonReader::Number(std::string& out) {
  const std::size_t start = m_pos;
  auto digits = [this] {
    const std::size_t from = m_pos;
    while (m_pos < m_text.size() && IsDigit(m_text[m_pos])) ++m_pos;
    return m_pos > from;
  };
  if (m_pos < m_text.size() && m_text[m_pos] == '-') ++m_pos;
  if (m_pos < m_text.size() && m_text[m_pos] == '0') {
    ++m_pos;
  } else if (!digits()) {
    return Fail("expected a value");
  }
  if (m_pos < m_text.size() && m_text[m_pos] == '.') {
    ++m_pos;
    if (!digits()) return Fail("bad number");
  }
  if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
    ++m_pos;
    if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) ++m_pos;
    if (!digits()) return Fail("bad number");
  }
  out.assign(m_text.substr(start, m_pos - start));
  return true;
}

}  // namespace vantrix
