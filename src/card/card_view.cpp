#include "card/card_view.h"

#include <span>

#include "app/text_ids.h"
#include "base/printf.h"
#include "metrics/hardware_names.h"
#include "window/accessibility.h"

namespace lumetta {
namespace {

constexpr std::u16string_view kMiddleDot = u" \u00B7 ";

// The CPU's names and, when measured, its frequency: "Intel i7-8700K · 4.25 GHz".
std::u16string CpuDetailText(const Snapshot& snapshot) {
  std::u16string detail = JoinNames(snapshot.cpuVendor, snapshot.cpuModel);
  if (snapshot.cpuFrequencyValid) {
    detail += kMiddleDot;
    detail += FrequencyText(snapshot.cpuFrequencyMhz);
  }
  return detail;
}

std::uint32_t PressureTextId(MemoryPressure pressure) {
  switch (pressure) {
    case MemoryPressure::Elevated:
      return kTextPressureElevated;
    case MemoryPressure::Critical:
      return kTextPressureCritical;
    case MemoryPressure::Normal:
      break;
  }
  return kTextPressureNormal;
}

Tone PressureTone(MemoryPressure pressure) {
  return pressure == MemoryPressure::Critical   ? Tone::Critical
         : pressure == MemoryPressure::Elevated ? Tone::Warning
                                                : Tone::Good;
}

std::u16string Bytes(std::uint64_t bytes) {
  return FormatBytes(static_cast<double>(bytes));
}
std::u16string CompactBytes(std::uint64_t bytes) {
  return FormatBytesCompact(static_cast<double>(bytes));
}

class SectionBuilder {
 public:
  SectionBuilder(const CardViewInput& input, const CardWords& words)
      : in_(input), s_(input.snapshot), words_(words) {}

  // What is drawn.
  void Build(SectionId id, CardSectionView& out, CardView& view) const {
    out.captions.clear();
    out.headlineTone = Tone::Primary;
    switch (id) {
      case SectionId::Update:
        out.title = words_.Format(kTextUpdateRequired, {in_.updateVersion});
        out.headline.clear();
        return;
      case SectionId::Clock:
        out.title = words_[kTextClock];
        out.headline = AsciiToU16(StringPrintf("%d:%02d", in_.hour, in_.minute));
        out.captions.push_back({std::u16string(in_.date), Tone::Secondary});
        return;
      case SectionId::Cpu:
        Load(out, u"CPU", s_.cpuValid, s_.cpuTotal, CpuDetailText(s_));
        return;
      case SectionId::Gpu:
        Load(out, u"GPU", s_.gpuValid, s_.gpuBusy, JoinNames(s_.gpuVendor, s_.gpuModel));
        return;
      case SectionId::Memory:
        Memory(out);
        return;
      case SectionId::Network:
        Network(out);
        return;
      case SectionId::Disk:
        Disk(out, view);
        return;
      case SectionId::Self:
        out.title = u"Lumetta";
        out.headlineTone = Tone::Secondary;
        out.headline = s_.self.valid
                           ? u"CPU " + FormatPercent(s_.self.cpuShare, 1) +
                                 std::u16string(kMiddleDot) + Bytes(s_.self.privateWorkingSet)
                           : std::u16string(kDash);
        return;
    }
  }

  // What a reader hears: the title, then the figures, in full words and units where the
  // card draws them short.
  void Hear(SectionId id, CardSectionView& out) const {
    std::vector<std::u16string> heard{out.title};
    const bool measured = out.headline != kDash;
    switch (id) {
      case SectionId::Update:
        break;
      case SectionId::Clock:
        heard.insert(heard.end(), {out.captions[0].text, out.headline});
        break;
      case SectionId::Cpu:
      case SectionId::Gpu:
        heard.push_back(measured ? out.headline : Unavailable());
        for (const CardCaption& detail : out.captions) {
          heard.push_back(detail.text);
        }
        break;
      case SectionId::Memory: {
        const MemorySample& m = s_.memory;
        if (!measured) {
          heard.push_back(Unavailable());
          break;
        }
        heard.insert(heard.end(), {out.headline, words_[kTextApp] + u" " + Bytes(m.AppBytes()),
                                   words_[kTextKernel] + u" " + Bytes(m.kernel),
                                   words_[kTextCommit] + u" " + Bytes(m.commitUsed) + u" / " +
                                       Bytes(m.commitLimit),
                                   words_.Format(kTextPressure, {out.captions[3].text})});
        break;
      }
      case SectionId::Network:
        heard.push_back(out.headline);
        if (!s_.netRatesValid) {
          heard.push_back(Unavailable());
          break;
        }
        heard.push_back(words_.Format(kTextReceiving, {out.captions[0].text}));
        heard.push_back(words_.Format(kTextSending, {out.captions[1].text}));
        break;
      case SectionId::Disk:
        if (!measured) {
          heard.push_back(Unavailable());
          break;
        }
        heard.insert(heard.end(), {out.headline, out.captions[0].text});
        break;
      case SectionId::Self:
        heard.push_back(measured ? out.headline : Unavailable());
        break;
    }
    out.sentence = JoinFigures(heard, words_[kTextListSeparator]);
  }

 private:
  const std::u16string& Unavailable() const { return words_[kTextUnavailable]; }
  // Nothing measured yet: a dash is drawn.
  static void Unmeasured(CardSectionView& out) {
    out.headline = std::u16string(kDash);
    out.headlineTone = Tone::Secondary;
  }

  // The CPU's and GPU's load in large figures, or a dash, and the hardware's names.
  void Load(CardSectionView& out, std::u16string_view title, bool valid, double load,
            std::u16string detail) const {
    out.title = title;
    if (valid) {
      out.headline = FormatPercent(load, 0);
    } else {
      Unmeasured(out);
    }
    if (in_.settings.showHardwareDetails) {
      out.captions.push_back({std::move(detail), Tone::Tertiary});
    }
  }

