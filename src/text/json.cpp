#include "text/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "text/utf.h"

namespace lumetta {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Result of parsing one value: a scalar, or a container that stores nothing.
struct Parsed {
  bool container = false;
  JsonValue value;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonObject> Document() {
    JsonObject object;
    SkipSpace();
    if (!Object(0, &object)) {
      return std::nullopt;
    }
    SkipSpace();
    if (pos_ != text_.size()) {
      return std::nullopt;
    }
    return object;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(Peek())) {
      ++pos_;
    }
  }
  bool Consume(char c) {
    if (AtEnd() || Peek() != c) {
      return false;
    }
    ++pos_;
    return true;
  }
  bool ConsumeLiteral(std::string_view literal) {
    if (text_.substr(pos_, literal.size()) != literal) {
      return false;
    }
    pos_ += literal.size();
    return true;
  }

  // Members are stored only when `members` is given (the top-level object).
  bool Object(int level, JsonObject* members) {
    if (level > kJsonMaxDepth || !Consume('{')) {
      return false;
    }
    SkipSpace();
    if (Consume('}')) {
      return true;
    }
    for (;;) {
      SkipSpace();
      std::string key;
      if (!String(&key)) {
        return false;
      }
      SkipSpace();
      if (!Consume(':')) {
        return false;
      }
      SkipSpace();
      Parsed parsed;
      if (!Value(level, &parsed)) {
        return false;
      }
      if (members != nullptr) {
        if (parsed.container) {
          members->erase(key);
        } else {
          (*members)[std::move(key)] = std::move(parsed.value);
        }
      }
      SkipSpace();
      if (Consume('}')) {
        return true;
      }
      if (!Consume(',')) {
        return false;
      }
    }
  }

  bool Array(int level) {
    if (level > kJsonMaxDepth || !Consume('[')) {
      return false;
    }
    SkipSpace();
    if (Consume(']')) {
      return true;
    }
    for (;;) {
      SkipSpace();
      Parsed ignored;
      if (!Value(level, &ignored)) {
        return false;
      }
      SkipSpace();
      if (Consume(']')) {
        return true;
      }
      if (!Consume(',')) {
        return false;
      }
    }
  }

  bool Value(int level, Parsed* out) {
    if (AtEnd()) {
      return false;
    }
    switch (Peek()) {
      case '{':
        out->container = true;
        return Object(level + 1, nullptr);
      case '[':
        out->container = true;
        return Array(level + 1);
      case '"': {
        std::string text;
        if (!String(&text)) {
          return false;
        }
        out->value = std::move(text);
        return true;
      }
      default:
        break;
    }
    if (ConsumeLiteral("true")) {
      out->value = true;
    } else if (ConsumeLiteral("false")) {
      out->value = false;
    } else if (ConsumeLiteral("null")) {
      out->value = std::monostate{};
    } else {
      double number = 0;
      if (!Number(&number)) {
        return false;
      }
      out->value = number;
    }
    return true;
  }

