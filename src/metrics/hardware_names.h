// Short CPU and GPU names ("i7-8700K", "RTX 4070"), vendor words and the frequency text.
#pragma once

#include <string>
#include <string_view>

namespace lumetta {

[[nodiscard]] std::u16string ShortCpuName(std::u16string_view raw);
[[nodiscard]] std::u16string ShortGpuName(std::u16string_view raw);
// "Intel", "AMD", "NVIDIA", "Qualcomm", or empty.
[[nodiscard]] std::u16string VendorOf(std::u16string_view raw);
// Whether `word` ends in `suffix`, ASCII letters compared without case.
[[nodiscard]] bool EndsWithIgnoreCase(std::u16string_view word, std::u16string_view suffix);
// "4.25 GHz", "999 MHz", or empty for values that are not positive and finite.
[[nodiscard]] std::u16string FrequencyText(double mhz);
void AppendFrequencyText(std::u16string& out, double mhz);

// Windows build: the processor's name from the registry, or empty (logged) on failure.
[[nodiscard]] std::u16string ReadProcessorName();

}  // namespace lumetta
