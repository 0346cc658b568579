// What the card says: each section's title, figures and captions as they are drawn, and the
// sentence a screen reader hears for it. Built once per tick, clock repaint and change of
// settings or update state; the painter draws it and the accessibility tree reads it, so the
// eye and the ear are told the same thing. Rebuilt in place: its strings keep their storage,
// so a steady tick allocates nothing (the sentences, made only for a reader, excepted).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/strings.h"
#include "base/fixed_list.h"
#include "card/card_layout.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"
#include "update/update_info.h"

namespace lumetta {

// What a text signals; the painter gives each its colour from the palette.
enum class Tone : std::uint8_t { Primary, Secondary, Tertiary, Good, Warning, Critical };

struct CardCaption {
  std::u16string text;
  std::u16string figure;  // drawn at the line's end (a process's share); mostly empty
  Tone tone = Tone::Secondary;
};

// The most lines a section has: the busiest processes' two headed lists of three.
inline constexpr std::size_t kMaxCaptions = 8;

struct CardSectionView {
  std::u16string title;
  std::u16string headline;  // the figure beside the title; the clock's time
  Tone headlineTone = Tone::Primary;
  FixedList<CardCaption, kMaxCaptions> captions;  // the smaller lines, in drawing order
  std::u16string sentence;  // the title and every figure, as a reader hears them
};

// The card's words in the chosen language, looked up once: a tick formats its figures into
// them without loading a text again.
class CardWords {
 public:
  explicit CardWords(const TextSource& texts);
  // One of the card's texts (an id the card uses; "?" for any other).
  [[nodiscard]] const std::u16string& operator[](std::uint32_t id) const;
  [[nodiscard]] std::u16string Format(std::uint32_t id,
                                      std::initializer_list<std::u16string_view> arguments) const;
  // The same, appended to `out`.
  void AppendFormat(std::u16string& out, std::uint32_t id,
                    std::initializer_list<std::u16string_view> arguments) const;

 private:
  std::vector<std::pair<std::uint32_t, std::u16string>> words_;
};

struct CardViewInput {
  const Snapshot& snapshot;
  const Settings& settings;
  UpdateState updateState = UpdateState::None;
  std::u16string_view updateVersion{};  // the required version the update line names
  std::u16string_view date{};           // the clock's date in the chosen language
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool sentences = true;  // only while a screen reader has asked for the card
};

struct CardView {
  std::array<CardSectionView, kSectionCount> sections;  // by SectionId; only shown ones filled
  std::u16string nothingToShow;
  std::u16string settingsButton;
  std::u16string pinButton;
  bool pinned = false;
  bool coreBars = false;      // the CPU's cores are drawn under its chart
  bool sentences = false;     // the sentences were made: a reader had asked
  double secondOfMinute = 0;  // the clock's seconds bar, 0 to 1
  double diskUsed = 0;        // the disk bar, 0 to 1
  DiskAlert diskAlert = DiskAlert::None;
  bool diskMeasured = false;
  std::u16string figures[2];  // figures on their way into a worded text, kept for their storage

  [[nodiscard]] const CardSectionView& operator[](SectionId id) const {
    return sections[static_cast<std::size_t>(id)];
  }
};

// Fills `view` anew from what was measured and what is chosen.
void BuildCardView(const CardViewInput& input, const CardWords& words, CardView& view);

// "vendor model" with empty parts left out.
[[nodiscard]] std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model);

}  // namespace lumetta
