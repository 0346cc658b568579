#include "card/card_accessibility.h"

#include <gtest/gtest.h>

#include "support/rc_texts.h"

namespace lumetta {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

Snapshot Measured() {
  Snapshot s;
  s.cpuVendor = u"Intel";
  s.cpuModel = u"i7-8700K";
  s.cpuClockMhz = 4250;
  s.cpuClockValid = true;
  s.cpuTotal = 0.05;
  s.cpuValid = true;
  s.gpuVendor = u"NVIDIA";
  s.gpuModel = u"RTX 4070";
  s.gpuBusy = 0.5;
  s.gpuValid = true;
  s.memory = {12 * kGiB, 16 * kGiB, 2 * kGiB, 14 * kGiB, 20 * kGiB, MemoryPressure::kElevated,
              true};
  s.netReceive = 1536;
  s.netSend = 0;
  s.netRatesValid = true;
  s.netLabel = u"Wi-Fi 6 \u00B7 Home";
  s.disk = {400 * kGiB, 500 * kGiB, true};
  s.self = {0.004, 24 * 1024 * 1024, true};
  return s;
}

struct Card {
  Snapshot snapshot = Measured();
  Settings settings;
  SectionLayout layout;

  A11yTree Tree(const TextSource& texts, UpdateState update = UpdateState::None) {
    layout = StackSections(CardSections(settings, update, std::nullopt));
    return CardAccessibilityTree({snapshot, settings, layout, u"2.0", u"Sun, Dec 6", u"9:05"},
                                 texts);
  }
};

std::vector<std::pair<std::u16string, std::u16string>> NamesAndValues(const A11yTree& tree) {
  std::vector<std::pair<std::u16string, std::u16string>> all;
  for (const A11yNode& node : tree.nodes) {
    all.emplace_back(node.name, node.value);
  }
  return all;
}

// Every element hangs from the card itself, as a reader walks them.
std::size_t TopLevel(const A11yTree& tree) {
  std::size_t count = 0;
  for (std::uint32_t id = tree.FirstChild(0); id != 0; id = tree.NextSibling(id)) {
    ++count;
  }
  return count;
}

TEST(CardAccessibility, EverySectionReadsAsOneSentenceInEitherLanguage) {
  Card card;
  card.settings.showSelf = true;
  const A11yTree en = card.Tree(test::RcTexts("en"));
  EXPECT_EQ(NamesAndValues(en),
            (std::vector<std::pair<std::u16string, std::u16string>>{
                {u"Clock", u"Sun, Dec 6, 9:05"},
                {u"CPU", u"5%, Intel i7-8700K \u00B7 4.25 GHz"},
                {u"GPU", u"50%, NVIDIA RTX 4070"},
                {u"Memory",
                 u"12.0 GB / 16.0 GB, App 10.0 GB, Kernel 2.0 GB, Commit 14.0 GB / 20.0 GB, "
                 u"pressure Elevated"},
                {u"Network", u"Wi-Fi 6 \u00B7 Home, receiving 1.5 KB/s, sending 0 B/s"},
                {u"Disk", u"100 GB free, 400 GB of 500 GB used"},
                {u"Lumetta", u"CPU 0.4% \u00B7 24.0 MB"},
                {u"Settings\u2026", u""},
                {u"Always on top", u""}}));
  const A11yTree ja = card.Tree(test::RcTexts("ja"));
  EXPECT_EQ(ja.nodes[0].name, u"時計");
  EXPECT_EQ(ja.nodes[0].value, u"Sun, Dec 6、9:05");
  EXPECT_EQ(ja.nodes[3].value.substr(ja.nodes[3].value.size() - 5), u"負荷 注意");
  EXPECT_EQ(ja.nodes[4].value, u"Wi-Fi 6 \u00B7 Home、受信 1.5 KB/s、送信 0 B/s");
  EXPECT_EQ(ja.nodes[5].value, u"残り 100 GB、400 GB / 500 GB 使用中");

  // Sections sit where they are drawn; the buttons come last, over the first section.
  EXPECT_EQ(en.nodes[1].bounds,
            (RectF{kCardLeft, card.layout.sections[1].top, kCardRight,
                   card.layout.sections[1].top + card.layout.sections[1].height}));
  EXPECT_EQ(en.ElementAt({150, 10}), kCardElementSettings);
  EXPECT_EQ(en.ElementAt({100, 20}), SectionElement(SectionId::Clock));
  EXPECT_EQ(en.Find(kCardElementPin)->toggled, std::optional<bool>(true));
  EXPECT_EQ(TopLevel(en), en.nodes.size());
}

TEST(CardAccessibility, WhatIsMissingOrOutOfDateIsSaidInWords) {
  const test::RcTexts en("en");
  Card card;
  card.snapshot = Snapshot{};  // nothing measured yet
  card.snapshot.netLabel = u"Ethernet";
  card.settings.showSelf = true;
  card.settings.showHardwareDetails = false;
  card.settings.alwaysOnTop = false;
  A11yTree tree = card.Tree(en, UpdateState::Required);
  EXPECT_EQ(tree.nodes[0].role, A11yRole::Link);
  EXPECT_EQ(tree.nodes[0].name, u"Update required: v2.0");
  for (std::size_t i = 2; i < 8; ++i) {
    EXPECT_TRUE(tree.nodes[i].value.ends_with(u"not available")) << i;
  }
  EXPECT_EQ(tree.nodes[5].value, u"Ethernet, not available");
  EXPECT_EQ(tree.Find(kCardElementPin)->toggled, std::optional<bool>(false));

  card.snapshot = Measured();
  card.snapshot.disk = {480 * kGiB, 500 * kGiB, true};
  EXPECT_EQ(card.Tree(en).Find(SectionElement(SectionId::Disk))->value,
            u"20.0 GB free, Usage is above 90%");

  card.settings = {};
  card.settings.showClock = card.settings.showCpu = card.settings.showGpu =
      card.settings.showMemory = card.settings.showNetwork = card.settings.showDisk = false;
  tree = card.Tree(en);
  ASSERT_EQ(TopLevel(tree), 3u);
  EXPECT_EQ(tree.nodes[0].name, u"Nothing to show Right-click \u2192 Settings\u2026");
}

}  // namespace
}  // namespace lumetta
