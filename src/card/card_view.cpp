#include "card/card_view.h"

#include "app/text_ids.h"
#include "base/printf.h"
#include "metrics/hardware_names.h"
#include "window/accessibility.h"

namespace lumetta {
namespace {

constexpr std::u16string_view kMiddleDot = u" \u00B7 ";

// The CPU's names and, when measured, its clock: "Intel i7-8700K · 4.25 GHz".
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
    case MemoryPressure::kElevated:
      return kTextPressureElevated;
    case MemoryPressure::kCritical:
      return kTextPressureCritical;
    case MemoryPressure::kNormal:
      break;
  }
  return kTextPressureNormal;
}

Tone PressureTone(MemoryPressure pressure) {
  return pressure == MemoryPressure::kCritical   ? Tone::Critical
         : pressure == MemoryPressure::kElevated ? Tone::Warning
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
  SectionBuilder(const CardViewInput& input, const TextSource& texts)
      : in_(input), s_(input.snapshot), texts_(texts), separator_(texts.Text(kTextListSeparator)) {}

  void Build(SectionId id, CardSectionView& out, CardView& view) const {
    out.captions.clear();
    out.headlineTone = Tone::Primary;
    std::vector<std::u16string> heard;  // the figures a reader hears after the title
    switch (id) {
      case SectionId::Update:
        out.title = texts_.Format(kTextUpdateRequired, {in_.updateVersion});
        out.headline.clear();
        break;
      case SectionId::Clock:
        out.title = texts_.Text(kTextClock);
        out.headline = AsciiToU16(StringPrintf("%d:%02d", in_.hour, in_.minute));
        out.captions.push_back({std::u16string(in_.date), Tone::Secondary});
        heard = {out.captions[0].text, out.headline};
        break;
      case SectionId::Cpu:
        Load(out, u"CPU", s_.cpuValid, s_.cpuTotal, CpuDetailText(s_), heard);
        break;
      case SectionId::Gpu:
        Load(out, u"GPU", s_.gpuValid, s_.gpuBusy, JoinNames(s_.gpuVendor, s_.gpuModel), heard);
        break;
      case SectionId::Memory:
        Memory(out, heard);
        break;
      case SectionId::Network:
        Network(out, heard);
        break;
      case SectionId::Disk:
        Disk(out, view, heard);
        break;
      case SectionId::Self:
        out.title = u"Lumetta";
        out.headline = s_.self.valid
                           ? u"CPU " + FormatPercent(s_.self.cpuShare, 1) +
                                 std::u16string(kMiddleDot) + Bytes(s_.self.privateWorkingSet)
                           : std::u16string(kDash);
        out.headlineTone = Tone::Secondary;
        heard = {s_.self.valid ? out.headline : Unavailable()};
        break;
    }
    const std::u16string figures = JoinFigures(heard, separator_);
    out.sentence = figures.empty() ? out.title : out.title + separator_ + figures;
  }

 private:
  std::u16string Unavailable() const { return texts_.Text(kTextUnavailable); }
  // Nothing measured yet: a dash is drawn, "not available" heard.
  void Unmeasured(CardSectionView& out, std::vector<std::u16string>& heard) const {
    out.headline = std::u16string(kDash);
    out.headlineTone = Tone::Secondary;
    heard = {Unavailable()};
  }

  // The CPU's and GPU's load in large figures, or a dash, and the hardware's names.
  void Load(CardSectionView& out, std::u16string_view title, bool valid, double load,
            std::u16string detail, std::vector<std::u16string>& heard) const {
    out.title = title;
    out.headline = valid ? FormatPercent(load, 0) : std::u16string(kDash);
    out.headlineTone = valid ? Tone::Primary : Tone::Secondary;
    heard.push_back(valid ? out.headline : Unavailable());
    if (in_.settings.showHardwareDetails) {
      heard.push_back(detail);
      out.captions.push_back({std::move(detail), Tone::Tertiary});
    }
  }

  void Memory(CardSectionView& out, std::vector<std::u16string>& heard) const {
    const MemorySample& m = s_.memory;
    out.title = texts_.Text(kTextMemory);
    if (!m.valid) {
      Unmeasured(out, heard);
      return;
    }
    out.headline = Bytes(m.usedPhysical) + u" / " + Bytes(m.totalPhysical);
    const std::u16string app = texts_.Text(kTextApp);
    const std::u16string kernel = texts_.Text(kTextKernel);
    const std::u16string commit = texts_.Text(kTextCommit);
    const std::u16string pressure = texts_.Text(PressureTextId(m.pressure));
    // Drawn compact ("App 8.2G"); read in full words and units.
    out.captions = {
        {app + u" " + CompactBytes(m.appBytes()), Tone::Secondary},
        {kernel + u" " + CompactBytes(m.kernel), Tone::Secondary},
        {commit + u" " + CompactBytes(m.commitUsed) + u"/" + CompactBytes(m.commitLimit),
         Tone::Secondary},
        {pressure, PressureTone(m.pressure)},  // the tone colours the word's dot
    };
    heard = {out.headline, app + u" " + Bytes(m.appBytes()), kernel + u" " + Bytes(m.kernel),
             commit + u" " + Bytes(m.commitUsed) + u" / " + Bytes(m.commitLimit),
             texts_.Format(kTextPressure, {pressure})};
  }

  void Network(CardSectionView& out, std::vector<std::u16string>& heard) const {
    out.title = texts_.Text(kTextNetwork);
    out.headline = s_.netLabel ? *s_.netLabel : std::u16string();
    out.headlineTone = Tone::Secondary;
    heard = {out.headline};
    for (const double rate : {s_.netReceive, s_.netSend}) {
      out.captions.push_back(s_.netRatesValid
                                 ? CardCaption{FormatRate(rate), Tone::Primary}
                                 : CardCaption{std::u16string(kDash), Tone::Secondary});
    }
    if (!s_.netRatesValid) {
      heard.push_back(Unavailable());
      return;
    }
    heard.push_back(texts_.Format(kTextReceiving, {out.captions[0].text}));
    heard.push_back(texts_.Format(kTextSending, {out.captions[1].text}));
  }

  void Disk(CardSectionView& out, CardView& view, std::vector<std::u16string>& heard) const {
    const DiskSample& d = s_.disk;
    out.title = texts_.Text(kTextDisk);
    view.diskUsed = d.valid ? UsedFraction(d.usedBytes, d.totalBytes) : 0;
    view.diskAlert =
        d.valid ? DiskAlertLevel(view.diskUsed, in_.settings.diskAlertThreshold) : DiskAlert::None;
    if (!d.valid) {
      Unmeasured(out, heard);
      return;
    }
    out.headline = texts_.Format(kTextFree, {Bytes(FreeBytes(d.usedBytes, d.totalBytes))});
    out.headlineTone = view.diskAlert == DiskAlert::None   ? Tone::Primary
                       : view.diskAlert == DiskAlert::Near ? Tone::Warning
                                                           : Tone::Critical;
    // Past the threshold the alert takes the used-of line's place.
    out.captions.push_back(
        view.diskAlert == DiskAlert::Over
            ? CardCaption{texts_.Format(kTextUsageAbove,
                                        {FormatPercent(in_.settings.diskAlertThreshold, 0)}),
                          Tone::Critical}
            : CardCaption{texts_.Format(kTextUsedOf, {Bytes(d.usedBytes), Bytes(d.totalBytes)}),
                          Tone::Secondary});
    heard = {out.headline, out.captions[0].text};
  }

  const CardViewInput& in_;
  const Snapshot& s_;
  const TextSource& texts_;
  std::u16string separator_;
};

}  // namespace

std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model) {
  if (vendor.empty() || model.empty()) {
    return vendor + model;
  }
  return vendor + u" " + model;
}

void BuildCardView(const CardViewInput& input, const TextSource& texts, CardView& view) {
  const SectionBuilder builder(input, texts);
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
    if (shown[i]) {
      builder.Build(static_cast<SectionId>(i), view.sections[i], view);
    } else {
      view.sections[i] = {};
    }
  }
  view.nothingToShow = texts.Text(kTextNothingToShow);
  view.settingsButton = texts.Text(kTextMenuSettings);
  view.pinButton = texts.Text(kTextMenuAlwaysOnTop);
  view.pinned = s.alwaysOnTop;
  view.coreBars = s.showCoreBars;
  view.secondOfMinute = input.second / 60.0;
}

}  // namespace lumetta
