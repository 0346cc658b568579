#include "card/card_view.h"

#include <span>

#include "base/rounding.h"

#include "app/text_ids.h"
#include "base/printf.h"
#include "metrics/hardware_names.h"
#include "window/accessibility.h"

namespace lumetta {
namespace {

constexpr std::u16string_view kMiddleDot = u" \u00B7 ";

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

// `text` in `out`'s own storage. (Appended, not assigned: GCC 12 at -O3 warns falsely of
// overlapping copies in an assignment from a view.)
void SetText(std::u16string& out, std::u16string_view text) {
  out.clear();
  out.append(text);
}

// The next line of `out`, emptied in place.
CardCaption& AddCaption(CardSectionView& out, Tone tone) {
  CardCaption& caption = out.captions.Add();
  caption.text.clear();
  caption.figure.clear();
  caption.tone = tone;
  return caption;
}

void AppendNames(std::u16string& out, const std::u16string& vendor, const std::u16string& model) {
  out += vendor;
  if (!vendor.empty() && !model.empty()) {
    out += u' ';
  }
  out += model;
}

// "App 8.2G": a word and a compact size.
void AppendWordAndBytes(std::u16string& out, std::u16string_view word, std::uint64_t bytes) {
  out += word;
  out += u' ';
  AppendBytesCompact(out, static_cast<double>(bytes));
}

// "62 °C".
void AppendDegrees(std::u16string& out, double celsius) {
  AppendPrintf(out, "%.0f", RoundHalfAway(celsius));
  out += u" \u00B0C";
}

// "62 °C · VRAM 1.2G/8.0G", a dash for what the driver does not tell.
void AppendGpuDetails(std::u16string& out, const GpuDetails& gpu) {
  if (gpu.temperatureValid) {
    AppendDegrees(out, gpu.temperatureCelsius);
  } else {
    out += kDash;
  }
  out += kMiddleDot;
  out += u"VRAM ";
  if (gpu.memoryValid) {
    AppendBytesCompact(out, static_cast<double>(gpu.dedicatedUsedBytes));
    out += u'/';
    AppendBytesCompact(out, static_cast<double>(gpu.dedicatedTotalBytes));
  } else {
    out += kDash;
  }
}

// Within a fifth of the charge the figure warns, within a tenth it alarms; never on mains.
Tone ChargeTone(const BatterySample& battery) {
  if (battery.pluggedIn) {
    return Tone::Primary;
  }
  return battery.charge <= 0.1   ? Tone::Critical
         : battery.charge <= 0.2 ? Tone::Warning
                                 : Tone::Primary;
}

// A process's CPU share with a decimal below 10%, as the card's own load is given.
void AppendProcessCpu(std::u16string& out, double share) {
  AppendPercent(out, share, share < 0.1 ? 1 : 0);
}
std::u16string FormatProcessCpu(double share) {
  std::u16string text;
  AppendProcessCpu(text, share);
  return text;
}

class SectionBuilder {
 public:
  SectionBuilder(const CardViewInput& input, const CardWords& words, CardView& view)
      : in_(input), s_(input.snapshot), words_(words), view_(view) {}

