// The JSON reader on arbitrary bytes: what it accepts must survive a write and a re-read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "text/json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<lumetta::JsonObject> object = lumetta::ParseJson(text);
  if (!object) {
    return 0;
  }
  const std::vector<lumetta::JsonMember> members(object->begin(), object->end());
  const std::optional<lumetta::JsonObject> again = lumetta::ParseJson(lumetta::WriteJson(members));
  if (!again || *again != *object) {
    std::abort();
  }
  return 0;
}
