#include "window/accessibility.h"

#include <gtest/gtest.h>

#include "card/card_accessibility.h"
#include "support/allocations.h"
#include "support/rc_texts.h"

namespace lumetta {
namespace {

// A list with two items and a slider: enough to walk every direction.
A11yTree Sample() {
  A11yTree tree;
  tree.Add(1, 0, A11yRole::Text, u"header", {0, 0, 100, 20});
  tree.Add(2, 0, A11yRole::List, u"scale", {0, 20, 100, 60});
  tree.Add(21, 2, A11yRole::ListItem, u"100%", {0, 40, 50, 60}).selected = true;
  tree.Add(22, 2, A11yRole::ListItem, u"125%", {50, 40, 100, 60});
  tree.Add(3, 0, A11yRole::Slider, u"alert", {0, 60, 100, 80}).range = A11yRange{85, 50, 95, 5};
  return tree;
}

TEST(A11yTree, NavigationHitTestingAndSelection) {
  const A11yTree tree = Sample();
  // Walked forwards and backwards, siblings pass over the list's items.
  std::vector<std::uint32_t> forward, backward;
  for (std::uint32_t id = tree.FirstChild(0); id != 0; id = tree.NextSibling(id)) {
    forward.push_back(id);
    for (std::uint32_t item = tree.FirstChild(id); item != 0; item = tree.NextSibling(item)) {
      forward.push_back(item);
    }
  }
  for (std::uint32_t id = tree.LastChild(0); id != 0; id = tree.PreviousSibling(id)) {
    backward.push_back(id);
    for (std::uint32_t item = tree.LastChild(id); item != 0; item = tree.PreviousSibling(item)) {
      backward.push_back(item);
    }
  }
  EXPECT_EQ(forward, (std::vector<std::uint32_t>{1, 2, 21, 22, 3}));
  EXPECT_EQ(backward, (std::vector<std::uint32_t>{3, 2, 22, 21, 1}));
  EXPECT_EQ(tree.Parent(22), 2u);
  EXPECT_EQ(tree.NextSibling(99) + tree.PreviousSibling(99), 0u);

  EXPECT_EQ(tree.ElementAt({60, 50}), 22u);  // the innermost element
  EXPECT_EQ(tree.ElementAt({60, 30}), 2u);
  EXPECT_EQ(tree.ElementAt({100, 10}), 0u);  // right edges are outside, left ones inside
  EXPECT_EQ(tree.ElementAt({0, 0}), 1u);
  A11yTree scrolled = tree;
  scrolled.nodes[4].offscreen = true;
  EXPECT_EQ(scrolled.ElementAt({10, 70}), 0u);

  EXPECT_EQ(tree.Selection(2), std::vector<std::uint32_t>{21});
}

TEST(A11yChanges, WhatAReaderIsToldAndInWhichOrder) {
  const A11yTree before = Sample();
  EXPECT_TRUE(A11yChanges(before, before).empty());

  A11yTree after = before;
  after.nodes[0].toggled = true;
  after.nodes[2].selected = false;
  after.nodes[3].selected = true;
  after.nodes[4].range->value = 90;
  after.focused = 3;
  EXPECT_EQ(A11yChanges(before, after), (std::vector<A11yChange>{{A11yChangeKind::Toggled, 1},
                                                                 {A11yChangeKind::Selected, 22},
                                                                 {A11yChangeKind::Value, 3},
                                                                 {A11yChangeKind::Focus, 3}}));

  A11yTree grown = before;
  grown.Add(4, 0, A11yRole::CheckBox, u"snap", {}).toggled = true;
  grown.nodes[0].name = u"renamed";                            // a section's new figures
  grown.Add(5, 0, A11yRole::Text, u"notice", {}).live = true;  // spoken once it is found
  EXPECT_EQ(A11yChanges(before, grown), (std::vector<A11yChange>{{A11yChangeKind::Name, 1},
                                                                 {A11yChangeKind::Structure, 0},
                                                                 {A11yChangeKind::Announce, 5}}));
  EXPECT_TRUE(A11yChanges(grown, grown).empty());
  A11yTree toggled = grown;
  toggled.nodes[5].toggled = false;
  toggled.focused = 77;  // gone: nothing to announce
  EXPECT_EQ(A11yChanges(grown, toggled), (std::vector<A11yChange>{{A11yChangeKind::Toggled, 4}}));

  A11yTree reordered = before;
  std::swap(reordered.nodes[0], reordered.nodes[4]);
  EXPECT_EQ(A11yChanges(before, reordered),
            (std::vector<A11yChange>{{A11yChangeKind::Structure, 0}}));
}

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

Snapshot Measured() {
  Snapshot s;
  s.cpuVendor = u"Intel";
  s.cpuModel = u"i7-8700K";
  s.cpuFrequencyMhz = 4250;
  s.cpuFrequencyValid = true;
  s.cpuTotal = 0.05;
  s.cpuValid = true;
  s.gpuVendor = u"NVIDIA";
  s.gpuModel = u"RTX 4070";
  s.gpuBusy = 0.5;
  s.gpuValid = true;
  s.memory = {12 * kGiB, 16 * kGiB, 2 * kGiB, 14 * kGiB, 20 * kGiB, MemoryPressure::Elevated, true};
  s.netReceive = 1536;
  s.netSend = 0;
  s.netRatesValid = true;
  s.netLabel = u"Wi-Fi 6 \u00B7 Home";
  s.disk = {400 * kGiB, 500 * kGiB, true};
  s.self = {0.004, 24ull * 1024 * 1024, true};
  return s;
}

struct Card {
  Snapshot snapshot = Measured();
  Settings settings;
  SectionLayout layout;
  CardView view;