  // What is drawn.
  void Build(SectionId id, CardSectionView& out) const {
    out.captions.clear();
    out.headlineTone = Tone::Primary;
    out.headline.clear();
    switch (id) {
      case SectionId::Update:
        out.title.clear();
        words_.AppendFormat(out.title, kTextUpdateRequired, {in_.updateVersion});
        return;
      case SectionId::Clock:
        out.title = words_[kTextClock];
        AppendPrintf(out.headline, "%d:%02d", in_.hour, in_.minute);
        AddCaption(out, Tone::Secondary).text = in_.date;
        return;
      case SectionId::Cpu:
        Load(out, u"CPU", s_.cpuValid, s_.cpuTotal);
        if (in_.settings.showHardwareDetails) {
          std::u16string& detail = AddCaption(out, Tone::Tertiary).text;
          AppendNames(detail, s_.cpuVendor, s_.cpuModel);
          if (s_.cpuFrequencyValid) {
            detail += kMiddleDot;
            AppendFrequencyText(detail, s_.cpuFrequencyMhz);
          }
        }
        return;
      case SectionId::Gpu:
        Load(out, u"GPU", s_.gpuValid, s_.gpuBusy);
        if (in_.settings.showHardwareDetails) {
          AppendNames(AddCaption(out, Tone::Tertiary).text, s_.gpuVendor, s_.gpuModel);
        }
        if (in_.settings.showGpuDetails) {
          AppendGpuDetails(AddCaption(out, Tone::Tertiary).text, s_.gpuDetails);
        }
        return;
      case SectionId::Memory:
        Memory(out);
        return;
      case SectionId::Network:
        Network(out);
        return;
      case SectionId::Disk:
        Disk(out);
        return;
      case SectionId::Battery:
        Battery(out);
        return;
      case SectionId::Processes:
        Processes(out);
        return;
      case SectionId::Self:
        out.title = u"Lumetta";
        out.headlineTone = Tone::Secondary;
        if (s_.self.valid) {
          out.headline += u"CPU ";
          AppendPercent(out.headline, s_.self.cpuShare, 1);
          out.headline += kMiddleDot;
          AppendBytes(out.headline, static_cast<double>(s_.self.privateWorkingSet));
        } else {
          SetText(out.headline, kDash);
        }
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
        heard.push_back(measured ? out.headline : Unavailable());
        for (const CardCaption& detail : out.captions) {
          heard.push_back(detail.text);
        }
        break;
      case SectionId::Gpu: {
        heard.push_back(measured ? out.headline : Unavailable());
        if (in_.settings.showHardwareDetails) {
          heard.push_back(out.captions[0].text);
        }
        const GpuDetails& gpu = s_.gpuDetails;
        if (!in_.settings.showGpuDetails) {
          break;
        }
        std::u16string degrees;
        AppendDegrees(degrees, gpu.temperatureCelsius);
        heard.push_back(
            words_.Format(kTextTemperature, {gpu.temperatureValid ? degrees : Unavailable()}));
        heard.push_back(gpu.memoryValid
                            ? words_.Format(kTextGpuMemory, {Bytes(gpu.dedicatedUsedBytes),
                                                             Bytes(gpu.dedicatedTotalBytes)})
                            : u"VRAM " + Unavailable());
        break;
      }
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
        } else {
          heard.insert(heard.end(), {out.headline, out.captions[0].text});
        }
        if (in_.settings.showDiskActivity) {
          const DiskActivitySample& a = s_.diskActivity;
          heard.push_back(words_.Format(
              kTextDiskReading, {a.valid ? FormatRate(a.readBytesPerSecond) : Unavailable()}));
          heard.push_back(words_.Format(
              kTextDiskWriting, {a.valid ? FormatRate(a.writeBytesPerSecond) : Unavailable()}));
        }
        break;
      case SectionId::Battery:
        heard.insert(heard.end(), {measured ? out.headline : Unavailable(), out.captions[0].text});
        break;
      case SectionId::Processes:
        if (!s_.processes.valid) {
          heard.push_back(Unavailable());
          break;
        }
        heard.push_back(words_.Format(
            kTextMostCpu, {Listed(s_.processes.cpu, s_.processes.cpuCount, &FormatProcessCpu)}));
        heard.push_back(
            words_.Format(kTextMostMemory,
                          {Listed(s_.processes.memory, s_.processes.memoryCount, &FormatBytes)}));
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
    SetText(out.headline, kDash);
    out.headlineTone = Tone::Secondary;
  }
  // "chrome 12%, Code 5.1%", or "Teams 512 MB" in full units; a dash for an empty list.
  std::u16string Listed(const std::array<ProcessFigure, kTopProcessCount>& figures,
                        std::size_t count, std::u16string (*format)(double)) const {
    std::vector<std::u16string> rows;
    for (std::size_t i = 0; i < count; ++i) {
      rows.push_back(std::u16string(figures[i].Name()) + u" " + format(figures[i].value));
    }
    return rows.empty() ? std::u16string(kDash) : JoinFigures(rows, words_[kTextListSeparator]);
  }

  // The CPU's and GPU's load in large figures, or a dash.
  static void Load(CardSectionView& out, std::u16string_view title, bool valid, double load) {
    out.title = title;
    if (valid) {
      AppendPercent(out.headline, load, 0);
    } else {
      Unmeasured(out);
    }
  }

