// The words and figures of the card's sections, shared by what the card draws and what a
// screen reader reads of it.
#pragma once

#include <cstdint>
#include <string>

#include "app/strings.h"
#include "metrics/memory.h"
#include "metrics/self_load.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"

namespace lumetta {

// "vendor model" with empty parts left out.
[[nodiscard]] std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model);
// The CPU's names and, when measured, its clock: "Intel i7-8700K · 4.25 GHz".
[[nodiscard]] std::u16string CpuDetailText(const Snapshot& snapshot);
// "12.0 GB / 16.0 GB".
[[nodiscard]] std::u16string MemoryUsedText(const MemorySample& memory);
[[nodiscard]] std::uint32_t PressureTextId(MemoryPressure pressure);
// "CPU 0.4% · 24.0 MB".
[[nodiscard]] std::u16string SelfText(const SelfSample& self);
// "9:05".
[[nodiscard]] std::u16string ClockTimeText(int hour, int minute);
[[nodiscard]] std::u16string DiskFreeText(const DiskSample& disk, const TextSource& texts);
[[nodiscard]] std::u16string DiskUsedOfText(const DiskSample& disk, const TextSource& texts);
[[nodiscard]] std::u16string DiskAlertText(const Settings& settings, const TextSource& texts);

}  // namespace lumetta
