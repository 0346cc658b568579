#include "card/card_text.h"

#include "app/text_ids.h"
#include "base/printf.h"
#include "card/card_layout.h"
#include "metrics/hardware_names.h"

namespace lumetta {

std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model) {
  if (vendor.empty() || model.empty()) {
    return vendor + model;
  }
  return vendor + u" " + model;
}

std::u16string CpuDetailText(const Snapshot& snapshot) {
  std::u16string detail = JoinNames(snapshot.cpuVendor, snapshot.cpuModel);
  if (snapshot.cpuClockValid) {
    detail += u" \u00B7 " + clockText(snapshot.cpuClockMhz);
  }
  return detail;
}

std::u16string MemoryUsedText(const MemorySample& memory) {
  return FormatBytes(static_cast<double>(memory.usedPhysical)) + u" / " +
         FormatBytes(static_cast<double>(memory.totalPhysical));
}

std::uint32_t PressureTextId(MemoryPressure pressure) {
  switch (pressure) {
    case MemoryPressure::kElevated:
      return kTextPressureElevated;
    case MemoryPressure::kCritical:
      return kTextPressureCritical;
    case MemoryPressure::kNormal:
      break;
  }
  return kTextPressureNormal;
}

std::u16string SelfText(const SelfSample& self) {
  return u"CPU " + FormatPercent(self.cpuShare, 1) + u" \u00B7 " +
         FormatBytes(static_cast<double>(self.privateWorkingSet));
}

std::u16string ClockTimeText(int hour, int minute) {
  return AsciiToU16(StringPrintf("%d:%02d", hour, minute));
}

std::u16string DiskFreeText(const DiskSample& disk, const TextSource& texts) {
  return texts.Format(
      kTextFree, {FormatBytes(static_cast<double>(FreeBytes(disk.usedBytes, disk.totalBytes)))});
}

std::u16string DiskUsedOfText(const DiskSample& disk, const TextSource& texts) {
  return texts.Format(kTextUsedOf, {FormatBytes(static_cast<double>(disk.usedBytes)),
                                    FormatBytes(static_cast<double>(disk.totalBytes))});
}

std::u16string DiskAlertText(const Settings& settings, const TextSource& texts) {
  return texts.Format(kTextUsageAbove, {FormatPercent(settings.diskAlertThreshold, 0)});
}

}  // namespace lumetta