  void Memory(CardSectionView& out) const {
    const MemorySample& m = s_.memory;
    out.title = words_[kTextMemory];
    if (!m.valid) {
      Unmeasured(out);
      return;
    }
    AppendBytes(out.headline, static_cast<double>(m.usedPhysical));
    out.headline += u" / ";
    AppendBytes(out.headline, static_cast<double>(m.totalPhysical));
    // Drawn compact ("App 8.2G"); the tone of the pressure word colours its dot.
    AppendWordAndBytes(AddCaption(out, Tone::Secondary).text, words_[kTextApp], m.AppBytes());
    AppendWordAndBytes(AddCaption(out, Tone::Secondary).text, words_[kTextKernel], m.kernel);
    std::u16string& commit = AddCaption(out, Tone::Secondary).text;
    AppendWordAndBytes(commit, words_[kTextCommit], m.commitUsed);
    commit += u'/';
    AppendBytesCompact(commit, static_cast<double>(m.commitLimit));
    AddCaption(out, PressureTone(m.pressure)).text = words_[PressureTextId(m.pressure)];
  }

  void Network(CardSectionView& out) const {
    out.title = words_[kTextNetwork];
    if (s_.netLabel) {
      out.headline = *s_.netLabel;
    }
    out.headlineTone = Tone::Secondary;
    for (const double rate : {s_.netReceive, s_.netSend}) {
      CardCaption& caption = AddCaption(out, s_.netRatesValid ? Tone::Primary : Tone::Secondary);
      if (s_.netRatesValid) {
        AppendRate(caption.text, rate, in_.settings.networkInBits);
      } else {
        SetText(caption.text, kDash);
      }
    }
  }

  // Line 0 tells the space used (or, past the threshold, the alert), line 1 the activity.
  void Disk(CardSectionView& out) const {
    const DiskSample& d = s_.disk;
    out.title = words_[kTextDisk];
    view_.diskUsed = d.valid ? UsedFraction(d.usedBytes, d.totalBytes) : 0;
    view_.diskAlert =
        d.valid ? DiskAlertLevel(view_.diskUsed, in_.settings.diskAlertThreshold) : DiskAlert::None;
    view_.diskMeasured = d.valid;
    std::u16string(&figures)[2] = view_.figures;
    CardCaption& line = AddCaption(out, Tone::Secondary);
    if (!d.valid) {
      Unmeasured(out);
    } else {
      figures[0].clear();
      AppendBytes(figures[0], static_cast<double>(FreeBytes(d.usedBytes, d.totalBytes)));
      words_.AppendFormat(out.headline, kTextFree, {figures[0]});
      out.headlineTone = view_.diskAlert == DiskAlert::None   ? Tone::Primary
                         : view_.diskAlert == DiskAlert::Near ? Tone::Warning
                                                              : Tone::Critical;
      figures[0].clear();
      figures[1].clear();
      // Past the threshold the alert takes the used-of line's place.
      if (view_.diskAlert == DiskAlert::Over) {
        AppendPercent(figures[0], in_.settings.diskAlertThreshold, 0);
        words_.AppendFormat(line.text, kTextUsageAbove, {figures[0]});
        line.tone = Tone::Critical;
      } else {
        AppendBytes(figures[0], static_cast<double>(d.usedBytes));
        AppendBytes(figures[1], static_cast<double>(d.totalBytes));
        words_.AppendFormat(line.text, kTextUsedOf, {figures[0], figures[1]});
      }
    }
    if (in_.settings.showDiskActivity) {
      const DiskActivitySample& a = s_.diskActivity;
      figures[0].clear();
      figures[1].clear();
      if (a.valid) {
        AppendRate(figures[0], a.readBytesPerSecond);
        AppendRate(figures[1], a.writeBytesPerSecond);
      } else {
        SetText(figures[0], kDash);
        SetText(figures[1], kDash);
      }
      words_.AppendFormat(AddCaption(out, Tone::Secondary).text, kTextDiskActivity,
                          {figures[0], figures[1]});
    }
  }

