#pragma once

#include <string>

namespace lumetta::test {

// The probe tool: a program file without a version resource.
const std::wstring& ProbeExe();

}  // namespace lumetta::test
