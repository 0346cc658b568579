// The per-user data folders under the local application-data folder, created on demand.
#pragma once

#include <optional>
#include <string>

namespace lumetta {

// "%LOCALAPPDATA%\Lumetta", or nothing when it cannot be resolved or created.
[[nodiscard]] std::optional<std::wstring> AppDataFolder();
// "%LOCALAPPDATA%\Lumetta\Logs", likewise.
[[nodiscard]] std::optional<std::wstring> LogsFolder();

}  // namespace lumetta
