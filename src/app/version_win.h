#pragma once

#include "app/version.h"

namespace lumetta {

// Reads "ProductVersion" and "BuildNumber" of the "041104b0" block of a program file.
[[nodiscard]] VersionInfo ReadVersionInfo(const wchar_t* path);

}  // namespace lumetta
