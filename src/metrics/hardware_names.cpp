#include "metrics/hardware_names.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "base/printf.h"
#include "base/rounding.h"

namespace lumetta {
namespace {

// ASCII-exact classification: the same on every platform and in every locale.
char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsAlnum(char16_t c) {
  return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'z');
}
bool IsSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

bool AllDigits(std::u16string_view text) {
  for (char16_t c : text) {
    if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

template <std::size_t N>
bool IsOneOf(std::u16string_view word, const std::array<std::u16string_view, N>& list) {
  for (std::u16string_view entry : list) {
    if (EqualsIgnoreCase(word, entry)) {
      return true;
    }
  }
  return false;
}

constexpr std::array<std::u16string_view, 4> kRemovedMarks{u"(R)", u"(r)", u"(TM)", u"(tm)"};
constexpr std::array<std::u16string_view, 2> kCutMarks{u" @ ", u" - "};
constexpr std::array<std::u16string_view, 5> kCpuDropped{u"Intel", u"AMD", u"Qualcomm", u"CPU",
                                                         u"Processor"};
constexpr std::array<std::u16string_view, 5> kGpuDropped{u"NVIDIA", u"AMD", u"Intel", u"Qualcomm",
                                                         u"GPU"};

struct VendorWord {
  std::u16string_view word;
  std::u16string_view vendor;
};
constexpr std::array<VendorWord, 9> kVendors{{
    {u"Intel", u"Intel"},
    {u"AMD", u"AMD"},
    {u"Radeon", u"AMD"},
    {u"Ryzen", u"AMD"},
    {u"NVIDIA", u"NVIDIA"},
    {u"GeForce", u"NVIDIA"},
    {u"Qualcomm", u"Qualcomm"},
    {u"Snapdragon", u"Qualcomm"},
    {u"Adreno", u"Qualcomm"},
}};

std::vector<std::u16string> Words(std::u16string_view raw) {
  std::u16string name(raw);
  for (std::u16string_view mark : kRemovedMarks) {
    for (std::size_t at = name.find(mark); at != std::u16string::npos; at = name.find(mark, at)) {
      name.erase(at, mark.size());
    }
  }
  for (std::u16string_view mark : kCutMarks) {
    if (const std::size_t at = name.find(mark); at != std::u16string::npos) {
      name.resize(at);
    }
  }
  std::vector<std::u16string> words;
  std::size_t i = 0;
  while (i < name.size()) {
    while (i < name.size() && IsSpace(name[i])) {
      ++i;
    }
    const std::size_t start = i;
    while (i < name.size() && !IsSpace(name[i])) {
      ++i;
    }
    if (i > start) {
      words.emplace_back(name.substr(start, i - start));
    }
  }
  return words;
}

std::u16string Join(const std::vector<std::u16string>& words) {
  std::u16string joined;
  for (const std::u16string& word : words) {
    if (!joined.empty()) {
      joined.push_back(u' ');
    }
    joined += word;
  }
  return joined;
}

bool IsOrdinal(std::u16string_view word) {
  constexpr std::array<std::u16string_view, 4> kSuffixes{u"th", u"st", u"nd", u"rd"};
  if (word.size() <= 2 || !AllDigits(word.substr(0, word.size() - 2))) {
    return false;
  }
  for (std::u16string_view suffix : kSuffixes) {
    if (EndsWithIgnoreCase(word, suffix)) {
      return true;
    }
  }
  return false;
}

bool IsCoreCount(std::u16string_view word) {
  constexpr std::u16string_view kSuffix = u"-Core";
  return word.size() > kSuffix.size() && EndsWithIgnoreCase(word, kSuffix) &&
         AllDigits(word.substr(0, word.size() - kSuffix.size()));
}

}  // namespace

std::u16string ShortCpuName(std::u16string_view raw) {
  std::vector<std::u16string> kept;
  bool afterOrdinal = false;
  for (std::u16string& word : Words(raw)) {
    if (IsOrdinal(word)) {
      afterOrdinal = true;
      continue;
    }
    const bool generation = afterOrdinal && EqualsIgnoreCase(word, u"Gen");
    afterOrdinal = false;
    if (generation || IsOneOf(word, kCpuDropped) || IsCoreCount(word)) {
      continue;
    }
    kept.push_back(std::move(word));
  }
  if (kept.size() >= 2 && EqualsIgnoreCase(kept.front(), u"Core")) {
    kept.erase(kept.begin());
  }
  return Join(kept);
}

std::u16string ShortGpuName(std::u16string_view raw) {
  const std::vector<std::u16string> words = Words(raw);
  std::vector<std::u16string> kept;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const bool last = i + 1 == words.size();
    if (IsOneOf(words[i], kGpuDropped) || (!last && EqualsIgnoreCase(words[i], u"GeForce"))) {
      continue;
    }
    kept.push_back(words[i]);
  }
  return Join(kept);
}

std::u16string VendorOf(std::u16string_view raw) {
  std::size_t i = 0;
  while (i < raw.size()) {
    while (i < raw.size() && !IsAlnum(raw[i])) {
      ++i;
    }
    const std::size_t start = i;
    while (i < raw.size() && IsAlnum(raw[i])) {
      ++i;
    }
    const std::u16string_view run = raw.substr(start, i - start);
    for (const VendorWord& entry : kVendors) {
      if (!run.empty() && EqualsIgnoreCase(run, entry.word)) {
        return std::u16string(entry.vendor);
      }
    }
  }
  return {};
}

bool EndsWithIgnoreCase(std::u16string_view word, std::u16string_view suffix) {
  return word.size() >= suffix.size() &&
         EqualsIgnoreCase(word.substr(word.size() - suffix.size()), suffix);
}

std::u16string FrequencyText(double mhz) {
  std::u16string text;
  AppendFrequencyText(text, mhz);
  return text;
}

void AppendFrequencyText(std::u16string& out, double mhz) {
  constexpr double kGigahertzFrom = 999.5;
  if (!(mhz > 0) || !std::isfinite(mhz)) {
    return;
  }
  if (mhz >= kGigahertzFrom) {
    AppendPrintf(out, "%.2f GHz", RoundToDecimals(mhz / 1000, 2));
  } else {
    AppendPrintf(out, "%.0f MHz", RoundHalfAway(mhz));
  }
}

}  // namespace lumetta
