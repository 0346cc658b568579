// A strict reader of flat JSON objects and a fixed-layout writer.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace lumetta {

// null, boolean, number, string (UTF-8 bytes, may hold any byte).
using JsonValue = std::variant<std::monostate, bool, double, std::string>;
// Members of the top-level object ordered by byte-wise key comparison; containers are dropped.
using JsonObject = std::map<std::string, JsonValue, std::less<>>;
using JsonMember = std::pair<std::string, JsonValue>;

// Containers may nest this many levels inside the top-level object.
inline constexpr int kJsonMaxDepth = 64;

// Empty when the text is not exactly one JSON object (whitespace around it allowed).
[[nodiscard]] std::optional<JsonObject> ParseJson(std::string_view text);

// A member of another type counts as absent.
[[nodiscard]] std::optional<bool> GetBool(const JsonObject& object, std::string_view key);
[[nodiscard]] std::optional<double> GetNumber(const JsonObject& object, std::string_view key);
[[nodiscard]] std::optional<std::string> GetString(const JsonObject& object, std::string_view key);

// Prints the members in the given order, two blanks of indent, LF line ends.
[[nodiscard]] std::string WriteJson(std::span<const JsonMember> members);

}  // namespace lumetta