  void Battery(CardSectionView& out) const {
    const BatterySample& b = s_.battery;
    out.title = words_[kTextBattery];
    if (b.chargeValid) {
      AppendPercent(out.headline, b.charge, 0);
      out.headlineTone = ChargeTone(b);
    } else {
      Unmeasured(out);
    }
    std::u16string& state = AddCaption(out, Tone::Secondary).text;
    state = words_[b.charging ? kTextCharging : b.pluggedIn ? kTextPluggedIn : kTextOnBattery];
    if (!b.pluggedIn && b.timeLeftValid) {
      std::u16string(&figures)[2] = view_.figures;
      figures[0].clear();
      figures[1].clear();
      const std::uint32_t minutes = b.secondsLeft / 60;
      AppendPrintf(figures[0], "%u", static_cast<unsigned>(minutes / 60));
      AppendPrintf(figures[1], "%u", static_cast<unsigned>(minutes % 60));
      state += kMiddleDot;
      words_.AppendFormat(state, kTextTimeLeft, {figures[0], figures[1]});
    }
  }

  // Two headed lists of three, a line each whether or not a process fills it, so that the
  // section keeps its size; the first line of an empty list is a dash.
  void Processes(CardSectionView& out) const {
    const ProcessTop& p = s_.processes;
    out.title = words_[kTextProcesses];
    if (!p.valid) {
      Unmeasured(out);
    }
    const struct {
      std::u16string_view header;
      const std::array<ProcessFigure, kTopProcessCount>& figures;
      std::size_t count;
      void (*append)(std::u16string&, double);
    } lists[] = {{u"CPU", p.cpu, p.valid ? p.cpuCount : 0, &AppendProcessCpu},
                 {words_[kTextMemory], p.memory, p.valid ? p.memoryCount : 0, &AppendBytesCompact}};
    for (const auto& list : lists) {
      AddCaption(out, Tone::Tertiary).text = list.header;
      for (std::size_t i = 0; i < kTopProcessCount; ++i) {
        CardCaption& row = AddCaption(out, Tone::Secondary);
        if (i < list.count) {
          SetText(row.text, list.figures[i].Name());
          list.append(row.figure, list.figures[i].value);
        } else if (i == 0) {
          SetText(row.text, kDash);
        }
      }
    }
  }

  const CardViewInput& in_;
  const Snapshot& s_;
  const CardWords& words_;
  CardView& view_;
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
    kTextBattery,
    kTextCharging,
    kTextPluggedIn,
    kTextOnBattery,
    kTextTimeLeft,
    kTextProcesses,
    kTextDiskActivity,
    kTextDiskReading,
    kTextDiskWriting,
    kTextTemperature,
    kTextGpuMemory,
    kTextMostCpu,
    kTextMostMemory,
};

}  // namespace

std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model) {
  std::u16string names;
  AppendNames(names, vendor, model);
  return names;
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

void CardWords::AppendFormat(std::u16string& out, std::uint32_t id,
                             std::initializer_list<std::u16string_view> arguments) const {
  AppendPlaceholders(out, (*this)[id], std::span(arguments.begin(), arguments.size()));
}

void BuildCardView(const CardViewInput& input, const CardWords& words, CardView& view) {
  const SectionBuilder builder(input, words, view);
  const Settings& s = input.settings;
  std::array<bool, kSectionCount> shown{};
  for (const auto& [id, on] :
       {std::pair{SectionId::Update, input.updateState == UpdateState::Required},
        {SectionId::Clock, s.showClock},
        {SectionId::Cpu, s.showCpu},
        {SectionId::Gpu, s.showGpu},
        {SectionId::Memory, s.showMemory},
        {SectionId::Network, s.showNetwork},
        {SectionId::Disk, s.showDisk},
        {SectionId::Battery, s.showBattery && input.snapshot.battery.present},
        {SectionId::Processes, s.showProcesses},
        {SectionId::Self, s.showSelf}}) {
    shown[static_cast<std::size_t>(id)] = on;
  }
  view.diskUsed = 0;
  view.diskAlert = DiskAlert::None;
  view.diskMeasured = false;
  for (std::size_t i = 0; i < kSectionCount; ++i) {
    CardSectionView& section = view.sections[i];
    if (!shown[i]) {
      section.captions.clear();
      section.headline.clear();
      section.sentence.clear();
      continue;
    }
    builder.Build(static_cast<SectionId>(i), section);
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
