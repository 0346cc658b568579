#include "card/card_accessibility.h"

#include <string>
#include <vector>

#include "app/text_ids.h"
#include "card/card_text.h"

namespace lumetta {
namespace {

class SectionSentence {
 public:
  explicit SectionSentence(const TextSource& texts) : texts_(texts) {}

  std::u16string Value(const CardFacts& facts, SectionId id) const {
    const Snapshot& s = facts.snapshot;
    switch (id) {
      case SectionId::Update:
        return {};
      case SectionId::Clock:
        return Join({std::u16string(facts.date), std::u16string(facts.time)});
      case SectionId::Cpu:
        return Join({s.cpuValid ? FormatPercent(s.cpuTotal, 0) : Unavailable(),
                     facts.settings.showHardwareDetails ? CpuDetailText(s) : std::u16string()});
      case SectionId::Gpu:
        return Join({s.gpuValid ? FormatPercent(s.gpuBusy, 0) : Unavailable(),
                     facts.settings.showHardwareDetails ? JoinNames(s.gpuVendor, s.gpuModel)
                                                        : std::u16string()});
      case SectionId::Memory:
        return Memory(s.memory);
      case SectionId::Network:
        return Network(s);
      case SectionId::Disk:
        return Disk(facts);
      case SectionId::Self:
        return s.self.valid ? SelfText(s.self) : Unavailable();
    }
    return {};
  }

 private:
  std::u16string Join(const std::vector<std::u16string>& parts) const {
    return JoinFigures(parts, texts_.Text(kTextListSeparator));
  }
  std::u16string Unavailable() const { return texts_.Text(kTextUnavailable); }
  // Labelled figures: "App 8.2 GB".
  std::u16string Labelled(std::uint32_t label, std::uint64_t bytes) const {
    return texts_.Text(label) + u" " + FormatBytes(static_cast<double>(bytes));
  }

  std::u16string Memory(const MemorySample& m) const {
    if (!m.valid) {
      return Unavailable();
    }
    return Join({MemoryUsedText(m), Labelled(kTextApp, m.appBytes()),
                 Labelled(kTextKernel, m.kernel),
                 Labelled(kTextCommit, m.commitUsed) + u" / " +
                     FormatBytes(static_cast<double>(m.commitLimit)),
                 texts_.Format(kTextPressure, {texts_.Text(PressureTextId(m.pressure))})});
  }

  std::u16string Network(const Snapshot& s) const {
    const std::u16string label = s.netLabel ? *s.netLabel : std::u16string();
    if (!s.netRatesValid) {
      return Join({label, Unavailable()});
    }
    return Join({label, texts_.Format(kTextReceiving, {FormatRate(s.netReceive)}),
                 texts_.Format(kTextSending, {FormatRate(s.netSend)})});
  }

  std::u16string Disk(const CardFacts& facts) const {
    const DiskSample& d = facts.snapshot.disk;
    if (!d.valid) {
      return Unavailable();
    }
    const bool over = DiskAlertLevel(UsedFraction(d.usedBytes, d.totalBytes),
                                     facts.settings.diskAlertThreshold) == DiskAlert::Over;
    return Join({DiskFreeText(d, texts_),
                 over ? DiskAlertText(facts.settings, texts_) : DiskUsedOfText(d, texts_)});
  }

  const TextSource& texts_;
};

std::u16string SectionTitle(const CardFacts& facts, SectionId id, const TextSource& texts) {
  switch (id) {
    case SectionId::Update:
      return texts.Format(kTextUpdateRequired, {facts.updateVersion});
    case SectionId::Clock:
      return texts.Text(kTextClock);
    case SectionId::Cpu:
      return u"CPU";
    case SectionId::Gpu:
      return u"GPU";
    case SectionId::Memory:
      return texts.Text(kTextMemory);
    case SectionId::Network:
      return texts.Text(kTextNetwork);
    case SectionId::Disk:
      return texts.Text(kTextDisk);
    case SectionId::Self:
      return u"Lumetta";
  }
  return {};
}

// Two lines drawn as one sentence.
std::u16string OneLine(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\n') {
      c = u' ';
    }
  }
  return text;
}

}  // namespace

A11yTree CardAccessibilityTree(const CardFacts& facts, const TextSource& texts) {
  A11yTree tree;
  const SectionSentence sentence(texts);
  if (facts.layout.sections.empty()) {
    tree.Add(kCardElementNothingToShow, 0, A11yRole::Text, OneLine(texts.Text(kTextNothingToShow)),
             {kCardLeft, 12, kCardRight, 44});
  }
  for (const LaidOutSection& section : facts.layout.sections) {
    const RectF bounds{kCardLeft, section.top, kCardRight, section.top + section.height};
    // A Text element has no Value pattern: a reader says its name, so the figures go there.
    // The update line is a notice a reader speaks when it appears.
    tree.Add(
            SectionElement(section.id), 0,
            section.id == SectionId::Update ? A11yRole::Link : A11yRole::Text,
            JoinFigures({SectionTitle(facts, section.id, texts), sentence.Value(facts, section.id)},
                        texts.Text(kTextListSeparator)),
            bounds)
        .live = section.id == SectionId::Update;
  }
  // The buttons show only under the pointer, but they are always there to be invoked.
  tree.Add(kCardElementSettings, 0, A11yRole::Button, texts.Text(kTextMenuSettings),
           kSettingsButtonBox);
  tree.Add(kCardElementPin, 0, A11yRole::Button, texts.Text(kTextMenuAlwaysOnTop), kPinButtonBox)
      .toggled = facts.settings.alwaysOnTop;
  return tree;
}

}  // namespace lumetta