  A11yTree Tree(const TextSource& texts, UpdateState update = UpdateState::None) {
    layout = StackSections(
        CardSections(settings, update, std::nullopt, std::nullopt, snapshot.battery.present));
    BuildCardView({snapshot, settings, update, u"2.0", u"Sun, Dec 6", 9, 5}, CardWords(texts),
                  view);
    return CardAccessibilityTree(view, layout);
  }
};

// What a reader says of each element: its name, since no card element has a value.
std::vector<std::u16string> Names(const A11yTree& tree) {
  std::vector<std::u16string> all;
  for (const A11yNode& node : tree.nodes) {
    all.push_back(node.value.empty() ? node.name : u"has a value: " + node.value);
  }
  return all;
}

// Every element hangs from the card itself, as a reader walks them.
std::size_t TopLevel(const A11yTree& tree) {
  std::size_t count = 0;
  for (std::uint32_t id = tree.FirstChild(0); id != 0; id = tree.NextSibling(id), ++count) {
  }
  return count;
}

TEST(CardAccessibility, EverySectionReadsAsOneSentenceInEitherLanguage) {
  Card card;
  card.settings.showSelf = true;
  const A11yTree en = card.Tree(test::RcTexts("en"));
  EXPECT_EQ(Names(en),
            (std::vector<std::u16string>{
                u"Clock, Sun, Dec 6, 9:05", u"CPU, 5%, Intel i7-8700K \u00B7 4.25 GHz",
                u"GPU, 50%, NVIDIA RTX 4070",
                // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one name over two lines
                u"Memory, 12.0 GB / 16.0 GB, App 10.0 GB, Kernel 2.0 GB, Commit 14.0 GB / "
                u"20.0 GB, pressure Elevated",
                u"Network, Wi-Fi 6 \u00B7 Home, receiving 1.5 KB/s, sending 0 B/s",
                u"Disk, 100 GB free, 400 GB of 500 GB used", u"Lumetta, CPU 0.4% \u00B7 24.0 MB",
                u"Settings\u2026", u"Always on top"}));
  // What is drawn says the same in fewer characters; the pressure's dot in its colour.
  std::u16string drawn;
  for (const CardCaption& caption : card.view[SectionId::Memory].captions) {
    drawn += caption.text + u"|";
  }
  EXPECT_EQ(
      std::pair(drawn, card.view[SectionId::Memory].captions[3].tone),
      std::pair(std::u16string(u"App 10G|Kernel 2.0G|Commit 14G/20G|Elevated|"), Tone::Warning));
  const A11yTree ja = card.Tree(test::RcTexts("ja"));
  const std::vector<std::u16string> jaNames = Names(ja);
  EXPECT_TRUE(jaNames[3].ends_with(u"負荷 注意")) << jaNames[3].size();
  EXPECT_EQ((std::vector{jaNames[0], jaNames[4], jaNames[5]}),
            (std::vector<std::u16string>{u"時計、Sun, Dec 6、9:05",
                                         u"Network、Wi-Fi 6 \u00B7 Home、受信 1.5 KB/s、送信 0 B/s",
                                         u"Disk、残り 100 GB、400 GB / 500 GB 使用中"}));

  // Sections sit where they are drawn; the buttons come last, over the first section.
  EXPECT_EQ(en.nodes[1].bounds,
            (RectF{kCardLeft, card.layout.sections[1].top, kCardRight,
                   card.layout.sections[1].top + card.layout.sections[1].height}));
  EXPECT_EQ(en.ElementAt({150, 10}), kCardElementSettings);
  EXPECT_EQ(en.ElementAt({100, 20}), SectionElement(SectionId::Clock));
  EXPECT_EQ(en.Find(kCardElementPin)->toggled, std::optional<bool>(true));
  EXPECT_EQ(TopLevel(en), en.nodes.size());
}

// Every addition on: the eye gets short figures, the ear words; what the driver or the system
// does not tell is a dash, and the battery's charge warns only off the mains.
TEST(CardAccessibility, TheAdditionsDrawFiguresAndReadWords) {
  const test::RcTexts en("en");
  Card card;
  for (const SettingsBool& entry : kOptInBools) {
    card.settings.*entry.field = true;
  }
  Snapshot& s = card.snapshot;
  s.gpuDetails = {61.5, true, 2 * kGiB, 12 * kGiB, true};
  s.diskActivity = {4.2 * 1048576, 850 * 1024, true};
  s.battery = {true, 0.15, true, false, false, 2 * 3600 + 14 * 60 + 59, true};
  s.processes.valid = true;
  s.processes.cpuCount = 2;
  s.processes.memoryCount = 1;
  for (auto [figure, name, value] : {std::tuple(&s.processes.cpu[0], u"chrome", 0.124),
                                     {&s.processes.cpu[1], u"Code", 0.051},
                                     {&s.processes.memory[0], u"Teams", 0.5 * kGiB}}) {
    figure->nameLength = std::u16string_view(name).copy(figure->name.data(), kProcessNameCapacity);
    figure->value = value;
  }
  const auto lines = [&](SectionId id) {
    std::u16string all;
    for (const CardCaption& caption : card.view[id].captions) {
      all += caption.text + (caption.figure.empty() ? u"" : u"=" + caption.figure) + u"|";
    }
    return all;
  };
  const std::vector<std::u16string> names = Names(card.Tree(en));
  EXPECT_EQ((std::vector{names[2], names[4], names[5], names[6], names[7]}),
            (std::vector<std::u16string>{
                u"GPU, 50%, NVIDIA RTX 4070, temperature 62 \u00B0C, memory 2.0 GB of 12.0 GB",
                u"Network, Wi-Fi 6 \u00B7 Home, receiving 12.3 kb/s, sending 0 b/s",
                // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one name over two lines
                u"Disk, 100 GB free, 400 GB of 500 GB used, reading 4.2 MB/s, writing "
                u"850 KB/s",
                u"Battery, 15%, on battery \u00B7 2 h 14 min left",
                u"Processes, most CPU: chrome 12%, Code 5.1%, most memory: Teams 512 MB"}));
  EXPECT_EQ(
      (std::vector{lines(SectionId::Gpu), lines(SectionId::Disk), lines(SectionId::Processes)}),
      (std::vector<std::u16string>{u"NVIDIA RTX 4070|62 \u00B0C \u00B7 VRAM 2.0G/12G|",
                                   u"400 GB of 500 GB used|R 4.2 MB/s \u00B7 W 850 KB/s|",
                                   u"CPU|chrome=12%|Code=5.1%||Memory|Teams=512M|||"}));
  EXPECT_EQ(card.view[SectionId::Battery].headlineTone, Tone::Warning);
  EXPECT_EQ(names[6], u"Battery, 15%, on battery \u00B7 2 h 14 min left");
  EXPECT_EQ(Names(card.Tree(test::RcTexts("ja")))[6],
            u"Battery、15%、バッテリー駆動 \u00B7 残り 2 時間 14 分");

  // Nothing told: dashes; the first sample has no CPU list yet; charging on the mains.
  s.gpuDetails = {};
  s.diskActivity = {};
  s.battery = {true, 0.05, true, true, true, 0, false};
  s.processes.cpuCount = 0;
  const std::vector<std::u16string> told = Names(card.Tree(en));
  EXPECT_EQ((std::vector{told[2], told[5].substr(42)}),
            (std::vector<std::u16string>{
                u"GPU, 50%, NVIDIA RTX 4070, temperature not available, VRAM not available",
                u"reading not available, writing not available"}));
  EXPECT_EQ((std::vector{lines(SectionId::Gpu), lines(SectionId::Disk), lines(SectionId::Battery)}),
            (std::vector<std::u16string>{u"NVIDIA RTX 4070|\u2014 \u00B7 VRAM \u2014|",
                                         u"400 GB of 500 GB used|R \u2014 \u00B7 W \u2014|",
                                         u"charging|"}));
  EXPECT_TRUE(lines(SectionId::Processes).starts_with(u"CPU|\u2014|||Memory|Teams=512M"));
  EXPECT_EQ(card.view[SectionId::Battery].headlineTone, Tone::Primary);
  s.battery = {true, 0.08, true, false, false, 0, false};
  card.Tree(en);
  EXPECT_EQ(std::pair(lines(SectionId::Battery), card.view[SectionId::Battery].headlineTone),
            std::pair(std::u16string(u"on battery|"), Tone::Critical));
  s.battery.present = false;  // no battery: no section
  EXPECT_EQ(TopLevel(card.Tree(en)), 9u);
}

// Built again with other figures, every addition on or off, the view reuses its strings: a
// steady tick allocates nothing. (Long figures matter: short ones fit a string's own buffer.)
TEST(CardView, ASteadyRebuildAllocatesNothing) {
  if (!test::AllocationsSoFar()) {
    GTEST_SKIP() << "counts allocations through the address sanitizer";
  }
  const test::RcTexts en("en");
  const CardWords words(en);
  for (const bool additions : {false, true}) {
    Card card;
    card.settings.showSelf = true;
    for (const SettingsBool& entry : kOptInBools) {
      card.settings.*entry.field = additions;
    }
    card.snapshot.battery = {true, 0.5, true, false, false, 4000, true};
    card.snapshot.processes.valid = true;
    CardView view;
    long allocations = 0;
    for (int tick = 0; tick < 3; ++tick) {
      card.snapshot.netReceive = 1e6 + tick * 1e5;  // "977 KB/s", then longer
      card.snapshot.cpuTotal = tick / 3.0;
      const long before = *test::AllocationsSoFar();
      BuildCardView({card.snapshot,
                     card.settings,
                     UpdateState::None,
                     {},
                     u"Monday, December 7",
                     9,
                     5,
                     tick,
                     false},
                    words, view);
      allocations = *test::AllocationsSoFar() - before;
    }
    EXPECT_EQ(allocations, 0) << additions;
  }
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
  EXPECT_EQ(
      std::tuple(tree.nodes[0].role, tree.nodes[0].name, tree.nodes[0].live, tree.nodes[1].live),
      std::tuple(A11yRole::Link, std::u16string(u"Update required: v2.0"), true, false));
  for (std::size_t i = 2; i < 8; ++i) {
    EXPECT_TRUE(tree.nodes[i].name.ends_with(u"not available")) << i;
  }
  EXPECT_EQ(tree.nodes[5].name, u"Network, Ethernet, not available");
  EXPECT_EQ(tree.Find(kCardElementPin)->toggled, std::optional<bool>(false));

  card.snapshot = Measured();
  card.snapshot.disk = {480 * kGiB, 500 * kGiB, true};
  EXPECT_EQ(card.Tree(en).Find(SectionElement(SectionId::Disk))->name,
            u"Disk, 20.0 GB free, Usage is above 90%");
  EXPECT_EQ(std::tuple(card.view.diskAlert, card.view[SectionId::Disk].headlineTone,
                       card.view[SectionId::Disk].captions[0].tone,
                       card.view[SectionId::Cpu].headlineTone),
            std::tuple(DiskAlert::Over, Tone::Critical, Tone::Critical, Tone::Primary));

  card.settings = {};
  card.settings.showClock = card.settings.showCpu = card.settings.showGpu =
      card.settings.showMemory = card.settings.showNetwork = card.settings.showDisk = false;
  tree = card.Tree(en);
  ASSERT_EQ(TopLevel(tree), 3u);
  EXPECT_EQ(tree.nodes[0].name, u"Nothing to show Right-click \u2192 Settings\u2026");
}

}  // namespace
}  // namespace lumetta