  // Four hex digits after "\u".
  bool Hex4(char32_t* out) {
    if (text_.size() - pos_ < 4) {
      return false;
    }
    char32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexValue(text_[pos_ + static_cast<std::size_t>(i)]);
      if (digit < 0) {
        return false;
      }
      value = value * 16 + static_cast<char32_t>(digit);
    }
    pos_ += 4;
    *out = value;
    return true;
  }

  bool Escape(std::string* out) {
    if (AtEnd()) {
      return false;
    }
    const char c = text_[pos_++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
        out->push_back(c);
        return true;
      case 'b':
        out->push_back('\b');
        return true;
      case 'f':
        out->push_back('\f');
        return true;
      case 'n':
        out->push_back('\n');
        return true;
      case 'r':
        out->push_back('\r');
        return true;
      case 't':
        out->push_back('\t');
        return true;
      case 'u':
        break;
      default:
        return false;
    }
    char32_t cp = 0;
    if (!Hex4(&cp)) {
      return false;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      // A valid low half must follow at once; otherwise only the high half is consumed.
      const std::size_t afterHigh = pos_;
      char32_t low = 0;
      if (ConsumeLiteral("\\u") && Hex4(&low) && low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + (cp - 0xD800) * 1024 + (low - 0xDC00);
      } else {
        pos_ = afterHigh;
        cp = kReplacementCharacter;
      }
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      cp = kReplacementCharacter;
    }
    AppendUtf8(*out, cp);
    return true;
  }

  bool String(std::string* out) {
    if (!Consume('"')) {
      return false;
    }
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c == '"') {
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        return false;
      }
      if (c != '\\') {
        out->push_back(c);
      } else if (!Escape(out)) {
        return false;
      }
    }
    return false;
  }

  bool Number(double* out) {
    const std::size_t start = pos_;
    Consume('-');
    if (Consume('0')) {
      // A leading zero takes no more digits; any that follow are left for the caller to reject.
    } else if (!AtEnd() && Peek() >= '1' && Peek() <= '9') {
      while (!AtEnd() && IsDigit(Peek())) {
        ++pos_;
      }
    } else {
      return false;
    }
    if (Consume('.')) {
      if (AtEnd() || !IsDigit(Peek())) {
        return false;
      }
      while (!AtEnd() && IsDigit(Peek())) {
        ++pos_;
      }
    }
    if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
      ++pos_;
      if (!Consume('+')) {
        Consume('-');
      }
      if (AtEnd() || !IsDigit(Peek())) {
        return false;
      }
      while (!AtEnd() && IsDigit(Peek())) {
        ++pos_;
      }
    }
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    const std::from_chars_result result = std::from_chars(first, last, *out);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(*out);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

void WriteString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (char c : text) {
    switch (c) {
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default: {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
          out += "\\u00";
          out.push_back(kHex[byte >> 4]);
          out.push_back(kHex[byte & 0xF]);
        } else {
          out.push_back(c);
        }
      }
    }
  }
  out.push_back('"');
}

void WriteNumber(std::string& out, double value) {
  constexpr double kIntegerLimit = 1e15;
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  std::to_chars_result result{};
  if (value == std::trunc(value) && std::fabs(value) < kIntegerLimit) {
    result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
  } else {
    result = std::to_chars(buffer, buffer + sizeof buffer, value);
  }
  out.append(buffer, result.ptr);
}

struct ValueWriter {
  std::string& out;
  void operator()(std::monostate) const { out += "null"; }
  void operator()(bool value) const { out += value ? "true" : "false"; }
  void operator()(double value) const { WriteNumber(out, value); }
  void operator()(const std::string& value) const { WriteString(out, value); }
};

template <typename T>
std::optional<T> Get(const JsonObject& object, std::string_view key) {
  const auto found = object.find(key);
  if (found == object.end() || !std::holds_alternative<T>(found->second)) {
    return std::nullopt;
  }
  return std::get<T>(found->second);
}

}  // namespace

std::optional<JsonObject> ParseJson(std::string_view text) {
  return Reader(text).Document();
}

std::optional<bool> GetBool(const JsonObject& object, std::string_view key) {
  return Get<bool>(object, key);
}
std::optional<double> GetNumber(const JsonObject& object, std::string_view key) {
  return Get<double>(object, key);
}
std::optional<std::string> GetString(const JsonObject& object, std::string_view key) {
  return Get<std::string>(object, key);
}

std::string WriteJson(std::span<const JsonMember> members) {
  if (members.empty()) {
    return "{}\n";
  }
  std::string out = "{\n";
  for (std::size_t i = 0; i < members.size(); ++i) {
    out += "  ";
    WriteString(out, members[i].first);
    out += ": ";
    std::visit(ValueWriter{out}, members[i].second);
    out += i + 1 < members.size() ? ",\n" : "\n";
  }
  out += "}\n";
  return out;
}

}  // namespace lumetta