  void Memory(CardSectionView& out) const {
    const MemorySample& m = s_.memory;
    out.title = words_[kTextMemory];
    if (!m.valid) {
      Unmeasured(out);
      return;
    }
    out.headline = Bytes(m.usedPhysical) + u" / " + Bytes(m.totalPhysical);
    // Drawn compact ("App 8.2G"); the tone of the pressure word colours its dot.
    out.captions = {
        {words_[kTextApp] + u" " + CompactBytes(m.AppBytes()), Tone::Secondary},
        {words_[kTextKernel] + u" " + CompactBytes(m.kernel), Tone::Secondary},
        {words_[kTextCommit] + u" " + CompactBytes(m.commitUsed) + u"/" +
             CompactBytes(m.commitLimit),
         Tone::Secondary},
        {words_[PressureTextId(m.pressure)], PressureTone(m.pressure)},
    };
  }

  void Network(CardSectionView& out) const {
    out.title = words_[kTextNetwork];
    out.headline = s_.netLabel ? *s_.netLabel : std::u16string();
    out.headlineTone = Tone::Secondary;
    for (const double rate : {s_.netReceive, s_.netSend}) {
      out.captions.push_back(s_.netRatesValid
                                 ? CardCaption{FormatRate(rate), Tone::Primary}
                                 : CardCaption{std::u16string(kDash), Tone::Secondary});
    }
  }

  void Disk(CardSectionView& out, CardView& view) const {
    const DiskSample& d = s_.disk;
    out.title = words_[kTextDisk];
    view.diskUsed = d.valid ? UsedFraction(d.usedBytes, d.totalBytes) : 0;
    view.diskAlert =
        d.valid ? DiskAlertLevel(view.diskUsed, in_.settings.diskAlertThreshold) : DiskAlert::None;
    if (!d.valid) {
      Unmeasured(out);
      return;
    }
    out.headline = words_.Format(kTextFree, {Bytes(FreeBytes(d.usedBytes, d.totalBytes))});
    out.headlineTone = view.diskAlert == DiskAlert::None   ? Tone::Primary
                       : view.diskAlert == DiskAlert::Near ? Tone::Warning
                                                           : Tone::Critical;
    // Past the threshold the alert takes the used-of line's place.
    out.captions.push_back(
        view.diskAlert == DiskAlert::Over
            ? CardCaption{words_.Format(kTextUsageAbove,
                                        {FormatPercent(in_.settings.diskAlertThreshold, 0)}),
                          Tone::Critical}
            : CardCaption{words_.Format(kTextUsedOf, {Bytes(d.usedBytes), Bytes(d.totalBytes)}),
                          Tone::Secondary});
  }

  const CardViewInput& in_;
  const Snapshot& s_;
  const CardWords& words_;
};

// Every text the card looks up.
constexpr std::uint32_t kCardTextIds[] = {
    kTextListSeparator,
    kTextUnavailable,
    kTextUpdateRequired,
    kTextClock,
    kTextMemory,
    kTextNetwork,
    kTextDisk,
    kTextApp,
    kTextKernel,
    kTextCommit,
    kTextPressure,
    kTextPressureNormal,
    kTextPressureElevated,
    kTextPressureCritical,
    kTextReceiving,
    kTextSending,
    kTextFree,
    kTextUsedOf,
    kTextUsageAbove,
    kTextNothingToShow,
    kTextMenuSettings,
    kTextMenuAlwaysOnTop,
};

}  // namespace

std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model) {
  if (vendor.empty() || model.empty()) {
    return vendor + model;
  }
  return vendor + u" " + model;
}

CardWords::CardWords(const TextSource& texts) {
  for (const std::uint32_t id : kCardTextIds) {
    words_.emplace_back(id, texts.Text(id));
  }
}

const std::u16string& CardWords::operator[](std::uint32_t id) const {
  static const std::u16string kMissing = u"?";
  for (const auto& [known, text] : words_) {
    if (known == id) {
      return text;
    }
  }
  return kMissing;
}

std::u16string CardWords::Format(std::uint32_t id,
                                 std::initializer_list<std::u16string_view> arguments) const {
  return FormatPlaceholders((*this)[id], std::span(arguments.begin(), arguments.size()));
}

void BuildCardView(const CardViewInput& input, const CardWords& words, CardView& view) {
  const SectionBuilder builder(input, words);
  const Settings& s = input.settings;
  const bool shown[kSectionCount] = {input.updateState == UpdateState::Required,
                                     s.showClock,
                                     s.showCpu,
                                     s.showGpu,
                                     s.showMemory,
                                     s.showNetwork,
                                     s.showDisk,
                                     s.showSelf};
  view.diskUsed = 0;
  view.diskAlert = DiskAlert::None;
  for (std::size_t i = 0; i < kSectionCount; ++i) {
    CardSectionView& section = view.sections[i];
    if (!shown[i]) {
      section = {};
      continue;
    }
    builder.Build(static_cast<SectionId>(i), section, view);
    if (input.sentences) {
      builder.Hear(static_cast<SectionId>(i), section);
    } else {
      section.sentence.clear();
    }
  }
  view.sentences = input.sentences;
  view.nothingToShow = words[kTextNothingToShow];
  view.settingsButton = words[kTextMenuSettings];
  view.pinButton = words[kTextMenuAlwaysOnTop];
  view.pinned = s.alwaysOnTop;
  view.coreBars = s.showCoreBars;
  view.secondOfMinute = input.second / 60.0;
}

}  // namespace lumetta
