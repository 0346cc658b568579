#pragma once

#include <string_view>

namespace lumetta {

// Opens (or switches to) the log file for appending; rotates it at once if it is already full.
void OpenLog(std::wstring_view path);

}  // namespace lumetta
